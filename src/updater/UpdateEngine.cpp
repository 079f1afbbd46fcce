#include "updater/UpdateEngine.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "common/ComparadorVersiones.h"
#include "common/ErroresEjecucion.h"
#include "common/FileTool.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "database/clsDB.h"
#include "database/clsSqlSyntaxEngine.h"
#include "platform/ArchivoSellado.h"
#include "platform/Eventos.h"
#include "platform/SistemaArchivos.h"
#include "platform/MessageBox.h"
#include "updater/Core.h"
#include "updater/LecturaPaquete.h"
#include "updater/PaqueteAnillo.h"
#include "updater/PaqueteEnTrozos.h"

#include <algorithm>
#include <cstdint>
#include <memory>

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
std::string CondicionFila(const OrigenPaquete& origen, const VersionPaquete& v) {
    clsSqlSyntaxEngine* sql = Servicios().SQL.get();
    return " FROM " + origen.Tabla() + CondicionVersion(Clave(sql), v.Major, v.Minor, v.Revision) +
           origen.Filtro(sql ? *sql : clsSqlSyntaxEngine());
}

// Its pieces.
std::string CondicionTrozos(const OrigenPaquete& origen, const VersionPaquete& v) {
    clsSqlSyntaxEngine* sql = Servicios().SQL.get();
    return CondicionVersion((sql ? *sql : clsSqlSyntaxEngine()).Strg(origen.ClaveTrozos(Producto())), v.Major,
                            v.Minor, v.Revision);
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
std::string LeerFirma(clsDB& db, const Paquete& p) {
    const auto firma = ColumnaOpcional(db, "Firma", CondicionFila(p.Origen, *p.Version));
    try {
        return firma ? firma->ATexto() : "";
    } catch (...) {
        return "";
    }
}

// The package key ("" for none), read once per preparation; false, the
// reason in the system's log, when the registry cannot tell whether one is
// configured: then nothing starts.
bool ClavePaquetes(Paquete& p, std::string& clave) {
    std::string motivo;
    if (p.Clave(clave, motivo, [](std::string& c, std::string& m) {
            return IEntornoActualizacion::Actual().ClavePublicaPaquetes(c, m);
        }))
        return true;
    RegistrarFalla("no se pudo leer la clave pública de los paquetes: " + motivo);
    p.Resultado = kResultadoFirmaNoValida;
    return false;
}

// No row for the product, or none of the compared version any more.
void SinFila(Paquete& p, bool ModoActualizador) {
    p.Resultado = kResultadoSinPaquete;
    RegistrarFalla("no hay paquete publicado para " + Producto());
    if (!ModoActualizador)
        MensajeSinTitulo("No se encuentra el paquete de actualización, favor consulte con el administrador "
                         "del sistema.",
                         0);
}

// The compared version's MD5Hash as its row stores it now; false (the reason
// in the system's log) for no row or a query that did not open.
bool LeerDigesto(Paquete& p, bool ModoActualizador, clsDB& db, const std::string& condicion) {
    std::unique_ptr<ado::Recordset> rs;
    if (!AbrirEn(db, rs, "SELECT MD5Hash" + condicion)) {
        RegistrarFalla("la consulta del paquete no se abrió");
        return false;
    }
    const bool hay = !rs->Eof();
    if (hay) {
        const ado::Valor v = rs->Fields("MD5Hash").Value();
        p.HashCifrado = v.EsNulo() ? "" : v.ATexto();
    } else {
        SinFila(p, ModoActualizador);
    }
    rs->Close();
    return hay;
}

// The path must be free for the package; when it is not, today's message.
bool Liberar(Paquete& p, bool ModoActualizador) {
    if (p.LiberarRuta())
        return true;
    p.CerrarPrevio();
    RegistrarFalla("no se pudo borrar el paquete anterior " + p.Ruta());
    if (!ModoActualizador)
        MensajeSinTitulo("No se puede preparar el archivo de instalación, favor elimine manualmente este "
                         "archivo e intente de nuevo: " +
                             std::string(vbCrLf) + std::string(vbCrLf) + p.Ruta(),
                         platform::vbExclamation);
    return false;
}

// Prepares the package of the compared version's row in p's held file: the
// file already at the path when it is that package (staged), else rebuilt
// from a delta over it, else written whole; p.HashCifrado gets the row's
// MD5Hash, p.Via and p.BytesLeidos how. False (the reason in the system's
// log, no file left, the one found there discarded) for no row, a query
// that did not open, a path that cannot be freed, a missing or short piece,
// a failed write or a signal.
bool EscribirPaquete(Paquete& p, bool ModoActualizador) {
    clsDB* db = Servicios().DB.get();
    if (!p.Version) {
        bool sinPaquete = false, masReciente = false;
        int32_t major = 0, minor = 0, revision = 0;
        std::string hash;
        VerificarVersionPaquete(sinPaquete, masReciente, nullptr, nullptr, true, major, minor, revision, hash, true,
                                0, 0, 0);
        if (sinPaquete) {
            SinFila(p, ModoActualizador);
            Liberar(p, ModoActualizador);
            return false;
        }
    }
    if (!db || !p.Version) {
        RegistrarFalla("la consulta del paquete no se abrió");
        Liberar(p, ModoActualizador);
        return false;
    }
    const std::string condicion = CondicionFila(p.Origen, *p.Version);
    if (!LeerDigesto(p, ModoActualizador, *db, condicion)) {
        Liberar(p, ModoActualizador);
        return false;
    }
    const std::string md5 = LecturaPaquete::Descifrar(p.HashCifrado);
    if (!md5.empty() && p.DigestoPrevio() == md5) {
        p.UsarPrevio();
        p.Via = kViaPreparado;
        return true;
    }
    if (!Liberar(p, ModoActualizador))
        return false;
    clsSqlSyntaxEngine* sql = Servicios().SQL.get();
    LecturaPaquete lectura(p, *db, sql ? *sql : clsSqlSyntaxEngine(), condicion, CondicionTrozos(p.Origen, *p.Version),
                           p.Origen.ClaveTrozos(Producto()));
    const bool delta = !md5.empty() && !p.DigestoPrevio().empty() && lectura.Delta(md5);
    p.CerrarPrevio();
    if (delta) {
        p.Via = kViaDelta;
        return true;
    }
    std::string motivo;
    bool sinFila = false;
    if (!lectura.Completo(motivo, sinFila)) {
        if (sinFila)
            SinFila(p, ModoActualizador);
        else
            RegistrarFalla(motivo);
        return false;
    }
    p.Via = kViaCompleto;
    return true;
}

} // namespace

// The "DB" folder gets its separator from Ruta_CalificarRuta, so a Linux path
// stays a Linux path.
std::string RutaPaquete() {
    FileTool ft;
    std::string comun = ft.Ruta_CalificarRuta(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)));
    return ft.Ruta_CalificarRuta(comun + "DB") + Producto() + "_Act.exe";
}

Paquete& PaqueteActual() {
    auto& p = Servicios().Paquete;
    if (!p)
        p = std::make_unique<Paquete>();
    return *p;
}

bool ActualizarVersionDistribucion(bool& Ejecutar, bool ModoActualizador, bool VersionExterna, int32_t Major,
                                   int32_t Minor, int32_t Revision) {
    Paquete& p = PaqueteActual();
    p.SinMensajes = ModoActualizador || !IEntornoActualizacion::Actual().LineaDeComandos().empty();
    Ejecutar = false;
    bool sinPaquete = false, masReciente = false;
    int32_t pM = 0, pm = 0, pr = 0;
    std::string hash;
    p.Resultado = kResultadoError;
    if (VerificarVersionPaquete(sinPaquete, masReciente, nullptr, nullptr, p.SinMensajes, pM, pm, pr,
                                hash, VersionExterna, Major, Minor, Revision)) {
        // Up to date, or nothing published for the product.
        p.Resultado = sinPaquete ? kResultadoSinPaquete : kResultadoAlDia;
        IEntornoActualizacion::Actual().LimpiarActualizacionPendiente();
        return true;
    }
    // A package newer than the product, or a query that did not open.
    if (masReciente)
        p.Resultado = kResultadoAlDia;
    Ejecutar = !masReciente;
    return false;
}

bool VerificarVersionPaquete(bool& SinPaquete, bool& MasReciente, clsDB* DB, clsSqlSyntaxEngine* SQL,
                             bool SinMensajes, int32_t& PaqMajor, int32_t& PaqMinor, int32_t& PaqRevision,
                             std::string& HashCifrado, bool VersionExterna, int32_t Major, int32_t Minor,
                             int32_t Revision) {
    SinPaquete = false;
    MasReciente = false;
    Paquete& p = PaqueteActual();
    p.Version.reset();
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
    if (p.Origen.ElegirAnillo(*DB, SQL ? *SQL : clsSqlSyntaxEngine(), Producto(), anillo, hay,
                                             PaqMajor, PaqMinor, PaqRevision, HashCifrado))
        RegistrarLog("Paquete del anillo " + anillo + ": " + Decimal(PaqMajor) + "." + Decimal(PaqMinor) + "." +
                     Decimal(PaqRevision));
    if (!hay) {
        SinPaquete = true;
        return true;
    }
    p.Version = VersionPaquete{PaqMajor, PaqMinor, PaqRevision};

    if (ProgramaMasRecienteQueDB(PaqMajor, PaqMinor, PaqRevision, VersionExterna, Major, Minor, Revision)) {
        if (!SinMensajes && !p.SinMensajes) {
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

void PrepararPaqueteActualizacion(bool ModoActualizador, std::string& Archivo, std::string& Parametros) {
    IEntornoActualizacion& entorno = IEntornoActualizacion::Actual();
    Paquete& p = PaqueteActual();
    p.Resultado = kResultadoError;
    p.SinMensajes = !ModoActualizador && !entorno.LineaDeComandos().empty();
    if (p.SinMensajes)
        return;
    if (!ModoActualizador && (!entorno.ChequearActualizacionPendiente() || !PreguntarActualizar()))
        return;

    // The package's path, built once: the file is made, checked, handed back
    // and started under this one name.
    p.Empezar(RutaPaquete());
    const std::string& ruta = p.Ruta();
    std::string clave;
    if (!ClavePaquetes(p, clave)) {
        if (!ModoActualizador)
            MensajeNoVerificado();
        return;
    }
    // The file already there may be this package, staged, or the base of a
    // delta to it; held and digested before the row is read.
    p.RetenerPrevio();
    if (!EscribirPaquete(p, ModoActualizador))
        return;
    p.Firma = clave.empty() ? "" : LeerFirma(*Servicios().DB, p);
    if (!ModoActualizador && !entorno.EsperarACerrar()) {
        // The file stays, as a written one always did; it is no longer held.
        p.Sellado().Cerrar();
        return;
    }

    // The file stays held from its write to its start: the checked bytes run.
    if (!VerificarAutenticidadPaquete(ruta, p.HashCifrado, ModoActualizador)) {
        p.Sellado().Cerrar();
        return;
    }
    if (!ModoActualizador) {
        entorno.MarcarActualizacionPendiente();
        EjecutarPaqueteActualizacion(ruta, 0, kParametrosInteractivo);
        p.Sellado().Cerrar();
        return;
    }
    Archivo = ruta;
    Parametros = kParametrosActualizador;
}

bool VerificarAutenticidadPaquete(const std::string& Archivo, const std::string& HashCifrado,
                                  bool ModoActualizador) {
    Paquete& p = PaqueteActual();
    std::string cifrado = HashCifrado;
    bool exito = true;
    std::string hash = clsEncriptor().Decrypt(cifrado, exito);
    if (hash.empty()) {
        p.Resultado = kResultadoSinDigesto;
        RegistrarFalla("el paquete no tiene un digesto cifrado válido");
        return false;
    }

    // The package this preparation wrote was digested as it was written; any
    // other file is a check of its own, held and read once.
    const bool escrito = p.Sellado().Abierto() && p.Ruta() == Archivo && !p.Digesto().empty();
    if (!escrito)
        p.Empezar(Archivo);
    std::string clave;
    if (!ClavePaquetes(p, clave)) {
        platform::BorrarArchivo(Archivo);
        if (!ModoActualizador)
            MensajeNoVerificado();
        return false;
    }
    bool abierto = true;
    const bool leido = escrito || p.Leer(Archivo, abierto);
    if (!leido) {
        RegistrarFalla("no se pudo leer " + Archivo);
    } else if (UCase(Trim(hash)) != p.Digesto()) {
        RegistrarFalla("el digesto de " + Archivo + " no coincide con el publicado");
        p.Resultado = kResultadoDigestoDistinto;
    } else if (clave.empty() || p.FirmaValida(Producto())) {
        p.Resultado = kResultadoInstalando;
        return true;
    } else {
        RegistrarFalla("la firma de " + Archivo + " no es válida");
        p.Resultado = kResultadoFirmaNoValida;
        RegistrarLog("Firma del paquete no válida");
    }
    p.Sellado().Cerrar();
    platform::BorrarArchivo(Archivo);
    // A file that cannot be held or read is a run-time fault for the caller's
    // error path, not a mismatch; it is gone all the same.
    if (!leido) {
        const int32_t numero = abierto ? 57 : 75;
        throw ErrorOlvado(numero, "clsMD5File", DescripcionErrorEjecucion(numero));
    }
    if (!ModoActualizador)
        MensajeNoVerificado();
    return false;
}

bool EjecutarPaqueteActualizacion(const std::string& Archivo, int32_t hWnd, const std::string& Parametros) {
    std::string usuario, contrasena;
    ObtenerCredencialesEjecucion(usuario, contrasena);
    platform::ArchivoSellado& sellado = PaqueteActual().Sellado();
    const bool propio = sellado.Abierto() && sellado.Ruta() == Archivo;
    return IEntornoActualizacion::Actual().EjecutarComoAdmin(hWnd, Archivo, Parametros, usuario, contrasena,
                                                             propio ? &sellado : nullptr);
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
