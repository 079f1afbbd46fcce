// The built updater's whole road against a database of each engine, read
// back from its run log: no program, up to date, installed newer, the
// database refused, a newer package written, verified and started (with the
// database closed), signed packages and the fleet's history, and the runs
// that must not go on.
#include "base/Texto.h"
#include "common/cRegistry.h"
#include "common/clsEncriptor.h"
#include "common/clsStgComunes.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "platform/Registro.h"
#include "process/Lanzamiento.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/PantallaPrueba.h"
#include "support/RegistroPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace olvado {
namespace {

namespace fs = std::filesystem;
using prueba::ActualizadorWindows;
using prueba::Tiene;

class ActualizacionE2E : public ::testing::TestWithParam<prueba::MotorPrueba> {
  protected:
    void SetUp() override {
        if (prueba::RolHijo() == "instalador")
            prueba::ActuarComoInstalador();
        log_ = prueba::RutaLogActualizador();
        prueba::CrearTablas(GetParam());
        almacen_.Escribir({{"1", "prueba", GetParam().cadena, GetParam().catalogo, "1"}});
        carpetaDB_ = prueba::CarpetaPaquete();
        fs::create_directories(fs::u8path(carpetaDB_));
        paquete_ = carpetaDB_ + "Olvado_Act.exe";
        salida_ = arbol_.Raiz() / "salida";
        fs::create_directories(salida_);
        fs::permissions(salida_, fs::perms::all);
        prueba::InstalarPrograma("1.0.66");
    }
    void TearDown() override {
        std::error_code ec;
        if (log_.empty())
            return; // skipped before its tree was set
        fs::remove(fs::u8path(log_), ec);
        prueba::QuitarInstalacion();
        // The engines' databases are shared with the other runners (and the
        // other build): no "DBINTERM" or stored account stays behind.
        Sql("DELETE FROM Valores");
    }

    void Sql(const std::string& sql) { prueba::EjecutarSql(GetParam().cadena, sql); }
    void Variable(const std::string& id, const std::string& texto) {
        Sql("INSERT INTO Valores VALUES ('" + id + "', 1, '" + texto + "', 0)");
    }
    void Publicar(const std::string& version, const std::string& bytes, std::optional<std::string> hash) {
        prueba::PublicarPaquete(GetParam().cadena, version, bytes, hash);
    }
    // An installer that waits a moment, then records its arguments, its
    // account and how many processes still hold the database. The Windows
    // build's is this test program itself in the role "instalador" (the
    // updater hands its environment on), recording its arguments.
    std::string Instalador() const {
        if (ActualizadorWindows())
            return prueba::LeerArchivo(fs::u8path(platform::RutaEjecutableActual()));
        std::string abiertas;
        if (GetParam().dialecto == 2)
            abiertas = "$(mariadb -S '" + prueba::SocketMariaDB() +
                       "' -u root -N -e \"SELECT COUNT(*) FROM "
                       "information_schema.PROCESSLIST WHERE DB='" +
                       GetParam().catalogo + "'\")";
        else
            abiertas = "$(ls -l /proc/[0-9]*/fd 2>/dev/null | grep -c -- '" +
                       GetParam().cadena.substr(GetParam().cadena.rfind('=') + 1) + "')"; // the SQLite file
        return "#!/bin/sh\nsleep 1\n{ echo \"args=$*\"; echo \"usuario=$(id -un)\"; echo \"abiertas=" +
               abiertas + "\"; } > '" + (salida_ / "instalador.txt").string() + "'\n";
    }
    // What the installer of this build records on a start by root.
    static std::string RegistroEsperado() {
        const std::string args = "args=/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-\n";
        return ActualizadorWindows() ? args : args + "usuario=root\nabiertas=0\n";
    }
    std::string Registro() const { return prueba::LeerArchivo(salida_ / "instalador.txt"); }
    // The Windows sample program under Wine, newer than its database, waits on that notice.
    void AbrirEjemploDeWindows(platform::ProcesoHijo& hijo) {
        const fs::path raiz = OLVADO_SOURCE_DIR; // with the Windows build beside (scripts/build win)
        std::string prefijo = platform::LeerVariableEntorno("WINEPREFIX");
        if (prefijo.empty())
            prefijo = (raiz / "build/win/wineprefix").string();
        const std::string cadena = "Driver=SQLite3;Database=" OLVADO_BINARY_DIR "/pruebas-db/wine-familia.db";
        prueba::CrearTablas({"", cadena, "", "", "", 3});
        prueba::PublicarPaquete(cadena, "0.0.1", "x", std::nullopt);
        prueba::AlmacenPrueba almacen(prefijo + "/drive_c/ProgramData/Olvado Systems/Olvado/Conexiones.dat");
        almacen.Escribir({{"1", "Familia", cadena, "", "1"}});
        ASSERT_TRUE(hijo.Iniciar(
            {(raiz / "scripts/lib/wine-run").string(), (raiz / "build/win/OlvadoEjemplo.exe").string()},
            {prueba::PantallaPrueba::Entorno(), {"WINEPREFIX", prefijo}}));
        ASSERT_FALSE(prueba::PantallaPrueba::EsperarVentana("Actualizaciones de Olvado", 60).empty());
    }
    std::string Lanzado() const {
        return "Ejecutar Archivo: " + paquete_ + ", /SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-, " + carpetaDB_;
    }

    // Runs the updater; the log's entry texts, in order. With enPantalla the
    // updater gets the test display and enPantalla runs while it does.
    std::vector<std::string> Ejecutar(const std::vector<std::string>& antes = {},
                                      const std::function<void()>& enPantalla = {}) {
        prueba::CorridaActualizador c{antes, programa_,
                                      prueba::EntornoInstalador((salida_ / "instalador.txt").string()),
                                      (salida_ / "stderr.txt").string(), enPantalla, {}, 0};
        if (enPantalla)
            c.entorno.push_back(prueba::PantallaPrueba::Entorno());
        return prueba::EjecutarActualizador(arbol_, c);
    }

    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    std::string programa_ = OLVADO_UPDATER_BIN;
    std::string log_, carpetaDB_, paquete_;
    fs::path salida_;
};

// The road's first steps, and where each ending leaves it.
TEST_P(ActualizacionE2E, SinProgramaAlDiaMasRecienteOBaseRechazada) {
    prueba::QuitarInstalacion();
    std::vector<std::string> esperado = {
        "Iniciando OlvadoUpdater", "Log Preparado",           "Mutex Creado",
        "Instanciando Comunes",    "Instanciando DB",         "Instanciando SQL",
        "Objetos Listos",          "Usuario: , Contrasena: ", "Objetos Abiertos"};
    EXPECT_EQ(Ejecutar(), esperado);

    prueba::InstalarPrograma("1.0.66");
    Publicar("1.0.66", "x", std::nullopt);
    // A mark left by an update that started: the up-to-date run clears it.
    clsStgComunes comunes;
    ASSERT_TRUE(comunes.Registro_SetValor("", "ActualizacionPendiente", int32_t{1}, 1));
    esperado.insert(esperado.end(),
                    {"Version Olvado Actual: 1.0.66", "ActualizarVersionDistribucion: Verdadero"});
    EXPECT_EQ(Ejecutar(), esperado);
    Variante marca;
    ASSERT_TRUE(comunes.Registro_GetValor("", "ActualizacionPendiente", marca, 1, int32_t{5}));
    EXPECT_EQ(std::get<int32_t>(marca), 0);

    prueba::InstalarPrograma("2.0.0");
    Publicar("1.9.99", "x", std::nullopt);
    esperado.resize(9);
    esperado.push_back("Version Olvado Actual: 2.0.0");
    EXPECT_EQ(Ejecutar(), esperado);

    // A database in the middle of an update does not open: the run ends there.
    Variable("DBINTERM", "");
    esperado.resize(6);
    EXPECT_EQ(Ejecutar(), esperado);
}

// BinariosAct as a recursive view without end: the run's one deadline for
// its whole database conversation (shortened here: the environment may only
// shorten it) ends the run, whatever the command time-out and however many
// statements follow; nothing starts.
TEST_P(ActualizacionE2E, UnaVistaSinFinTerminaEnElPlazoDeLaCorrida) {
    if (GetParam().nombre != "SqliteNativo")
        GTEST_SKIP() << "the native provider's progress handler is what interrupts a statement";
    prueba::InstalarPrograma("1.0.66");
    Sql("DROP TABLE BinariosAct");
    Sql("CREATE VIEW BinariosAct AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT "
        "'Olvado' AS Producto, n AS Major, 0 AS Minor, 0 AS Revision, '' AS MD5Hash, NULL AS Binario FROM r "
        "WHERE n < 0");
    prueba::CorridaActualizador c;
    c.programa = programa_;
    c.entorno = prueba::EntornoInstalador((salida_ / "instalador.txt").string());
    c.entorno.push_back({"OLVADO_PLAZO_BASE_DATOS", "3"});
    const auto inicio = std::chrono::steady_clock::now();
    const auto t = prueba::EjecutarActualizador(arbol_, c);
    const auto duracion = std::chrono::steady_clock::now() - inicio;
    Sql("DROP VIEW BinariosAct");
    Sql("CREATE TABLE BinariosAct (Producto VARCHAR(50), Major INT, Minor INT, Revision INT, MD5Hash VARCHAR(255), "
        "Binario BLOB)");
    EXPECT_LT(duracion, std::chrono::seconds(40)) << ::testing::PrintToString(t);
    EXPECT_FALSE(fs::exists(salida_ / "instalador.txt"));
    EXPECT_TRUE(Tiene(t, "Ejecutar Archivo: , , ")) << ::testing::PrintToString(t);
}

TEST_P(ActualizacionE2E, PaqueteNuevoVerificadoYEjecutadoConLaBaseCerrada) {
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, prueba::Md5Cifrado(instalador));
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
    // The package written ran, and had finished when the updater ended.
    EXPECT_EQ(Registro(), RegistroEsperado()) << ::testing::PrintToString(t);
    EXPECT_TRUE(Tiene(t, "Usuario: adm, Contrasena: Sec")) << ::testing::PrintToString(t);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), Lanzado());
    auto cerrar = std::find(t.begin(), t.end(), "Cerrar Objetos");
    EXPECT_EQ(cerrar + 2, t.end());
    // The password shows nowhere beyond its first three characters.
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(log_)).find("Secreto"), std::string::npos);
    EXPECT_EQ(prueba::LeerArchivo(salida_ / "stderr.txt").find("Secreto"), std::string::npos);
}

TEST_P(ActualizacionE2E, OtroProgramaActualizaLaBase) {
    Publicar("1.0.70", "x", std::nullopt);
    clsStgComunes comunes;
    // As a 32-bit program of the family writes it: WOW6432Node in the 64-bit view.
    auto& registro = platform::IRegistro::Actual();
    const std::string ruta =
        std::string("SOFTWARE\\") + (ActualizadorWindows() ? "WOW6432Node\\" : "") + "Olvado Systems\\Olvado";
    platform::HClave h = 0;
    ASSERT_EQ(registro.CrearClave(platform::HKEY_LOCAL_MACHINE_, ruta, 0x3F | platform::KEY_WOW64_64KEY_, h),
              0);
    platform::ClaveRegistro cerrar(h);
    ASSERT_EQ(registro.EstablecerValor(h, "ActualizadorSQLPendiente", 1, std::string(" Olvado 1.0.70 ", 16)),
              0);
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

// With a display: the up-to-date run maps no GUI library, the database in
// the middle of an update says so in a window, and of two stored connections
// the one chosen in the list by keyboard is the one updated from. Then the
// interactive mode through the update library, in the sample program of the
// family: a refused database offers nothing; the question, the
// close-applications dialog while a family program that Wine hosts is open
// (the Windows sample program; Continuar does not get past it; the timer
// closes it once that program ends), the verified package started with its
// switches and the pending mark left for the next start.
TEST_P(ActualizacionE2E, VentanasConPantalla) {
    if (ActualizadorWindows())
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
    Ejecutar({}, [] {
        std::string id = P::EsperarVentana("No se puede abrir Base de Datos");
        ASSERT_FALSE(id.empty());
        P::Capturar("mensaje-dbinterm");
        P::Teclas(id, {"Return"});
    });
    Sql("DELETE FROM Valores");

    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, prueba::Md5Cifrado(instalador));
    almacen_.Escribir({{"1", "Sin servidor", "Provider=SQLite;Data Source=/nonexistent/olvado.db", "", "1"},
                       {"2", "Oficina central", GetParam().cadena, GetParam().catalogo, "1"}});
    t = Ejecutar({}, [] {
        std::string id = P::EsperarVentana("Seleccionar Base de Datos");
        ASSERT_FALSE(id.empty());
        P::Teclas(id, {"Down"});
        P::Capturar("seleccionar-base-de-datos");
        P::Teclas(id, {"Return"});
    });
    EXPECT_EQ(Registro(), RegistroEsperado()) << ::testing::PrintToString(t);

    almacen_.Escribir({{"1", "prueba", GetParam().cadena, GetParam().catalogo, "1"}});
    fs::remove(salida_ / "instalador.txt");
    platform::ProcesoHijo familia;
    ASSERT_NO_FATAL_FAILURE(AbrirEjemploDeWindows(familia));
    programa_ = OLVADO_EJEMPLO_BIN;
    // A refused database: the box, and no update offered.
    Variable("DBINTERM", "");
    Ejecutar({}, [] {
        P::Teclas(P::EsperarVentana("No se puede abrir Base de Datos"), {"Return"});
        const std::string pregunta = P::EsperarVentana("Actualización de Olvado", 3);
        EXPECT_TRUE(pregunta.empty());
        if (!pregunta.empty())
            P::Teclas(pregunta, {"Escape"});
    });
    Sql("DELETE FROM Valores");
    Ejecutar({}, [&familia] {
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
        familia.Terminar();
        EXPECT_TRUE(P::EsperarCierre("Actualización de Productos", 5));
    });
    std::string registro = Registro();
    EXPECT_EQ(registro.substr(0, registro.find('\n')), "args=/SILENT /SUPPRESSMSGBOXES /NOCANCEL");
    Variante marca;
    clsStgComunes().Registro_GetValor("", "ActualizacionPendiente", marca, 1, int32_t{0});
    EXPECT_EQ(VarALong(marca), 1);
}

// Signed packages and the fleet's history: olvado-admin makes the keys,
// publishes and lists; each workstation is a tree of its own.
class FirmaHistorialE2E : public ActualizacionE2E {
  protected:
    void SetUp() override {
        ActualizacionE2E::SetUp();
        Sql("DROP TABLE IF EXISTS BinariosAct"); // the tool creates them
        Sql("DROP TABLE IF EXISTS BinariosActTrozos");
        Sql("DROP TABLE IF EXISTS BinariosActDeltas");
        Sql("DROP TABLE IF EXISTS HistorialAct");
        prueba::EscribirArchivo(arbol_.Raiz() / "paquete", Instalador());
        Admin(arbol_, {"claves", "generar", "--privada", Ruta("privada"), "--publica", Ruta("publica")});
        Admin(arbol_, {"claves", "generar", "--privada", Ruta("otra"), "--publica", Ruta("otra.pub")});
    }
    void TearDown() override {
        Sql("DROP TABLE IF EXISTS HistorialAct"); // the other tests run without a history
        clsStgComunes().Registro_SetValor("", "ClavePublicaPaquetes", std::string(), 0);
        ActualizacionE2E::TearDown();
    }
    std::string Ruta(const std::string& nombre) const { return (arbol_.Raiz() / nombre).string(); }
    std::string Admin(const prueba::ArbolPrueba& arbol, const std::vector<std::string>& argumentos) {
        prueba::ResultadoAdmin r = prueba::EjecutarAdmin(arbol, argumentos);
        EXPECT_EQ(r.codigo, 0) << argumentos[0] << ": " << r.error;
        return r.salida;
    }
    void PublicarFirmado(std::vector<std::string> firma) {
        std::vector<std::string> a = {"publicar", Ruta("paquete"), "--version", "1.0.70", "--historial"};
        a.insert(a.end(), firma.begin(), firma.end());
        Admin(arbol_, a);
    }
    // One workstation in the tree `arbol` (its store written unless it is the
    // test's own): the product at `version`, the package key (none when
    // empty), the file left at the package's path (none unless given), one
    // run of the updater.
    std::vector<std::string> Estacion(const prueba::ArbolPrueba& arbol, const std::string& version,
                                      const std::string& claveArchivo, const std::string& cadena = "",
                                      const std::vector<std::string>& argumentos = {}, int codigo = 0,
                                      const std::optional<std::string>& dejado = std::nullopt) {
        if (&arbol != &arbol_)
            Admin(arbol, {"conexion", "agregar", "--nombre", "prueba", "--cadena",
                          cadena.empty() ? GetParam().cadena : cadena, "--catalogo", GetParam().catalogo});
        prueba::InstalarPrograma(version);
        fs::create_directories(fs::u8path(prueba::CarpetaPaquete()));
        std::error_code ec;
        fs::remove(fs::u8path(paquete_), ec);
        if (dejado)
            prueba::EscribirArchivo(fs::u8path(paquete_), *dejado);
        std::string clave =
            claveArchivo.empty() ? "" : Trim(prueba::LeerArchivo(fs::u8path(Ruta(claveArchivo))));
        clsStgComunes().Registro_SetValor("", "ClavePublicaPaquetes", clave, 0);
        fs::remove(salida_ / "instalador.txt", ec);
        prueba::CorridaActualizador corrida;
        corrida.argumentos = argumentos;
        corrida.codigo = codigo;
        corrida.entorno = prueba::EntornoInstalador((salida_ / "instalador.txt").string());
        return prueba::EjecutarActualizador(arbol, corrida);
    }
    bool Arranco() const { return fs::exists(salida_ / "instalador.txt"); }
};

TEST_P(FirmaHistorialE2E, SoloArrancaElPaqueteFirmadoConLaClave) {
    if (!ActualizadorWindows()) { // the private key: its owner alone reads it
        EXPECT_EQ(fs::status(Ruta("privada")).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        // One that the group may read is refused, as ssh refuses it.
        fs::permissions(Ruta("privada"), fs::perms::group_read, fs::perm_options::add);
        const auto r = prueba::EjecutarAdmin(
            arbol_, {"publicar", Ruta("paquete"), "--version", "1.0.70", "--firmar", Ruta("privada")});
        EXPECT_EQ(std::make_pair(r.codigo, r.error.find("otros pueden leer la clave")), std::make_pair(1, size_t{14}))
            << r.error;
        fs::permissions(Ruta("privada"), fs::perms::group_read, fs::perm_options::remove);
    }
    EXPECT_NE(prueba::EjecutarAdmin(
                  arbol_, {"claves", "generar", "--privada", Ruta("privada"), "--publica", Ruta("nueva")})
                  .codigo,
              0); // never overwritten

    PublicarFirmado({"--firmar", Ruta("privada")});
    auto t = Estacion(arbol_, "1.0.66", "publica");
    EXPECT_TRUE(Arranco()) << ::testing::PrintToString(t);
    EXPECT_FALSE(Tiene(t, "Firma del paquete no válida"));

    // Unsigned, then signed with another key: refused, the database closed
    // and nothing started.
    for (const std::vector<std::string>& firma : {std::vector<std::string>{}, {"--firmar", Ruta("otra")}}) {
        PublicarFirmado(firma);
        t = Estacion(arbol_, "1.0.66", "publica");
        EXPECT_FALSE(Arranco());
        EXPECT_EQ(std::count(t.begin(), t.end(), "Firma del paquete no válida"), 1)
            << ::testing::PrintToString(t);
        ASSERT_GE(t.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(t.end() - 2, t.end()),
                  (std::vector<std::string>{"Cerrar Objetos", "Ejecutar Archivo: , , "}));
    }
    // Without the key, the unsigned road as before.
    PublicarFirmado({});
    t = Estacion(arbol_, "1.0.66", "");
    EXPECT_TRUE(Arranco()) << ::testing::PrintToString(t);
}

// The night's run: the verified package left at its path, nothing started,
// "preparado" in the history; a package that fails its check is not left;
// up to date, nothing is written; an unknown option runs nothing at all.
TEST_P(FirmaHistorialE2E, PrepararDejaElPaqueteSinIniciarlo) {
    const std::vector<std::string> preparar = {"--preparar"};
    auto historial = [&] { return prueba::Filas(GetParam().cadena, "SELECT Resultado FROM HistorialAct"); };
    PublicarFirmado({"--firmar", Ruta("otra")});
    auto t = Estacion(arbol_, "1.0.66", "publica", "", preparar);
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
    EXPECT_EQ(historial(), "firma no valida\n");
    EXPECT_EQ(t.back(), "Cerrar Objetos") << ::testing::PrintToString(t);

    PublicarFirmado({"--firmar", Ruta("privada")});
    Sql("DELETE FROM HistorialAct");
    t = Estacion(arbol_, "1.0.66", "publica", "", preparar);
    EXPECT_FALSE(Arranco());
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(t.end() - 2, t.end()),
              (std::vector<std::string>{"Cerrar Objetos", "Paquete preparado, no se inicia: " + paquete_}));
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(paquete_)), prueba::LeerArchivo(arbol_.Raiz() / "paquete"));
    EXPECT_EQ(historial(), "preparado\n");

    fs::remove(fs::u8path(paquete_));
    t = Estacion(arbol_, "1.0.70", "publica", "", preparar);
    EXPECT_EQ(t.back(), "ActualizarVersionDistribucion: Verdadero");
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));

    t = Estacion(arbol_, "1.0.66", "publica", "", {"--prepara"}, 2);
    EXPECT_TRUE(t.empty()) << ::testing::PrintToString(t);
    EXPECT_FALSE(Arranco());
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
}

TEST_P(FirmaHistorialE2E, HistorialDeTresEstaciones) {
    if (ActualizadorWindows())
        GTEST_SKIP() << "the workstation's name is the system's own: one machine is one workstation";
    PublicarFirmado({"--firmar", Ruta("privada")});
    const std::vector<std::tuple<std::string, std::string, std::string>> estaciones = {
        {"caja\\1", "1.0.70", "publica"}, {"caja-2", "1.0.66", "publica"}, {"oficina,2", "1.0.66", "otra.pub"}};
    for (const auto& [nombre, version, clave] : estaciones) {
        prueba::ArbolPrueba arbol;
        fs::create_directories(arbol.Raiz() / "etc");
        prueba::EscribirArchivo(arbol.Raiz() / "etc/hostname", nombre + "\n");
        Estacion(arbol, version, clave);
    }
    std::string h = Admin(arbol_, {"historial"});
    // A name is stored as it is (a backslash is no escape on MariaDB).
    for (const char* fila : {"caja\\1\t", "1.0.70\tal dia\t", "caja-2\t", "1.0.66\tinstalando\t", "oficina,2\t",
                             "1.0.66\tfirma no valida\t", "\n1.0.66\t2\n1.0.70\t1\n"})
        EXPECT_NE(h.find(fila), std::string::npos) << fila << " en:\n" << h;
    // For scripts: the rows alone, a comma in a name quoted.
    h = Admin(arbol_, {"historial", "--formato", "csv"});
    EXPECT_EQ(h.rfind("Estacion,Usuario,Version,Resultado,Fecha,Anillo,Via,BytesLeidos\ncaja-2,", 0), 0u) << h;
    EXPECT_NE(h.find("\ncaja\\1,"), std::string::npos) << h;
    EXPECT_NE(h.find("\n\"oficina,2\","), std::string::npos) << h;
    EXPECT_EQ(std::count(h.begin(), h.end(), '\n'), 4) << h;
    // --desde leaves out older runs.
    EXPECT_EQ(Admin(arbol_, {"historial", "--desde", "2999-01-01"}),
              "Estación\tUsuario\tVersión\tResultado\tFecha\tAnillo\tVía\tBytes leídos\n"
              "\nVersión\tEstaciones\n");
}

// A user who may read but not insert: the run and its log are those of one
// that may, and no row is added.
TEST_P(FirmaHistorialE2E, SinDerechoAInsertarNadaCambia) {
    if (GetParam().nombre != "MariaDB")
        GTEST_SKIP() << "only the server has accounts";
    PublicarFirmado({});
    Sql("DROP USER IF EXISTS 'olvado_lector'@'localhost'");
    Sql("CREATE USER 'olvado_lector'@'localhost' IDENTIFIED BY 'lector'");
    Sql("GRANT SELECT ON " + GetParam().catalogo + ".* TO 'olvado_lector'@'localhost'");
    std::string lector = GetParam().cadena;
    lector.replace(lector.find("User=root;Password=;"), 20, "User=olvado_lector;Password=lector;");
    auto cuenta = [&] { return prueba::Filas(GetParam().cadena, "SELECT COUNT(*) FROM HistorialAct"); };
    std::vector<std::string> esperado, t;
    { // one tree at a time: the newest is the process's own
        prueba::ArbolPrueba conDerecho;
        esperado = Estacion(conDerecho, "1.0.70", "");
    }
    EXPECT_EQ(cuenta(), "1\n");
    if (ActualizadorWindows()) // one store for the machine: the reader's entry must be its only one
        fs::remove(fs::u8path(almacen_.Ruta()));
    {
        prueba::ArbolPrueba sinDerecho;
        t = Estacion(sinDerecho, "1.0.70", "", lector);
    }
    Sql("DROP USER 'olvado_lector'@'localhost'");
    EXPECT_EQ(t, esperado);
    EXPECT_EQ(cuenta(), "1\n");
}

// A reader without the right to read the pieces, and nothing in Binario: the
// run log and the history say why nothing was prepared, not "digesto distinto".
TEST_P(FirmaHistorialE2E, SinDerechoALosTrozosSeDiceAsi) {
    if (GetParam().nombre != "MariaDB")
        GTEST_SKIP() << "only the server has accounts";
    PublicarFirmado({});
    Sql("UPDATE BinariosAct SET Binario = NULL");
    Sql("DROP USER IF EXISTS 'olvado_sintrozos'@'localhost'");
    Sql("CREATE USER 'olvado_sintrozos'@'localhost' IDENTIFIED BY 'lector'");
    for (const char* tabla : {"BinariosAct", "Valores", "HistorialAct"})
        Sql(std::string("GRANT SELECT, INSERT ON ") + GetParam().catalogo + "." + tabla +
            " TO 'olvado_sintrozos'@'localhost'");
    std::string lector = GetParam().cadena;
    lector.replace(lector.find("User=root;Password=;"), 20, "User=olvado_sintrozos;Password=lector;");
    std::vector<std::string> t;
    if (ActualizadorWindows()) // one store for the machine: the reader's entry must be its only one
        fs::remove(fs::u8path(almacen_.Ruta()));
    {
        prueba::ArbolPrueba arbol;
        t = Estacion(arbol, "1.0.66", "", lector);
    }
    Sql("DROP USER 'olvado_sintrozos'@'localhost'");
    EXPECT_FALSE(Arranco());
    const std::string motivo = "Paquete no preparado: no se pudieron leer los trozos de BinariosActTrozos: ";
    EXPECT_EQ(std::count_if(t.begin(), t.end(), [&](const std::string& l) { return l.rfind(motivo, 0) == 0; }), 1)
        << ::testing::PrintToString(t);
    EXPECT_EQ(prueba::Filas(GetParam().cadena, "SELECT Resultado FROM HistorialAct"), "error\n");
}

// Compressed pieces: the run and its log those of raw pieces (whose database
// lacks the Compresion column); a stream whose last piece is cut short is
// refused with its reason, and no package is left.
TEST_P(FirmaHistorialE2E, TrozosComprimidosComoCrudos) {
    PublicarFirmado({"--firmar", Ruta("privada")});
    const auto crudos = Estacion(arbol_, "1.0.66", "publica");
    EXPECT_TRUE(Arranco());
    PublicarFirmado({"--firmar", Ruta("privada"), "--comprimir"});
    EXPECT_EQ(prueba::Filas(GetParam().cadena, "SELECT Compresion FROM BinariosAct"), "1\n");
    EXPECT_EQ(Estacion(arbol_, "1.0.66", "publica"), crudos);
    EXPECT_TRUE(Arranco());
    const std::string ultimo = prueba::Filas(GetParam().cadena, "SELECT MAX(Trozo) FROM BinariosActTrozos");
    Sql("UPDATE BinariosActTrozos SET Datos = SUBSTR(Datos, 1, LENGTH(Datos) / 2) WHERE Trozo = " + Trim(ultimo));
    // Binario, the raw package where the server's packet limit let it be
    // written, serves in the same run.
    if (prueba::Filas(GetParam().cadena, "SELECT COUNT(*) FROM BinariosAct WHERE LENGTH(Binario) > 0") == "1\n") {
        EXPECT_EQ(Estacion(arbol_, "1.0.66", "publica"), crudos);
        EXPECT_TRUE(Arranco());
        Sql("UPDATE BinariosAct SET Binario = NULL");
    }
    const auto t = Estacion(arbol_, "1.0.66", "publica");
    EXPECT_FALSE(Arranco());
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
    EXPECT_TRUE(Tiene(t, "Paquete no preparado: los trozos comprimidos no se pudieron leer: flujo zstd truncado"))
        << ::testing::PrintToString(t);
}

// The package the last run left (1.0.66's) is the base of the delta to
// 1.0.70: the run and its log those of the whole package, a tenth of its
// bytes pulled. A changed base, a
// tampered staged package, a damaged delta or one that rebuilds other bytes
// fall back to the whole package in the same run. With the whole package
// gone from the server, the delta alone, or the new package already staged,
// still serves.
TEST_P(FirmaHistorialE2E, DeltaYPaquetePreparado) {
    Sql("DROP TABLE IF EXISTS DeltaAjena");
    Sql("DROP TABLE IF EXISTS DeltaBuena");
    const std::string b = Instalador() + "\n#" + std::string(3000, 'b') + "\n";
    std::string a = b, otro = b, manipulado = b;
    a.replace(a.size() - 1500, 20, std::string(20, 'a'));
    otro[otro.size() - 10] = 'o';
    manipulado[manipulado.size() - 2] = 'm';
    std::string cambiado = a;
    cambiado[cambiado.size() - 2] = 'c';
    const auto publicar = [&](const std::string& bytes, const char* version) {
        prueba::EscribirArchivo(arbol_.Raiz() / "paquete", bytes);
        Admin(arbol_, {"publicar", Ruta("paquete"), "--version", version, "--firmar", Ruta("privada"), "--historial"});
    };
    publicar(a, "1.0.66");
    publicar(otro, "1.0.70");
    Sql("CREATE TABLE DeltaAjena AS SELECT * FROM BinariosActDeltas");
    publicar(b, "1.0.70");
    Sql("CREATE TABLE DeltaBuena AS SELECT * FROM BinariosActDeltas");
    const auto completo = Estacion(arbol_, "1.0.66", "publica");
    ASSERT_TRUE(Arranco());
    // via: how the history says the package came ("" for nothing started).
    const auto instala = [&](const std::string& dejado, const std::string& sql, const std::string& via) {
        if (!sql.empty())
            Sql(sql);
        Sql("DELETE FROM HistorialAct");
        const auto t = Estacion(arbol_, "1.0.66", "publica", "", {}, 0, dejado);
        EXPECT_EQ(Arranco(), !via.empty()) << sql;
        if (via.empty())
            return;
        EXPECT_EQ(t, completo) << sql;
        EXPECT_TRUE(prueba::LeerArchivo(fs::u8path(paquete_)) == b) << sql;
        const std::string fila = prueba::Filas(GetParam().cadena, "SELECT Via, BytesLeidos FROM HistorialAct");
        EXPECT_EQ(fila.substr(0, fila.find('|')), via) << sql;
        const int64_t leidos = std::stoll(fila.substr(fila.find('|') + 1)), paquete = std::ssize(b);
        if (via == "delta")
            EXPECT_LT(leidos * 10, paquete) << sql;
        else if (via == "preparado")
            EXPECT_EQ(leidos, 0);
        else
            EXPECT_GE(leidos, paquete) << sql;
    };
    instala(a, "", "delta");
    instala(cambiado, "", "completo");
    instala(manipulado, "", "completo");
    instala(a, "UPDATE BinariosActDeltas SET Datos = SUBSTR(Datos, 1, LENGTH(Datos) - 9)", "completo");
    instala(a, "DELETE FROM BinariosActDeltas", "completo");
    Sql("INSERT INTO BinariosActDeltas SELECT * FROM DeltaAjena");
    instala(a, "UPDATE BinariosActDeltas SET MD5Hash = (SELECT MD5Hash FROM BinariosAct)", "completo");
    Sql("DELETE FROM BinariosActDeltas");
    Sql("INSERT INTO BinariosActDeltas SELECT * FROM DeltaBuena");
    // Nothing but the delta and what the workstation has.
    Sql("UPDATE BinariosAct SET Binario = NULL");
    instala(a, "DELETE FROM BinariosActTrozos WHERE Revision = 70", "delta");
    instala(b, "", "preparado");
    instala(otro, "", "");
    EXPECT_FALSE(fs::exists(fs::u8path(paquete_)));
    // A history made before the road's columns still takes the run's row.
    Sql("DROP TABLE HistorialAct");
    Sql("CREATE TABLE HistorialAct (Estacion VARCHAR(255) NOT NULL, Usuario VARCHAR(255), Producto VARCHAR(50) "
        "NOT NULL, Major INTEGER, Minor INTEGER, Revision INTEGER, Resultado VARCHAR(50) NOT NULL, Fecha DATETIME "
        "NOT NULL)");
    Estacion(arbol_, "1.0.66", "publica", "", {}, 0, b);
    EXPECT_TRUE(Arranco());
    EXPECT_EQ(prueba::Filas(GetParam().cadena, "SELECT Resultado FROM HistorialAct"), "instalando\n");
    Sql("DROP TABLE DeltaAjena");
    Sql("DROP TABLE DeltaBuena");
}

// Pilot rings on a workstation: one whose key names the ring takes its
// ring's newer (signed) package, a plain one does not and runs as it ran
// before there were rings, log line for log line; a ring signed with another
// key is refused; after a promotion the plain one takes it, after a
// withdrawal the ring's one takes the general package again.
TEST_P(FirmaHistorialE2E, AnilloPilotoPromovidoYRetirado) {
    Sql("DROP TABLE IF EXISTS BinariosActAnillo");
    auto anillo = [](const std::string& nombre) {
        clsStgComunes().Registro_SetValor("", "Anillo", nombre, 0);
    };
    auto anillos = [&] {
        return prueba::Filas(GetParam().cadena, "SELECT Resultado, Anillo FROM HistorialAct ORDER BY Resultado, Anillo");
    };
    PublicarFirmado({"--firmar", Ruta("privada")});
    anillo("piloto");
    const auto sinAnillos = Estacion(arbol_, "1.0.70", "publica"); // no ring table yet: the general road
    EXPECT_FALSE(Arranco());
    anillo("");
    EXPECT_EQ(Estacion(arbol_, "1.0.70", "publica"), sinAnillos);
    auto publicar = [&](const char* version, const std::string& clave) {
        Admin(arbol_, {"publicar", Ruta("paquete"), "--version", version, "--anillo", "piloto", "--firmar", clave});
    };
    publicar("1.0.71", Ruta("privada"));
    EXPECT_EQ(Estacion(arbol_, "1.0.70", "publica"), sinAnillos);
    EXPECT_FALSE(Arranco());
    anillo("piloto");
    auto t = Estacion(arbol_, "1.0.70", "publica");
    EXPECT_TRUE(Arranco()) << ::testing::PrintToString(t);
    EXPECT_TRUE(Tiene(t, "Paquete del anillo piloto: 1.0.71"));
    Estacion(arbol_, "1.0.71", "publica"); // the ring's own version: up to date
    EXPECT_FALSE(Arranco());
    publicar("1.0.72", Ruta("otra"));
    t = Estacion(arbol_, "1.0.71", "publica");
    EXPECT_FALSE(Arranco());
    EXPECT_TRUE(Tiene(t, "Firma del paquete no válida")) << ::testing::PrintToString(t);
    // The ring's runs carry its name, the plain ones none.
    EXPECT_EQ(anillos(), "al dia|\nal dia|\nal dia|piloto\nal dia|piloto\nfirma no valida|piloto\ninstalando|piloto\n");
    Admin(arbol_, {"promover", "--anillo", "piloto", "--forzar"});
    anillo("");
    t = Estacion(arbol_, "1.0.71", "otra.pub"); // the general package now, with the ring's signature
    EXPECT_TRUE(Arranco()) << ::testing::PrintToString(t);
    publicar("1.0.73", Ruta("privada"));
    Admin(arbol_, {"retirar", "--anillo", "piloto"});
    anillo("piloto");
    t = Estacion(arbol_, "1.0.72", "otra.pub");
    EXPECT_FALSE(Arranco());
    EXPECT_FALSE(Tiene(t, "Paquete del anillo piloto: 1.0.73"));
    anillo("");
    Sql("DROP TABLE BinariosActAnillo");
}

bool Sistema(const std::string& orden) {
    return std::system((orden + " >/dev/null 2>&1").c_str()) == 0;
}

// A non-administrator runs the updater with an administrator account stored
// in "EXU"/"EXC": the package runs as that account (its domain left out);
// with a wrong password the system's text is the log's last entry and
// nothing starts. Real accounts: root on Linux only.
TEST_P(ActualizacionE2E, ElPaqueteCorreComoLaCuentaGuardada) {
    if (ActualizadorWindows())
        GTEST_SKIP() << "Wine: every process carries the Administrators group, and "
                        "CreateProcessWithLogonW is not implemented";
    if (!Sistema("test \"$(id -u)\" -eq 0"))
        GTEST_SKIP() << "hacen falta privilegios de root para crear las cuentas de prueba";
    const std::string usuario = "olvupd_usuario", cuenta = "olvupd_admin", clave = "Guardada-77";
    struct Cuentas {
        std::string nombres;
        ~Cuentas() { Sistema("for u in " + nombres + "; do userdel -r $u; done"); }
    } cuentas{usuario + " " + cuenta};
    ASSERT_TRUE(
        Sistema("for u in " + cuentas.nombres + "; do userdel -r $u; useradd -m -s /bin/sh $u; done"));
    ASSERT_TRUE(Sistema("echo '" + cuenta + ":" + clave + "' | chpasswd"));
    const std::vector<std::string> comoUsuario = {"/usr/bin/setpriv", "--reuid=" + usuario,
                                                  "--regid=" + usuario, "--init-groups"};
    auto alcanza = [&](const std::string& prueba) {
        std::string orden;
        for (const auto& a : comoUsuario)
            orden += a + " ";
        return Sistema(orden + "/usr/bin/test " + prueba);
    };
    // A checkout in a folder closed to others (root's home is 0700) hides the
    // program from the account: a copy in the tree runs instead.
    if (!alcanza("-x '" + programa_ + "'")) {
        fs::create_directories(arbol_.Raiz() / "bin");
        const fs::path copia = arbol_.Raiz() / "bin" / fs::path(programa_).filename();
        fs::copy_file(programa_, copia);
        programa_ = copia.string();
    }
    // The non-administrator reaches the tree, writes its log and the package.
    const std::string a = "'" + arbol_.Raiz().string() + "'";
    ASSERT_TRUE(
        Sistema("chmod 0755 " + a + " && find " + a + " -type d -exec chmod 0777 {} + && chmod -R a+r " + a));
    // The database's file or the server's socket must be where the account can
    // reach it (scripts/test puts both in folders of their own under /tmp).
    const std::string base = GetParam().dialecto == 2
                                 ? "-w '" + prueba::SocketMariaDB() + "'"
                                 : "-r '" + GetParam().cadena.substr(GetParam().cadena.rfind('=') + 1) + "'";
    if (!alcanza(base))
        GTEST_SKIP() << "la cuenta de prueba no alcanza la base de datos (" << base
                     << "): OLVADO_TEST_DB_DIR y el socket de MariaDB deben estar donde otras cuentas entran";
    const std::string instalador = Instalador();
    Publicar("1.0.70", instalador, prueba::Md5Cifrado(instalador));
    Variable("EXU", clsEncriptor().Encrypt("OFICINA\\" + cuenta));
    Variable("EXC", clsEncriptor().Encrypt(clave));
    auto t = Ejecutar(comoUsuario);
    ASSERT_FALSE(t.empty()) << ::testing::PrintToString(t);
    EXPECT_EQ(t.back(), Lanzado());
    EXPECT_EQ(Registro().rfind("args=/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-\nusuario=" + cuenta + "\n", 0),
              0u)
        << Registro();
    EXPECT_EQ(prueba::LeerArchivo(fs::u8path(log_)).find(clave), std::string::npos);
    EXPECT_EQ(prueba::LeerArchivo(salida_ / "stderr.txt").find(clave), std::string::npos);

    fs::remove(salida_ / "instalador.txt");
    Sql("DELETE FROM Valores");
    Variable("EXU", clsEncriptor().Encrypt(cuenta));
    Variable("EXC", clsEncriptor().Encrypt("equivocada"));
    t = Ejecutar(comoUsuario);
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[t.size() - 2], Lanzado());
    // The system's text is one entry (its closing line end is the entry's own).
    std::string texto = TextoErrorAPI(1326);
    EXPECT_EQ(t.back(), texto.substr(0, texto.find("\r\n")));
    EXPECT_FALSE(fs::exists(salida_ / "instalador.txt"));
}

INSTANTIATE_TEST_SUITE_P(Motores, FirmaHistorialE2E, ::testing::ValuesIn(prueba::MotoresActualizacion()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

INSTANTIATE_TEST_SUITE_P(Motores, ActualizacionE2E, ::testing::ValuesIn(prueba::MotoresActualizacion()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

} // namespace
} // namespace olvado
