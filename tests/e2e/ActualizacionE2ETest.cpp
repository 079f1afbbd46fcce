// The built updater's whole road against a database of each engine, read
// back from its run log: up to date, nothing published, installed newer, a
// newer package written, verified and started (with the database closed), and
// the packages that must never start.
#include "base/Texto.h"
#include "common/FileTool.h"
#include "common/cRegistry.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "common/clsStgComunes.h"
#include "database/ado/Connection.h"
#include "database/ado/Recordset.h"
#include "platform/ArchivoNativo.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "platform/TextoAnsi.h"
#include "process/Lanzamiento.h"
#include "platform/Registro.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/EscritorPE.h"
#include "support/MotoresPrueba.h"
#include "support/PantallaPrueba.h"
#include "support/RegistroPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <thread>
#include <filesystem>

namespace olvado {
namespace {

namespace fs = std::filesystem;

// SQLite through the native provider (the ODBC driver where the build lacks
// it) and MariaDB.
std::vector<prueba::MotorPrueba> Motores() {
    std::vector<prueba::MotorPrueba> r;
    for (const auto& m : prueba::MotoresPrueba())
        if (m.nombre != "SqliteOdbc" || r.empty())
            r.push_back(m);
    if (r.size() > 2)
        r.erase(r.begin() + 1); // the native provider was there
    return r;
}

// The Windows build's installer: waits a moment, records its arguments and ends.
[[noreturn]] void RegistrarComoInstalador() {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::string args;
    for (size_t i = 1; i < ::testing::internal::GetArgvs().size(); ++i)
        args += (i > 1 ? " " : "") + ::testing::internal::GetArgvs()[i];
    prueba::EscribirArchivo(fs::u8path(platform::LeerVariableEntorno("OLVADO_TEST_SALIDA")), "args=" + args + "\n");
    std::exit(0);
}

class ActualizacionE2E : public ::testing::TestWithParam<prueba::MotorPrueba> {
protected:
    void SetUp() override {
        if (!prueba::RolHijo().empty())
            return; // started as the package: the test body plays the installer
        FileTool ft;
        log_ = ft.Ruta_CalificarRuta(ft.Ruta_MisDocumentos()) + "Olvado_UpdaterLog.txt";
        std::error_code ec;
        fs::remove(fs::u8path(log_), ec);
        {
            ado::Connection c;
            c.Open(GetParam().cadena);
            c.Execute("DROP TABLE IF EXISTS BinariosAct");
            c.Execute("CREATE TABLE BinariosAct (Producto VARCHAR(50), Major INT, Minor INT, Revision INT, "
                      "MD5Hash VARCHAR(255), Binario " + GetParam().Blob() + ")");
            c.Execute("DROP TABLE IF EXISTS Valores");
            c.Execute("CREATE TABLE Valores (idVariable VARCHAR(50), Tipo INT, ValorTexto VARCHAR(255), "
                      "ValorLargo INT)");
        }
        almacen_.Escribir({{"1", "prueba", GetParam().cadena, GetParam().catalogo, "1"}});
        carpetaDB_ = ft.Ruta_CalificarRuta(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)) + "DB");
        fs::create_directories(fs::u8path(carpetaDB_));
        paquete_ = carpetaDB_ + "Olvado_Act.exe";
        salida_ = arbol_.Raiz() / "salida";
        fs::create_directories(salida_);
        fs::permissions(salida_, fs::perms::all);
        Instalar("1.0.66");
    }
    void TearDown() override {
        std::error_code ec;
        if (log_.empty())
            return;
        fs::remove(fs::u8path(log_), ec);
        fs::remove_all(fs::u8path(carpetaDB_), ec);
        fs::remove_all(fs::u8path(FileTool().Ruta_RutaEspecial(0, 38)) / "Olvado", ec);
        // The engines' databases are shared with the other runners (and the
        // other build): no "DBINTERM" or stored account stays behind.
        ado::Connection c;
        c.Open(GetParam().cadena);
        c.Execute("DELETE FROM Valores");
    }

    // The installed main executable, a PE file of the given version.
    void Instalar(const std::string& version) {
        fs::path carpeta = fs::u8path(FileTool().Ruta_RutaEspecial(0, 38)) / "Olvado";
        fs::create_directories(carpeta);
        prueba::EscribirArchivo(carpeta / "Olvado.exe",
                                prueba::ArchivoPE(prueba::BloqueVersion(prueba::VersionCompleta(version))));
    }
    void Sql(const std::string& sql) {
        ado::Connection c;
        c.Open(GetParam().cadena);
        c.Execute(sql);
    }
    void Variable(const std::string& id, const std::string& texto) {
        Sql("INSERT INTO Valores VALUES ('" + id + "', 1, '" + texto + "', 0)");
    }
    // The product's row; no hash stores a null digest.
    void Publicar(const std::string& version, const std::string& bytes, std::optional<std::string> hash) {
        int m = 0, n = 0, r = 0;
        std::sscanf(version.c_str(), "%d.%d.%d", &m, &n, &r);
        ado::Connection c;
        c.Open(GetParam().cadena);
        ado::Recordset rs;
        rs.Open("SELECT * FROM BinariosAct", c, ado::adOpenStatic, 3);
        rs.AddNew();
        rs.Fields("Producto").SetValue(ado::Valor("Olvado"));
        rs.Fields("Major").SetValue(ado::Valor(m));
        rs.Fields("Minor").SetValue(ado::Valor(n));
        rs.Fields("Revision").SetValue(ado::Valor(r));
        rs.Fields("MD5Hash").SetValue(hash ? ado::Valor(*hash) : ado::Valor());
        rs.Fields("Binario").SetValue(ado::Valor(std::vector<uint8_t>(bytes.begin(), bytes.end())));
        rs.Update();
        rs.Close();
    }
    // The digest of the bytes as they are (not as a text in the code page).
    static std::string HashCifrado(const std::string& bytes) {
        clsMD5File md5;
        md5.MD5Init();
        md5.MD5Update(bytes);
        md5.MD5Final();
        return clsEncriptor().Encrypt(md5.GetValues());
    }
    // An installer that waits a moment, then records its arguments, its
    // account and how many processes still hold the database. The Windows
    // build's is this test program itself in the role "instalador" (the
    // updater hands its environment on), recording its arguments.
    std::string Instalador() const {
        if (EsWindows())
            return prueba::LeerArchivo(fs::u8path(platform::RutaEjecutableActual()));
        std::string abiertas;
        if (GetParam().dialecto == 2)
            abiertas = "$(mariadb -S '" + prueba::SocketMariaDB() + "' -u root -N -e \"SELECT COUNT(*) FROM "
                       "information_schema.PROCESSLIST WHERE DB='" + GetParam().catalogo + "'\")";
        else
            abiertas = "$(ls -l /proc/[0-9]*/fd 2>/dev/null | grep -c -- '" + ArchivoSqlite() + "')";
        return "#!/bin/sh\nsleep 1\n{ echo \"args=$*\"; echo \"usuario=$(id -un)\"; echo \"abiertas=" + abiertas +
               "\"; } > '" + (salida_ / "instalador.txt").string() + "'\n";
    }
    static bool EsWindows() { return std::string(OLVADO_UPDATER_BIN).find(".exe") != std::string::npos; }
    // What the installer of this build records on a start by root.
    static std::string RegistroEsperado(const std::string& args) {
        return EsWindows() ? "args=" + args + "\n" : "args=" + args + "\nusuario=root\nabiertas=0\n";
    }
    std::string ArchivoSqlite() const {
        const std::string& c = GetParam().cadena;
        size_t p = c.find("Data Source=");
        p = p == std::string::npos ? c.find("Database=") + 9 : p + 12;
        return c.substr(p);
    }
    std::string Registro() const { return prueba::LeerArchivo(salida_ / "instalador.txt"); }

    // Runs the updater; the log's entry texts, in order. With enPantalla the
    // updater gets the test display and enPantalla runs while it does.
    std::vector<std::string> Ejecutar(const std::vector<std::string>& antes = {},
                                      const std::function<void()>& enPantalla = {}) {
        std::error_code ec;
        fs::remove(fs::u8path(log_), ec);
        std::vector<std::string> argv = antes;
        argv.push_back(programa_);
        auto entorno = arbol_.Entorno();
        const auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
        entorno.emplace_back("GTEST_FILTER", std::string(t->test_suite_name()) + "." + t->name());
        entorno.emplace_back("OLVADO_TEST_ROL", "instalador");
        entorno.emplace_back("OLVADO_TEST_SALIDA", (salida_ / "instalador.txt").string());
        if (enPantalla)
            entorno.push_back(prueba::PantallaPrueba::Entorno());
        platform::ProcesoHijo hijo;
        hijo.RedirigirSalidas("", (salida_ / "stderr.txt").string());
        EXPECT_TRUE(hijo.Iniciar(argv, entorno));
        if (enPantalla)
            enPantalla();
        EXPECT_EQ(hijo.Esperar(), 0);
        return prueba::TextosDelLog(DesdeAnsi(prueba::LeerArchivo(fs::u8path(log_))));
    }
    static bool Tiene(const std::vector<std::string>& t, const std::string& linea) {
        return std::find(t.begin(), t.end(), linea) != t.end();
    }

    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    std::string programa_ = OLVADO_UPDATER_BIN;
    std::string log_, carpetaDB_, paquete_;
    fs::path salida_;
};

TEST_P(ActualizacionE2E, AlDiaSinFilaOInstaladoMasReciente) {
    Publicar("1.0.66", "x", std::nullopt);
    // A mark left by an update that started: the up-to-date run clears it.
    clsStgComunes comunes;
    ASSERT_TRUE(comunes.Registro_SetValor("", "ActualizacionPendiente", int32_t{1}, 1));
    auto t = Ejecutar();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "ActualizarVersionDistribucion: Verdadero");
    Variante marca;
    ASSERT_TRUE(comunes.Registro_GetValor("", "ActualizacionPendiente", marca, 1, int32_t{5}));
    EXPECT_EQ(std::get<int32_t>(marca), 0);
    EXPECT_TRUE(Tiene(t, "Version Olvado Actual: 1.0.66"));
    EXPECT_TRUE(Tiene(t, "Usuario: , Contrasena: "));
    EXPECT_FALSE(Tiene(t, "Cerrar Objetos"));

    Sql("DELETE FROM BinariosAct");
    t = Ejecutar();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "ActualizarVersionDistribucion: Verdadero");

    Instalar("2.0.0");
    Publicar("1.9.99", "x", std::nullopt);
    t = Ejecutar();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Version Olvado Actual: 2.0.0");
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
}

TEST_P(ActualizacionE2E, PaqueteNuevoVerificadoYEjecutadoConLaBaseCerrada) {
    if (prueba::RolHijo() == "instalador")
        RegistrarComoInstalador();
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, HashCifrado(instalador));
    const std::string usuario = clsEncriptor().Encrypt("administrador");
    Variable("EXU", usuario);
    Variable("EXC", clsEncriptor().Encrypt("Secreto-9"));
    const std::string base = "SOFTWARE\\Olvado Systems\\Base";
    prueba::BorrarArbolRegistro(HKEY_LOCAL_MACHINE, base);
    auto t = Ejecutar();
    // The stored account's enciphered copy went to the registry.
    cRegistry r;
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey(base);
    r.ValueKey("RAUse");
    EXPECT_EQ(std::get<std::string>(r.value()), usuario);
    prueba::BorrarArbolRegistro(HKEY_LOCAL_MACHINE, base);
    // (Compared without printing: the Windows build's installer is large.)
    std::string escrito = prueba::LeerArchivo(fs::u8path(paquete_));
    EXPECT_EQ(escrito.size(), instalador.size()) << ::testing::PrintToString(t);
    EXPECT_TRUE(escrito == instalador);
    // Waited for: the installer had finished when the updater ended.
    EXPECT_EQ(Registro(), RegistroEsperado("/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-"));
    EXPECT_TRUE(Tiene(t, "Usuario: adm, Contrasena: Sec")) << ::testing::PrintToString(t);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Ejecutar Archivo: " + paquete_ + ", /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-, " + carpetaDB_);
    auto cerrar = std::find(t.begin(), t.end(), "Cerrar Objetos");
    EXPECT_EQ(cerrar + 2, t.end());
    // The password shows nowhere beyond its first three characters.
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(log_)).find("Secreto"), std::string::npos);
    EXPECT_EQ(prueba::LeerArchivo(salida_ / "stderr.txt").find("Secreto"), std::string::npos);
}

TEST_P(ActualizacionE2E, DigestoErroneoOVacioNoEjecutaNada) {
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, HashCifrado(instalador + "otro"));
    auto t = Ejecutar();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Ejecutar Archivo: , , ");
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
    EXPECT_FALSE(fs::exists(salida_ / "instalador.txt"));

    // Nothing to check against: the file stays, unstarted.
    Sql("DELETE FROM BinariosAct");
    Publicar("1.0.70", instalador, "");
    t = Ejecutar();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Ejecutar Archivo: , , ");
    EXPECT_TRUE(prueba::LeerArchivo(fs::u8path(paquete_)) == instalador);
    EXPECT_FALSE(fs::exists(salida_ / "instalador.txt"));
}

TEST_P(ActualizacionE2E, PaqueteAnteriorQueNoSePuedeBorrar) {
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, HashCifrado(instalador));
    prueba::EscribirArchivo(fs::u8path(paquete_), "anterior");
    platform::ArchivoNativo ocupado;
    ASSERT_TRUE(ocupado.Abrir(paquete_, platform::ArchivoNativo::Modo::LeerEscribir));
    auto t = Ejecutar();
    ocupado.Cerrar();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Ejecutar Archivo: , , ");
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), "anterior");
    EXPECT_FALSE(fs::exists(salida_ / "instalador.txt"));
}

TEST_P(ActualizacionE2E, OtroProgramaActualizaLaBase) {
    Publicar("1.0.70", "x", std::nullopt);
    clsStgComunes comunes;
    // As a 32-bit program of the family writes it: WOW6432Node in the 64-bit view.
    platform::HClave h = 0;
    ASSERT_EQ(platform::IRegistro::Actual().CrearClave(platform::HKEY_LOCAL_MACHINE_,
                                                    EsWindows() ? "SOFTWARE\\WOW6432Node\\Olvado Systems\\Olvado"
                                                                : "SOFTWARE\\Olvado Systems\\Olvado",
                                                    0x3F | platform::KEY_WOW64_64KEY_, h), 0);
    platform::ClaveRegistro cerrar(h);
    ASSERT_EQ(platform::IRegistro::Actual().EstablecerValor(h, "ActualizadorSQLPendiente", 1,
                                                          std::string(" Olvado 1.0.70 ", 16)), 0);
    auto t = Ejecutar();
    comunes.Registro_SetValor("", "ActualizadorSQLPendiente", std::string(), 0);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Se detecto una actualizacion de base de datos pendiente, cerrar programa");
    EXPECT_TRUE(Tiene(t, "Objetos Listos"));
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
    // Blank text is no pending update.
    comunes.Registro_SetValor("", "ActualizadorSQLPendiente", std::string("   "), 0);
    t = Ejecutar();
    comunes.Registro_SetValor("", "ActualizadorSQLPendiente", std::string(), 0);
    EXPECT_TRUE(Tiene(t, "Objetos Abiertos")) << ::testing::PrintToString(t);
}

TEST_P(ActualizacionE2E, BaseEnMedioDeUnaActualizacion) {
    Publicar("1.0.70", "x", std::nullopt);
    Variable("DBINTERM", "");
    auto t = Ejecutar();
    ASSERT_FALSE(t.empty());
    EXPECT_FALSE(Tiene(t, "Objetos Listos"));
    EXPECT_EQ(t.back(), "Instanciando SQL");
}

// With a display: the up-to-date run maps no GUI library, the database in
// the middle of an update says so in a window, and of two stored connections
// the one chosen in the list by keyboard is the one updated from.
TEST_P(ActualizacionE2E, VentanasConPantalla) {
    if (prueba::RolHijo() == "instalador")
        RegistrarComoInstalador();
    if (EsWindows())
        GTEST_SKIP() << "the Windows build's windows are driven from the native runner";
    ASSERT_TRUE(prueba::PantallaPrueba::Iniciar());
    using P = prueba::PantallaPrueba;
    Publicar("1.0.66", "x", std::nullopt);
    auto t = Ejecutar({"/usr/bin/env", "LD_DEBUG=libs"}, [] {});
    EXPECT_TRUE(Tiene(t, "Objetos Abiertos"));
    std::string cargas = prueba::LeerArchivo(salida_ / "stderr.txt");
    EXPECT_NE(cargas.find("calling init: /"), std::string::npos);
    for (const char* biblioteca : {"libolvado-gui", "libgtk", "libX11"})
        EXPECT_EQ(cargas.find(biblioteca), std::string::npos) << biblioteca;

    Variable("DBINTERM", "");
    t = Ejecutar({}, [] {
        std::string id = P::EsperarVentana("No se puede abrir Base de Datos");
        ASSERT_FALSE(id.empty());
        P::Capturar("mensaje-dbinterm");
        P::Teclas(id, {"Return"});
    });
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Instanciando SQL");
    Sql("DELETE FROM Valores");

    Sql("DELETE FROM BinariosAct");
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, HashCifrado(instalador));
    almacen_.Escribir({{"1", "Sin servidor", "Provider=SQLite;Data Source=/nonexistent/olvado.db", "", "1"},
                       {"2", "Oficina central", GetParam().cadena, GetParam().catalogo, "1"}});
    t = Ejecutar({}, [] {
        std::string id = P::EsperarVentana("Seleccionar Base de Datos");
        ASSERT_FALSE(id.empty());
        P::Teclas(id, {"Down"});
        P::Capturar("seleccionar-base-de-datos");
        P::Teclas(id, {"Return"});
    });
    EXPECT_EQ(Registro(), RegistroEsperado("/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-")) << ::testing::PrintToString(t);
}

// The interactive mode through the update library, in the sample program of
// the family: the question, the close-applications dialog while a family
// window is open (Continuar does not get past it; the timer closes it once
// the window goes), then the verified package started with its switches and
// the pending mark left for the next start.
TEST_P(ActualizacionE2E, ProgramaDeLaFamiliaSeActualizaPorLaBiblioteca) {
    if (prueba::RolHijo() == "instalador")
        RegistrarComoInstalador();
    if (EsWindows())
        GTEST_SKIP() << "the Windows build's sample is driven from the native runner";
    ASSERT_TRUE(prueba::PantallaPrueba::Iniciar());
    using P = prueba::PantallaPrueba;
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, HashCifrado(instalador));
    ASSERT_FALSE(P::AbrirVentanaAjena("ThunderRT6FormDC", "Olvado - Ventas").empty());
    programa_ = OLVADO_EJEMPLO_BIN;
    Ejecutar({}, [] {
        std::string id = P::EsperarVentana("Actualización de Olvado");
        ASSERT_FALSE(id.empty());
        P::Capturar("pregunta-actualizacion");
        P::Teclas(id, {"Return"});
        id = P::EsperarVentana("Actualización de Productos");
        ASSERT_FALSE(id.empty());
        // Continuar while the window is open: the dialog stays with its warning.
        P::Teclas(id, {"Return"});
        EXPECT_FALSE(P::EsperarCierre("Actualización de Productos", 3));
        P::Capturar("cerrar-aplicaciones");
        P::CerrarVentanasAjenas();
        EXPECT_TRUE(P::EsperarCierre("Actualización de Productos", 5));
    });
    std::string registro = Registro();
    EXPECT_EQ(registro.substr(0, registro.find('\n')), "args=/SILENT /SUPPRESSMSGBOXES /NOCANCEL");
    Variante marca;
    clsStgComunes().Registro_GetValor("", "ActualizacionPendiente", marca, 1, int32_t{0});
    EXPECT_EQ(VarALong(marca), 1);
}

// The accounts of the run as another user: a non-administrator who runs the
// updater, and the administrator account stored in "EXU"/"EXC" (root only).
const char* const kNoAdmin = "olvupd_usuario";
const char* const kCuentaGuardada = "olvupd_admin";
const char* const kClaveGuardada = "Guardada-77";

bool Sistema(const std::string& orden) { return std::system((orden + " >/dev/null 2>&1").c_str()) == 0; }

class CuentaGuardadaE2E : public ActualizacionE2E {
protected:
    static void SetUpTestSuite() {
        if (!EsRootLinux())
            return;
        for (const char* u : {kNoAdmin, kCuentaGuardada}) {
            Sistema(std::string("userdel -r ") + u);
            Sistema(std::string("useradd -m -s /bin/sh ") + u);
        }
        Sistema(std::string("echo '") + kCuentaGuardada + ":" + kClaveGuardada + "' | chpasswd");
    }
    static void TearDownTestSuite() {
        if (!EsRootLinux())
            return;
        for (const char* u : {kNoAdmin, kCuentaGuardada})
            Sistema(std::string("userdel -r ") + u);
    }
    static bool EsRootLinux() {
        std::string bin = OLVADO_UPDATER_BIN;
        return bin.substr(bin.size() - 4) != ".exe" && Sistema("test \"$(id -u)\" -eq 0");
    }
    void SetUp() override {
        if (std::string(OLVADO_UPDATER_BIN).find(".exe") != std::string::npos)
            GTEST_SKIP() << "Wine: every process carries the Administrators group, and "
                            "CreateProcessWithLogonW is not implemented";
        if (!EsRootLinux())
            GTEST_SKIP() << "hacen falta privilegios de root para crear las cuentas de prueba";
        ActualizacionE2E::SetUp();
        // The non-administrator reaches the tree, writes its log and the package.
        std::string a = "'" + arbol_.Raiz().string() + "'";
        ASSERT_TRUE(Sistema("chmod 0755 " + a + " && find " + a + " -type d -exec chmod 0777 {} +"));
        ASSERT_TRUE(Sistema("chmod -R a+r " + a));
    }
    std::vector<std::string> ComoNoAdministrador() {
        return Ejecutar({"/usr/bin/setpriv", std::string("--reuid=") + kNoAdmin,
                         std::string("--regid=") + kNoAdmin, "--init-groups"});
    }
};

TEST_P(CuentaGuardadaE2E, ElPaqueteCorreComoLaCuentaGuardada) {
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, HashCifrado(instalador));
    Variable("EXU", clsEncriptor().Encrypt(std::string("OFICINA\\") + kCuentaGuardada));
    Variable("EXC", clsEncriptor().Encrypt(kClaveGuardada));
    auto t = ComoNoAdministrador();
    EXPECT_TRUE(Tiene(t, "Usuario: OFI, Contrasena: Gua")) << ::testing::PrintToString(t);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), "Ejecutar Archivo: " + paquete_ + ", /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-, " + carpetaDB_);
    EXPECT_EQ(Registro().rfind(std::string("args=/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-\nusuario=") +
                                   kCuentaGuardada + "\n", 0),
              0u)
        << Registro();
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(log_)).find(kClaveGuardada), std::string::npos);
    EXPECT_EQ(prueba::LeerArchivo(salida_ / "stderr.txt").find(kClaveGuardada), std::string::npos);
}

TEST_P(CuentaGuardadaE2E, UnaClaveEquivocadaDejaElTextoDelSistema) {
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, HashCifrado(instalador));
    Variable("EXU", clsEncriptor().Encrypt(kCuentaGuardada));
    Variable("EXC", clsEncriptor().Encrypt("equivocada"));
    auto t = ComoNoAdministrador();
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[t.size() - 2], "Ejecutar Archivo: " + paquete_ + ", /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-, " +
                                   carpetaDB_);
    // The system's text is one entry (its closing line end is the entry's own).
    std::string texto = TextoErrorAPI(1326);
    EXPECT_EQ(t.back(), texto.substr(0, texto.find("\r\n")));
    EXPECT_FALSE(fs::exists(salida_ / "instalador.txt"));
}

INSTANTIATE_TEST_SUITE_P(Motores, CuentaGuardadaE2E, ::testing::ValuesIn(Motores()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

INSTANTIATE_TEST_SUITE_P(Motores, ActualizacionE2E, ::testing::ValuesIn(Motores()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

} // namespace
} // namespace olvado
