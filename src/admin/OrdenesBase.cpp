// publicar, variable and estado: the package row, the stored variables and
// what the updater would do, all through the database object.
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "base/ErrorOlvado.h"
#include "common/ComparadorVersiones.h"
#include "common/ExtraerVersion.h"
#include "common/FileTool.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "platform/Consola.h"
#include "platform/ArchivoNativo.h"
#include "platform/FirmaEd25519.h"

#include <filesystem>

namespace olvado::admin {
namespace {

constexpr const char* kUsoPublicar =
    "publicar ARCHIVO [--version X.Y.Z] [--producto P] [--firmar CLAVE_PRIVADA] [--historial]";
constexpr const char* kUsoVariable = "variable ID [--texto T] [--largo N] [--tipo N] [--cifrar]";
constexpr int64_t kUmbralProgreso = 16 * 1024 * 1024;

struct Paquete {
    std::string archivo, producto, digestCifrado, firma;
    int32_t major = 0, minor = 0, revision = 0;
};

// The MD5 digest and, with a private key, the signature, from one read of the
// file, as the workstation computes them. False when the file cannot be read.
bool DigerirYFirmar(Paquete& p, const std::string& clavePrivada) {
    platform::ArchivoNativo archivo;
    if (!archivo.Abrir(p.archivo, platform::ArchivoNativo::Modo::Leer))
        return false;
    clsMD5File md5;
    platform::FirmaEd25519 firma;
    md5.MD5Init();
    std::string trozo(1 << 20, '\0');
    for (size_t n = 0;;) {
        if (!archivo.Leer(trozo.data(), trozo.size(), n))
            return false;
        if (n == 0)
            break;
        md5.MD5Update(static_cast<int32_t>(n), reinterpret_cast<const uint8_t*>(trozo.data()));
        if (!clavePrivada.empty())
            firma.Agregar(trozo.data(), n);
    }
    md5.MD5Final();
    p.digestCifrado = clsEncriptor().Encrypt(md5.GetValues());
    if (!clavePrivada.empty())
        p.firma = firma.Firmar(clavePrivada);
    return clavePrivada.empty() || !p.firma.empty();
}

// The row, replaced in one transaction: nothing changes unless all of it is
// written.
bool EscribirFila(BaseAdmin& base, const Paquete& p, bool progreso) {
    clsDB& db = base.DB();
    const std::string clave = base.SQL().Strg(p.producto);
    if (!db.vBeginTrans())
        return Fallar("no se pudo iniciar la transacción" + base.UltimoError()) == 0;
    bool escrito = false;
    try {
        std::unique_ptr<ado::Recordset> rs;
        int32_t n = -1;
        if (db.EjecutarSQL("DELETE FROM BinariosAct WHERE Producto = " + clave, nullptr, 0, true) &&
            db.AbrirRs(rs, "SELECT * FROM BinariosAct WHERE Producto = " + clave, ado::adOpenStatic,
                       ado::adLockOptimistic, -1, true, n)) {
            rs->AddNew();
            rs->Fields("Producto").SetValue(ado::Valor(p.producto));
            rs->Fields("Major").SetValue(ado::Valor(p.major));
            rs->Fields("Minor").SetValue(ado::Valor(p.minor));
            rs->Fields("Revision").SetValue(ado::Valor(p.revision));
            rs->Fields("MD5Hash").SetValue(ado::Valor(p.digestCifrado));
            if (!p.firma.empty())
                rs->Fields("Firma").SetValue(ado::Valor(p.firma));
            if (db.Archivo_A_BLOB(rs->Fields("Binario"), p.archivo)) {
                if (progreso)
                    platform::EscribirError(", escribiendo");
                rs->Update();
                rs->Close();
                escrito = true;
            }
        }
    } catch (const ErrorOlvado& e) {
        Fallar("no se pudo escribir la fila: " + e.Descripcion() + base.UltimoError());
    }
    if (escrito && db.vCommitTrans(true))
        return true;
    db.vRollBackTrans();
    return false;
}

int Publicar(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--version", "--producto", "--firmar"}, {"--historial"}, 1, 1, o, error))
        return UsoIncorrecto(kUsoPublicar, error);
    Paquete p;
    p.archivo = o.posicionales[0];
    p.producto = o.Valor("--producto", ObtenerIdentidadPrograma().Producto);
    std::error_code ec;
    const auto ruta = std::filesystem::u8path(p.archivo);
    const auto tamano = std::filesystem::file_size(ruta, ec);
    if (ec || !std::filesystem::is_regular_file(ruta, ec))
        return Fallar("no existe el archivo: " + p.archivo);
    if (p.producto.empty())
        return Fallar("el producto no puede estar vacío");
    if (o.Tiene("--version")) {
        if (!LeerVersion(o.Valor("--version"), p.major, p.minor, p.revision))
            return Fallar("versión no válida (se espera X.Y.Z, tres números): " + o.Valor("--version"));
    } else if (!VersionArchivo(p.archivo, p.major, p.minor, p.revision)) {
        return Fallar("el archivo no tiene un recurso de versión legible; indique --version X.Y.Z: " + p.archivo);
    }
    std::string clavePrivada;
    if (o.Tiene("--firmar")) {
        clavePrivada = LeerClave(o.Valor("--firmar"));
        if (platform::FirmaEd25519::ClavePublica(clavePrivada).empty())
            return Fallar("no es una clave privada de «claves generar»: " + o.Valor("--firmar"));
    }
    BaseAdmin base;
    // Every run of the updater also reads Valores: a database prepared for
    // publishing has both tables.
    if (!base.Abrir() || !base.AsegurarTabla("BinariosAct") || !base.AsegurarTabla("Valores") ||
        (o.Tiene("--firmar") && !base.AsegurarColumna("BinariosAct", "Firma")) ||
        (o.Tiene("--historial") && !base.AsegurarTabla("HistorialAct")))
        return 1;
    const bool progreso = static_cast<int64_t>(tamano) > kUmbralProgreso;
    if (progreso)
        platform::EscribirError("olvado-admin: publicando " + std::to_string(tamano / (1024 * 1024)) +
                                " MiB: digest MD5");
    if (!DigerirYFirmar(p, clavePrivada)) {
        if (progreso)
            platform::EscribirError("\n");
        return Fallar("no se pudo leer el archivo: " + p.archivo);
    }
    if (progreso)
        platform::EscribirError(", leyendo");
    const bool hecho = EscribirFila(base, p, progreso);
    if (progreso)
        platform::EscribirError(hecho ? ", hecho\n" : ", fallido\n");
    if (!hecho)
        return Fallar("no se publicó el paquete; la base de datos queda como estaba");
    platform::EscribirSalida("Publicado " + p.producto + " " + TextoVersion(p.major, p.minor, p.revision) + " (" +
                             std::to_string(tamano) + " bytes)\n");
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
