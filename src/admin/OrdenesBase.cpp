// publicar, variable and estado: the package row, the stored variables and
// what the updater would do, all through the database object.
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "admin/Publicacion.h"
#include "base/ErrorOlvado.h"
#include "common/ComparadorVersiones.h"
#include "common/ExtraerVersion.h"
#include "common/FileTool.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "platform/Consola.h"
#include "platform/FirmaEd25519.h"
#include "updater/PaqueteAnillo.h"
#include "updater/PaqueteEnTrozos.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace olvado::admin {
namespace {

constexpr const char* kUsoPublicar = "publicar ARCHIVO [--version X.Y.Z] [--producto P] [--firmar "
                                     "CLAVE_PRIVADA] [--historial] [--anillo NOMBRE]"
                                     " [--comprimir] [--deltas N]";
constexpr const char* kUsoVariable = "variable ID [--texto T] [--largo N] [--tipo N] [--cifrar]";
constexpr int64_t kUmbralProgreso = 16 * 1024 * 1024;
// Room in the server's packet for the statement around the package's bytes.
constexpr int64_t kMargenPaqueteRed = 64 * 1024;

int Publicar(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--version", "--producto", "--firmar", "--anillo", "--deltas"},
                      {"--historial", "--comprimir"}, 1, 1, o, error))
        return UsoIncorrecto(kUsoPublicar, error);
    Publicacion p;
    p.comprimir = o.Tiene("--comprimir");
    if (!LeerEntero(o.Valor("--deltas", "1"), p.deltas) || p.deltas < 0)
        return Fallar("--deltas no es un número de versiones (0 o más): " + o.Valor("--deltas"));
    p.archivo = o.posicionales[0];
    p.producto = o.Valor("--producto", ObtenerIdentidadPrograma().Producto);
    std::error_code ec;
    const auto ruta = std::filesystem::u8path(p.archivo);
    const auto tamano = std::filesystem::file_size(ruta, ec);
    if (ec || !std::filesystem::is_regular_file(ruta, ec))
        return Fallar("no existe el archivo: " + p.archivo);
    if (p.producto.empty())
        return Fallar("el producto no puede estar vacío");
    p.anillo = o.Valor("--anillo");
    if (o.Tiene("--anillo") && !NombreAnilloValido(p.anillo))
        return Fallar("nombre de anillo no válido (letras, cifras, - y _, hasta " + std::to_string(kLargoAnillo) +
                      "): " + p.anillo);
    if (o.Tiene("--version")) {
        if (!LeerVersion(o.Valor("--version"), p.major, p.minor, p.revision))
            return Fallar("versión no válida (se espera X.Y.Z, tres números): " + o.Valor("--version"));
    } else if (!VersionArchivo(p.archivo, p.major, p.minor, p.revision)) {
        return Fallar("el archivo no tiene un recurso de versión legible; indique --version X.Y.Z: " + p.archivo);
    }
    std::string clavePrivada;
    if (o.Tiene("--firmar")) {
        bool expuesta = false;
        clavePrivada = LeerClavePrivada(o.Valor("--firmar"), expuesta);
        if (expuesta)
            return Fallar("otros pueden leer la clave privada; se rechaza (permisos 0600): " + o.Valor("--firmar"));
        if (platform::FirmaEd25519::ClavePublica(clavePrivada).empty())
            return Fallar("no es una clave privada de «claves generar»: " + o.Valor("--firmar"));
    }
    BaseAdmin base;
    // Every run of the updater also reads Valores: a database prepared for
    // publishing has both tables.
    if (!base.Abrir() || !base.AsegurarTabla("BinariosAct") || !base.AsegurarTabla("Valores") ||
        !base.AsegurarTabla(PaqueteEnTrozos::kTabla) ||
        !base.AsegurarColumna(PaqueteEnTrozos::kTabla, "MD5Hash") ||
        (!p.anillo.empty() && !base.AsegurarTabla(kTablaAnillo)) || !base.AsegurarTabla(kTablaDeltas) ||
        (p.comprimir &&
         !base.AsegurarColumna(p.anillo.empty() ? "BinariosAct" : kTablaAnillo, "Compresion", BaseAdmin::Tipo::Entero)) ||
        (o.Tiene("--firmar") && !base.AsegurarColumna("BinariosAct", "Firma")) ||
        (o.Tiene("--historial") && !base.AsegurarHistorial()))
        return 1;
    const bool progreso = static_cast<int64_t>(tamano) > kUmbralProgreso;
    if (progreso)
        platform::EscribirError("olvado-admin: publicando " + std::to_string(tamano / (1024 * 1024)) +
                                " MiB: digest MD5");
    // Windows holds the file without write sharing: while another program
    // still writes it (a copy that has not finished) the hold is refused.
    // Such a writer gets two seconds to let go, not more.
    bool sellado = p.Sellar(clavePrivada);
    for (int i = 0; !sellado && i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sellado = p.Sellar(clavePrivada);
    }
    if (!sellado) {
        if (progreso)
            platform::EscribirError("\n");
        return Fallar("no se pudo leer el archivo: " + p.archivo);
    }
    if (progreso)
        platform::EscribirError(", leyendo");
    // Where the server takes no value as large as the package, the family's
    // own readers of Binario cannot have it; the pieces serve ours.
    const int64_t limite = Publicacion::LimiteDelServidor(base);
    const bool conBinario = limite < 0 || p.Tamano() + kMargenPaqueteRed <= limite;
    if (!conBinario)
        platform::EscribirError("olvado-admin: el servidor no acepta valores de más de " + std::to_string(limite) +
                                " bytes (max_allowed_packet): el paquete se guarda solo en trozos (" +
                                PaqueteEnTrozos::kTabla + "); Binario queda vacío\n");
    const bool hecho = p.Escribir(base, conBinario, progreso);
    if (progreso)
        platform::EscribirError(hecho ? ", hecho\n" : ", fallido\n");
    if (!hecho)
        return Fallar("no se publicó el paquete; la base de datos queda como estaba");
    platform::EscribirSalida("Publicado " + p.producto + " " + TextoVersion(p.major, p.minor, p.revision) +
                             (p.anillo.empty() ? "" : " en el anillo " + p.anillo) + " (" +
                             std::to_string(p.Tamano()) + " bytes)\n");
    for (const Publicacion::Delta& d : p.hechos)
        platform::EscribirSalida("Delta desde " + TextoVersion(d.base.major, d.base.minor, d.base.revision) +
                                 " (" + std::to_string(d.bytes) + " bytes)" +
                                 (d.guardado ? "" : ": más de la mitad del paquete, no se guarda") + "\n");
    return 0;
}

int Variable(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--texto", "--largo", "--tipo"}, {"--cifrar"}, 1, 1, o, error))
        return UsoIncorrecto(kUsoVariable, error);
    int32_t largo = 0, tipo = 0;
    if (!LeerEntero(o.Valor("--largo", "0"), largo))
        return Fallar("--largo no es un número de 32 bits: " + o.Valor("--largo"));
    if (!LeerEntero(o.Valor("--tipo", "0"), tipo))
        return Fallar("--tipo no es un número de 32 bits: " + o.Valor("--tipo"));
    std::string texto = o.Valor("--texto");
    if (o.Tiene("--cifrar")) {
        if (texto.empty())
            return Fallar("--cifrar necesita --texto");
        texto = clsEncriptor().Encrypt(texto);
    }
    BaseAdmin base;
    if (!base.Abrir() || !base.AsegurarTabla("Valores"))
        return 1;
    if (!base.DB().Set_Variable(o.posicionales[0], tipo, texto, largo))
        return Fallar("no se pudo escribir la variable " + o.posicionales[0] + base.UltimoError());
    platform::EscribirSalida("Variable " + o.posicionales[0] + " escrita\n");
    return 0;
}

} // namespace


const std::vector<Orden>& OrdenesBase() {
    static const std::vector<Orden> ordenes = {
        {"conexion", "conexion agregar --nombre N --cadena C [--catalogo K] [--optimizar]",
         "Añade la siguiente conexión cifrada a Conexiones.dat (cinco como máximo).", -1,
         ConexionAgregar},
        {"publicar", kUsoPublicar,
         "Escribe o reemplaza la fila del producto en BinariosAct: paquete, versión, digest y firma.",
         -1, Publicar},
        {"promover", "promover --anillo NOMBRE [--umbral PORCENTAJE] [--minimo N] [--forzar] [--producto P]",
         "El paquete del anillo pasa a ser el general, si su historial no muestra demasiados fallos.", -1,
         Promover},
        {"retirar", "retirar --anillo NOMBRE [--producto P]", "Retira el paquete del anillo y sus trozos.", -1,
         Retirar},
        {"variable", kUsoVariable,
         "Escribe una variable de Valores (p. ej. EXU y EXC con --cifrar).", -1, Variable},
        {"estado", "estado",
         "Versión publicada, versión instalada y qué hará el actualizador.",
         0, Estado},
        {"historial", "historial [--desde FECHA] [--producto P] [--formato texto|csv]",
         "Última ejecución de cada estación y estaciones por versión (HistorialAct).", -1, Historial},
        {"informe", "informe --salida ARCHIVO.html [--dias N] [--producto P]",
         "Página HTML de la flota: versiones, despliegue por día, fallos y estaciones sin ver.", -1, Informe},
    };
    return ordenes;
}

} // namespace olvado::admin
