// conexion agregar: the next entry of the connection store, enciphered as
// the store reads it.
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "common/FileTool.h"
#include "common/clsEncriptor.h"
#include "database/ConfigConexion.h"
#include "platform/Consola.h"
#include "platform/XmlDocument.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace olvado::admin {
namespace {

constexpr const char* kUso = "conexion agregar --nombre N --cadena C [--catalogo K] [--optimizar]";
constexpr int32_t kMaximoEntradas = 5;

std::string Atributo(const std::string& valor) {
    std::string s;
    for (char c : valor) {
        switch (c) {
        case '&': s += "&amp;"; break;
        case '<': s += "&lt;"; break;
        case '>': s += "&gt;"; break;
        case '"': s += "&quot;"; break;
        default: s += c;
        }
    }
    return s;
}

bool LeerTodo(const std::string& ruta, std::string& contenido) {
    std::ifstream f(std::filesystem::u8path(ruta), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    contenido = s.str();
    return static_cast<bool>(f);
}

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

    const std::string ruta = RutaAlmacen();
    FileTool ft;
    std::string contenido;
    int32_t entradas = 0;
    if (ft.FileExist(ruta)) {
        platform::XmlDocument documento;
        if (!documento.Load(ruta) || !LeerTodo(ruta, contenido))
            return Fallar("el almacén no es un XML legible: " + ruta);
        ConfigConexion almacen;
        while (entradas < kMaximoEntradas && almacen.CargarConexion(documento, entradas + 1))
            ++entradas;
    } else {
        contenido = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Conexiones>\r\n</Conexiones>\r\n";
    }
    if (entradas >= kMaximoEntradas)
        return Fallar("el almacén ya tiene " + std::to_string(kMaximoEntradas) +
                      " conexiones, el máximo que se lee: " + ruta);

    clsEncriptor cifrado;
    const int32_t id = entradas + 1;
    std::string entrada = "  <Conexion id=\"" + std::to_string(id) + "\" Nombre=\"" + Atributo(o.Valor("--nombre")) +
                          "\" CadenaConexion=\"" + cifrado.Encrypt(o.Valor("--cadena")) + "\"";
    if (o.Tiene("--catalogo"))
        entrada += " Catalogo=\"" + cifrado.Encrypt(o.Valor("--catalogo")) + "\"";
    entrada += std::string(" OptimizarConexionRemota=\"") + (o.Tiene("--optimizar") ? "1" : "0") + "\"/>\r\n";

    // The new entry goes before the root's closing tag.
    const size_t cierre = contenido.rfind("</");
    if (cierre == std::string::npos)
        return Fallar("el almacén no tiene dónde añadir la entrada (raíz sin etiqueta de cierre): " + ruta);
    contenido.insert(cierre, entrada);

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::u8path(CarpetaDatos()), ec);
    const std::string temporal = ruta + ".nuevo";
    {
        std::ofstream f(std::filesystem::u8path(temporal), std::ios::binary | std::ios::trunc);
        f << contenido;
        if (!f.flush())
            return Fallar("no se pudo escribir " + temporal);
    }
    std::filesystem::rename(std::filesystem::u8path(temporal), std::filesystem::u8path(ruta), ec);
    if (ec)
        return Fallar("no se pudo reemplazar " + ruta + ": " + ec.message());
    platform::EscribirSalida("Conexión " + std::to_string(id) + " agregada a " + ruta + "\n");
    return 0;
}

} // namespace olvado::admin
