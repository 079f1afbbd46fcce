// conexion agregar: the next entry of the connection store, written by the
// store itself (ConfigConexion::AgregarConexion).
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "database/ConfigConexion.h"
#include "platform/Consola.h"

namespace olvado::admin {
namespace {

constexpr const char* kUso = "conexion agregar --nombre N --cadena C [--catalogo K] [--optimizar]";

} // namespace

int ConexionAgregar(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--nombre", "--cadena", "--catalogo"}, {"--optimizar"}, 1, 1, o, error))
        return UsoIncorrecto(kUso, error);
    if (o.posicionales[0] != "agregar")
        return UsoIncorrecto(kUso, "orden de conexión desconocida: " + o.posicionales[0]);
    if (!o.Tiene("--nombre") || !o.Tiene("--cadena"))
        return UsoIncorrecto(kUso, "faltan --nombre o --cadena");
    if (o.Valor("--cadena").empty())
        return Fallar("la cadena de conexión está vacía");

    DatosConexion entrada;
    entrada.Nombre = o.Valor("--nombre");
    entrada.CadenaConexion = o.Valor("--cadena");
    entrada.Catalogo = o.Tiene("--catalogo") ? o.Valor("--catalogo") : "";
    entrada.OptimizarConexionRemota = o.Tiene("--optimizar");
    const int32_t id = ConfigConexion::AgregarConexion(entrada, error);
    if (id == 0)
        return Fallar(error);
    platform::EscribirSalida("Conexión " + std::to_string(id) + " agregada a " + ConfigConexion::RutaAlmacen() + "\n");
    return 0;
}

} // namespace olvado::admin
