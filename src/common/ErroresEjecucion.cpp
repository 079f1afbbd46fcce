#include "common/ErroresEjecucion.h"

#include "base/Texto.h"

#include <algorithm>
#include <iterator>

namespace olvado {
namespace {

struct Entrada {
    int32_t numero;
    const char* texto;
};

// Sorted by number.
constexpr Entrada kTabla[] = {
    {3, "Return sin GoSub"},
    {5, "Llamada a procedimiento o argumento no válido"},
    {6, "Desbordamiento"},
    {7, "Memoria insuficiente"},
    {9, "El subíndice está fuera del intervalo"},
    {10, "Esta matriz es fija o está temporalmente bloqueada"},
    {11, "División por cero"},
    {13, "No coinciden los tipos"},
    {14, "Espacio de cadena insuficiente"},
    {16, "Expresión demasiado compleja"},
    {17, "No se puede realizar la operación requerida"},
    {18, "Se ha producido una interrupción por parte del usuario"},
    {20, "Reanudar sin error"},
    {28, "Espacio de pila insuficiente"},
    {35, "No se ha definido Sub, Function o Property"},
    {47, "Demasiados clientes de la aplicación DLL"},
    {48, "Error al cargar la DLL"},
    {49, "Convención de llamada a DLL incorrecta"},
    {51, "Error interno"},
    {52, "Nombre o número de archivo incorrecto"},
    {53, "No se ha encontrado el archivo"},
    {54, "Modo de archivo incorrecto"},
    {55, "El archivo ya está abierto"},
    {57, "Error de E/S en el dispositivo"},
    {58, "El archivo ya existe"},
    {59, "Longitud de registro incorrecta"},
    {61, "Disco lleno"},
    {62, "La entrada sobrepasa el final del archivo"},
    {63, "Número de registro incorrecto"},
    {67, "Demasiados archivos"},
    {68, "Dispositivo no disponible"},
    {70, "Permiso denegado"},
    {71, "El disco no está listo"},
    {74, "No se puede cambiar el nombre con una unidad de disco diferente"},
    {75, "Error de acceso a la ruta o el archivo"},
    {76, "No se ha encontrado la ruta de acceso"},
    {91, "Variable de objeto o bloque With no establecido"},
    {92, "Bucle For no inicializado"},
    {93, "Modelo de cadena no válido"},
    {94, "Uso no válido de Null"},
    {321, "Formato de archivo no válido"},
    {322, "No se puede crear el archivo temporal necesario"},
    {380, "Valor de propiedad no válido"},
    {381, "Índice de matriz de propiedades no válido"},
    {424, "Se requiere un objeto"},
    {429, "El componente ActiveX no puede crear el objeto"},
    {430, "La clase no admite Automatización o la interfaz esperada"},
    {438, "El objeto no admite esta propiedad o método"},
    {440, "Error de Automatización"},
    {445, "El objeto no admite esta acción"},
    {446, "El objeto no admite argumentos con nombre"},
    {447, "El objeto no admite la configuración regional actual"},
    {448, "No se ha encontrado el argumento con nombre"},
    {449, "El argumento no es opcional"},
    {450, "Número de argumentos erróneo o asignación de propiedad no válida"},
    {451, "El procedimiento Property Let no está definido y el procedimiento Property Get no devolvió un objeto"},
    {481, "Imagen no válida"},
};

} // namespace

std::string DescripcionErrorEjecucion(int32_t numero) {
    auto it = std::lower_bound(std::begin(kTabla), std::end(kTabla), numero,
                               [](const Entrada& e, int32_t n) { return e.numero < n; });
    return it != std::end(kTabla) && it->numero == numero ? it->texto : kErrorDefinidoAplicacion;
}

std::string DescripcionError(int32_t numero, const IErroresProveedor* errores) {
    std::string texto;
    for (int32_t i = 0; errores && i < errores->Cantidad(); ++i) {
        ErrorProveedor e = errores->Elemento(i);
        if (e.Numero == numero && !e.Descripcion.empty())
            texto += (texto.empty() ? "" : std::string(vbCrLf)) + e.Descripcion;
    }
    return texto.empty() ? DescripcionErrorEjecucion(numero) : texto;
}

} // namespace olvado
