#include "updater/UpdateEngine.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "common/ComparadorVersiones.h"
#include "common/ErroresEjecucion.h"
#include "common/FileTool.h"
#include "common/FirmaPaquete.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "database/clsDB.h"
#include "database/clsSqlSyntaxEngine.h"
#include "platform/ArchivoNativo.h"
#include "platform/ArchivoSellado.h"
#include "platform/Eventos.h"
#include "platform/FirmaEd25519.h"
#include "platform/SistemaArchivos.h"
#include "platform/MessageBox.h"
#include "updater/Core.h"
#include "updater/DigestoSellado.h"
#include "updater/PaqueteAnillo.h"
#include "updater/PaqueteEnTrozos.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace olvado {
namespace {

const std::string& Producto() { return ObtenerIdentidadPrograma().Producto; }

// AbrirConsulta's arguments on the given database object.
bool AbrirEn(clsDB& db, std::unique_ptr<ado::Recordset>& rs, const std::string& sql) {
    int32_t n = -1;
    return db.AbrirRs(rs, sql, 3, 3, -1, true, n);
}

// The product key as an SQL text literal of the given dialect engine.
std::string Clave(clsSqlSyntaxEngine* SQL) {
    if (SQL)
        return SQL->Strg(Producto());
    return clsSqlSyntaxEngine().Strg(Producto());
}

std::string Decimal(int32_t n) { return std::to_string(n); }

// The rows of the compared version: " FROM " its table and the condition.
std::string CondicionFila(const VersionPaquete& v) {
    const OrigenPaquete& origen = OrigenPaquete::Actual();
    clsSqlSyntaxEngine* sql = Servicios().SQL.get();
    return " FROM " + origen.Tabla() + CondicionVersion(Clave(sql), v.Major, v.Minor, v.Revision) +
           origen.Filtro(sql ? *sql : clsSqlSyntaxEngine());
}

// Its pieces.
std::string CondicionTrozos(const VersionPaquete& v) {
    clsSqlSyntaxEngine* sql = Servicios().SQL.get();
    return CondicionVersion((sql ? *sql : clsSqlSyntaxEngine()).Strg(OrigenPaquete::Actual().ClaveTrozos(Producto())),
                            v.Major, v.Minor, v.Revision);
}

// A version part as the 32-bit integer it is; a value that does not fit is
// the overflow fault the conversion raises on Windows, not a wrapped number.
int32_t ParteVersion(const ado::Valor& v) {
    int64_t n = v.AEntero();
    if (n < INT32_MIN || n > INT32_MAX)
        throw ErrorOlvado(6, "UpdateEngine", DescripcionErrorEjecucion(6));
    return static_cast<int32_t>(n);
}

// Why a preparation failed goes to the system's log under the product's
// source name; the run log keeps its own lines.
void RegistrarFalla(const std::string& motivo) {
    platform::IEventos::Actual().Registrar(
        {Producto(), 1, 1, 3000, "No se preparó el paquete de actualización: " + motivo, {}});
}

void MensajeNoVerificado() {
    std::string crlf(vbCrLf);
    platform::MsgBox("No se pudo verificar la autenticidad del archivo de actualización." + crlf + crlf +
                         "Por razones de seguridad no se ejecutará el archivo." + crlf + crlf +
                         "Intente actualizar de nuevo, si el problema persiste favor consulte con el "
                         "administrador del sistema.",
                     platform::vbCritical | platform::vbOKOnly, "Actualización de " + Producto());
}

// A message box without a title of its own shows the program's title.
void MensajeSinTitulo(const std::string& texto, int32_t estilo) {
    platform::MsgBox(texto, estilo | platform::vbOKOnly, Producto());
}

// Interactive mode's question before preparing; false: the user cancelled, or
// no one could answer.
bool PreguntarActualizar() {
    std::string crlf(vbCrLf);
    const std::string& p = Producto();
    int32_t r = platform::MsgBox(
        "Esta versión de " + p + " necesita actualizarse. Si va a actualizar ahora haga lo siguiente:" + crlf +
            crlf + "1. Cierre todos los demás programas abiertos, dejando sólamente esta ventana." + crlf +
            "2. Haga click en ACEPTAR y favor espere unos minutos a que finalice la actualización." + crlf +
            "3. Una vez que termine la actualización puede abrir " + p + " de nuevo.",
        platform::vbExclamation | platform::vbOKCancel, "Actualización de " + p);
    return r == platform::vbOK; // a box that could not show (0) is no answer
}

// The signature of the compared row; "" when the column or the row is missing
// (a database published before signatures), which then fails verification.
std::string LeerFirma(clsDB& db, const VersionPaquete& v) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!db.AbrirRs(rs, "SELECT Firma" + CondicionFila(v), 3, 3, -1, false, n))
        return "";
    std::string firma;
    try {
        if (!rs->Eof() && !rs->Fields("Firma").Value().EsNulo())
            firma = rs->Fields("Firma").Value().ATexto();
        rs->Close();
    } catch (...) {
    }
    return firma;
}

// The package key ("" for none); false, the reason in the system's log, when
// the registry cannot tell whether one is configured: then nothing starts.
bool ClavePaquetes(std::string& clave) {
    std::string motivo;
    if (IEntornoActualizacion::Actual().ClavePublicaPaquetes(clave, motivo))
        return true;
    RegistrarFalla("no se pudo leer la clave pública de los paquetes: " + motivo);
    ResultadoActualizacion() = kResultadoFirmaNoValida;
    return false;
}

// No row for the product, or none of the compared version any more.
void SinFila(bool ModoActualizador) {
    ResultadoActualizacion() = kResultadoSinPaquete;
    RegistrarFalla("no hay paquete publicado para " + Producto());
    if (!ModoActualizador)
        MensajeSinTitulo("No se encuentra el paquete de actualización, favor consulte con el administrador "
                         "del sistema.",
                         0);
}

// The compared version's MD5Hash as its row stores it now; false (the reason
// in the system's log) for no row or a query that did not open.
bool LeerDigesto(bool ModoActualizador, clsDB& db, const std::string& condicion, std::string& HashCifrado) {
    std::unique_ptr<ado::Recordset> rs;
    if (!AbrirEn(db, rs, "SELECT MD5Hash" + condicion)) {
        RegistrarFalla("la consulta del paquete no se abrió");
        return false;
    }
    const bool hay = !rs->Eof();
    if (hay) {
        const ado::Valor v = rs->Fields("MD5Hash").Value();
        HashCifrado = v.EsNulo() ? "" : v.ATexto();
    } else {
        SinFila(ModoActualizador);
    }
    rs->Close();
    return hay;
}

// The pieces, each as it arrives, into a new file at Ruta (never through a
// link, into a FIFO or a device); the file is gone unless every piece is there.
bool EscribirTrozos(PaqueteEnTrozos& trozos, const std::string& HashCifrado, int64_t n, const std::string& Ruta) {
    platform::ArchivoNativo f;
    std::string motivo;
    if (!f.Abrir(Ruta, platform::ArchivoNativo::Modo::CrearNuevo)) {
        RegistrarFalla("no se pudo crear " + Ruta);
        return false;
    }
    const bool leido = trozos.Leer(OrigenPaquete::Actual().ClaveTrozos(Producto()), HashCifrado, n,
                                   [&](const uint8_t* datos, size_t largo, std::string& m) {
                                       if (f.Escribir(std::string_view(reinterpret_cast<const char*>(datos), largo)))
                                           return true;
                                       m = "no se pudo escribir " + Ruta;
                                       return false;
                                   },
                                   motivo);
    if (!f.Cerrar() && motivo.empty())
        motivo = "no se pudo escribir " + Ruta;
    if (leido && motivo.empty())
        return true;
    platform::BorrarArchivo(Ruta);
    RegistrarFalla(motivo);
    return false;
}

// Writes the package of the compared version's row to Ruta, from the pieces
// bound to the row's current digest when they are all there, else from
// Binario; HashCifrado gets its MD5Hash. False for no row, a query that did
// not open, a missing or short piece or a failed write (the database
// object's write raises; preparation just ends).
bool EscribirPaquete(bool ModoActualizador, const std::string& Ruta, std::string& HashCifrado) {
    clsDB* db = Servicios().DB.get();
    if (!VersionComparada()) {
        bool sinPaquete = false, masReciente = false;
        int32_t major = 0, minor = 0, revision = 0;
        VerificarVersionPaquete(sinPaquete, masReciente, nullptr, nullptr, true, major, minor, revision,
                                HashCifrado, true, 0, 0, 0);
        if (sinPaquete) {
            SinFila(ModoActualizador);
            return false;
        }
    }
    if (!db || !VersionComparada()) {
        RegistrarFalla("la consulta del paquete no se abrió");
        return false;
    }
    const std::string condicion = CondicionFila(*VersionComparada());
    if (!LeerDigesto(ModoActualizador, *db, condicion, HashCifrado))
        return false;
    PaqueteEnTrozos trozos(*db, PaqueteEnTrozos::kTabla, CondicionTrozos(*VersionComparada()));
    std::string sinTrozos;
    const int64_t n = trozos.Contar(OrigenPaquete::Actual().ClaveTrozos(Producto()), HashCifrado, sinTrozos);
    if (n > 0)
        return EscribirTrozos(trozos, HashCifrado, n, Ruta);
    // Binario and the digest from one statement: the row may have changed.
    std::unique_ptr<ado::Recordset> rs;
    if (!AbrirEn(*db, rs, "SELECT Binario, MD5Hash" + condicion)) {
        RegistrarFalla("la consulta del paquete no se abrió");
        return false;
    }
    if (rs->Eof()) {
        SinFila(ModoActualizador);
        rs->Close();
        return false;
    }
    bool escrito = false;
    try {
        HashCifrado = rs->Fields("MD5Hash").Value().ATexto();
        ado::Field& binario = rs->Fields("Binario");
        std::string ruta = Ruta;
        if (!sinTrozos.empty() && binario.ActualSize() <= 0) {
            // Nothing in Binario and pieces that could not be read: that is
            // the reason, not the digest of an empty file.
            RegistrarFalla(sinTrozos);
            RegistrarLog("Paquete no preparado: " + EscaparControles(sinTrozos));
        } else {
            escrito = db->BLOB_a_Archivo(binario, ruta);
        }
    } catch (const ErrorOlvado& e) {
        RegistrarFalla(e.Descripcion());
        escrito = false;
    } catch (...) {
        RegistrarFalla("no se pudo escribir " + Ruta);
        escrito = false;
    }
    try {
        if (rs->State() == 1)
            rs->Close();
    } catch (...) {
    }
    return escrito;
}

} // namespace

// The "DB" folder gets its separator from Ruta_CalificarRuta, so a Linux path
// stays a Linux path.
std::string RutaPaquete() {
    FileTool ft;
    std::string comun = ft.Ruta_CalificarRuta(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)));
    return ft.Ruta_CalificarRuta(comun + "DB") + Producto() + "_Act.exe";
}

bool& SinMensajesActualizacion() {
    static bool sinMensajes = false;
    return sinMensajes;
}

std::optional<VersionPaquete>& VersionComparada() {
    static std::optional<VersionPaquete> version;
    return version;
}

std::string& ResultadoActualizacion() {
    static std::string resultado = kResultadoError;
    return resultado;
}

bool ActualizarVersionDistribucion(bool& Ejecutar, bool ModoActualizador, bool VersionExterna, int32_t Major,
                                   int32_t Minor, int32_t Revision) {
    SinMensajesActualizacion() = ModoActualizador || !IEntornoActualizacion::Actual().LineaDeComandos().empty();
    Ejecutar = false;
    bool sinPaquete = false, masReciente = false;
    int32_t pM = 0, pm = 0, pr = 0;
    std::string hash;
    ResultadoActualizacion() = kResultadoError;
    if (VerificarVersionPaquete(sinPaquete, masReciente, nullptr, nullptr, SinMensajesActualizacion(), pM, pm, pr,
                                hash, VersionExterna, Major, Minor, Revision)) {
        // Up to date, or nothing published for the product.
        ResultadoActualizacion() = sinPaquete ? kResultadoSinPaquete : kResultadoAlDia;
        IEntornoActualizacion::Actual().LimpiarActualizacionPendiente();
        return true;
    }
    // A package newer than the product, or a query that did not open.
    if (masReciente)
        ResultadoActualizacion() = kResultadoAlDia;
    Ejecutar = !masReciente;
    return false;
}

bool VerificarVersionPaquete(bool& SinPaquete, bool& MasReciente, clsDB* DB, clsSqlSyntaxEngine* SQL,
                             bool SinMensajes, int32_t& PaqMajor, int32_t& PaqMinor, int32_t& PaqRevision,
                             std::string& HashCifrado, bool VersionExterna, int32_t Major, int32_t Minor,
                             int32_t Revision) {
    SinPaquete = false;
    MasReciente = false;
    VersionComparada().reset();
    if (!DB) {
        DB = Servicios().DB.get();
        SQL = Servicios().SQL.get();
    }
    std::unique_ptr<ado::Recordset> rs;
    if (!DB || !AbrirEn(*DB, rs, "SELECT Major, Minor, Revision, MD5Hash FROM BinariosAct WHERE Producto = " +
                                     Clave(SQL)))
        return false;
    bool hay = !rs->Eof();
    if (hay) {
        PaqMajor = ParteVersion(rs->Fields("Major").Value());
        PaqMinor = ParteVersion(rs->Fields("Minor").Value());
        PaqRevision = ParteVersion(rs->Fields("Revision").Value());
        ado::Valor hash = rs->Fields("MD5Hash").Value();
        HashCifrado = hash.EsNulo() ? "" : hash.ATexto();
    }
    rs->Close();
    // A workstation of a ring may take its ring's newer row instead; a plain
    // one reads nothing more.
    const std::string anillo = Servicios().Comunes ? AnilloEstacion(*Servicios().Comunes) : "";
    if (OrigenPaquete::Actual().ElegirAnillo(*DB, SQL ? *SQL : clsSqlSyntaxEngine(), Producto(), anillo, hay,
                                             PaqMajor, PaqMinor, PaqRevision, HashCifrado))
        RegistrarLog("Paquete del anillo " + anillo + ": " + Decimal(PaqMajor) + "." + Decimal(PaqMinor) + "." +
                     Decimal(PaqRevision));
    if (!hay) {
        SinPaquete = true;
        return true;
    }
    VersionComparada() = VersionPaquete{PaqMajor, PaqMinor, PaqRevision};

    if (ProgramaMasRecienteQueDB(PaqMajor, PaqMinor, PaqRevision, VersionExterna, Major, Minor, Revision)) {
        if (!SinMensajes && !SinMensajesActualizacion()) {
            // The first version is always this program's own.
            const IdentidadPrograma& propia = ObtenerIdentidadPrograma();
            platform::MsgBox("Esta versión de " + Producto() + " (v" + Decimal(propia.Major) + "." +
                                 Decimal(propia.Minor) + "." + Decimal(propia.Revision) +
                                 ") es mas reciente que la base de datos (v" + Decimal(PaqMajor) + "." +
                                 Decimal(PaqMinor) + "." + Decimal(PaqRevision) + ")." + std::string(vbCrLf) +
                                 "Debe obtener y ejecutar un paquete de actualización para poder usar este "
                                 "programa.",
                             platform::vbExclamation | platform::vbOKOnly, "Actualizaciones de " + Producto());
        }
        MasReciente = true;
        return false;
    }
    return !DBMasRecienteQuePrograma(PaqMajor, PaqMinor, PaqRevision, VersionExterna, Major, Minor, Revision);
}

void PrepararPaqueteActualizacion(bool ModoActualizador, std::string& Archivo, std::string& Parametros,
                                  platform::ArchivoSellado* Paquete) {
    IEntornoActualizacion& entorno = IEntornoActualizacion::Actual();
    ResultadoActualizacion() = kResultadoError;
    SinMensajesActualizacion() = !ModoActualizador && !entorno.LineaDeComandos().empty();
    if (SinMensajesActualizacion())
        return;
    if (!ModoActualizador && (!entorno.ChequearActualizacionPendiente() || !PreguntarActualizar()))
        return;

    std::string clave;
    if (!ClavePaquetes(clave)) {
        if (!ModoActualizador)
            MensajeNoVerificado();
        return;
    }
    const std::string ruta = RutaPaquete();
    FileTool ft;
    if (ft.FileExist(ruta) && !platform::BorrarArchivo(ruta)) {
        RegistrarFalla("no se pudo borrar el paquete anterior " + ruta);
        if (!ModoActualizador)
            MensajeSinTitulo("No se puede preparar el archivo de instalación, favor elimine manualmente este "
                             "archivo e intente de nuevo: " +
                                 std::string(vbCrLf) + std::string(vbCrLf) + ruta,
                             platform::vbExclamation);
        return;
    }
    std::string hashCifrado;
    if (!EscribirPaquete(ModoActualizador, ruta, hashCifrado))
        return;
    const std::string firma = clave.empty() ? "" : LeerFirma(*Servicios().DB, *VersionComparada());
    if (!ModoActualizador && !entorno.EsperarACerrar())
        return;

    // The file stays open from its digest to its start: the checked bytes run.
    platform::ArchivoSellado propio;
    platform::ArchivoSellado& sellado = Paquete ? *Paquete : propio;
    if (!VerificarAutenticidadPaquete(ruta, hashCifrado, ModoActualizador, &sellado, firma))
        return;
    if (!ModoActualizador) {
        entorno.MarcarActualizacionPendiente();
        EjecutarPaqueteActualizacion(ruta, 0, kParametrosInteractivo, &sellado);
        return;
    }
    Archivo = ruta;
    Parametros = kParametrosActualizador;
}

bool VerificarAutenticidadPaquete(const std::string& Archivo, const std::string& HashCifrado,
                                  bool ModoActualizador, platform::ArchivoSellado* Paquete,
                                  const std::string& Firma) {
    std::string cifrado = HashCifrado;
    bool exito = true;
    std::string hash = clsEncriptor().Decrypt(cifrado, exito);
    if (hash.empty()) {
        ResultadoActualizacion() = kResultadoSinDigesto;
        RegistrarFalla("el paquete no tiene un digesto cifrado válido");
        return false;
    }

    std::string clave;
    if (!ClavePaquetes(clave)) {
        platform::BorrarArchivo(Archivo);
        if (!ModoActualizador)
            MensajeNoVerificado();
        return false;
    }
    platform::FirmaEd25519 firma;
    platform::ArchivoSellado propio;
    platform::ArchivoSellado& sellado = Paquete ? *Paquete : propio;
    const bool abierto = sellado.Abrir(Archivo);
    const std::string digesto = abierto ? DigestoSellado(sellado, clave.empty() ? nullptr : &firma) : "";
    if (digesto.empty()) {
        RegistrarFalla("no se pudo leer " + Archivo);
    } else if (UCase(Trim(hash)) != digesto) {
        RegistrarFalla("el digesto de " + Archivo + " no coincide con el publicado");
        ResultadoActualizacion() = kResultadoDigestoDistinto;
    } else if (clave.empty() ||
               (VersionComparada() && VerificarFirmaPaquete(firma, clave, Firma, Producto(), VersionComparada()->Major,
                                                            VersionComparada()->Minor,
                                                            VersionComparada()->Revision))) {
        ResultadoActualizacion() = kResultadoInstalando;
        return true;
    } else {
        RegistrarFalla("la firma de " + Archivo + " no es válida");
        ResultadoActualizacion() = kResultadoFirmaNoValida;
        RegistrarLog("Firma del paquete no válida");
    }
    sellado.Cerrar();
    platform::BorrarArchivo(Archivo);
    // A file that cannot be held or read is a run-time fault for the caller's
    // error path, not a mismatch; it is gone all the same.
    if (digesto.empty()) {
        const int32_t numero = abierto ? 57 : 75;
        throw ErrorOlvado(numero, "clsMD5File", DescripcionErrorEjecucion(numero));
    }
    if (!ModoActualizador)
        MensajeNoVerificado();
    return false;
}

bool EjecutarPaqueteActualizacion(const std::string& Archivo, int32_t hWnd, const std::string& Parametros,
                                  const platform::ArchivoSellado* Paquete) {
    std::string usuario, contrasena;
    ObtenerCredencialesEjecucion(usuario, contrasena);
    return IEntornoActualizacion::Actual().EjecutarComoAdmin(hWnd, Archivo, Parametros, usuario, contrasena, Paquete);
}

void ObtenerCredencialesEjecucion(std::string& Usuario, std::string& Contrasena) {
    Usuario.clear();
    Contrasena.clear();
    clsDB* db = Servicios().DB.get();
    int32_t tipo = 0, largo = 0;
    if (!db || !db->Get_Variable("EXU", tipo, Usuario, largo)) {
        Usuario.clear();
        return;
    }
    if (!db->Get_Variable("EXC", tipo, Contrasena, largo)) {
        Usuario.clear();
        Contrasena.clear();
        return;
    }
    IEntornoActualizacion::Actual().Registro_GuardarCredenciales(Usuario, Contrasena);
    clsEncriptor cifra;
    bool exito = true;
    Usuario = cifra.Decrypt(Usuario, exito);
    Contrasena = cifra.Decrypt(Contrasena, exito);
}

} // namespace olvado
