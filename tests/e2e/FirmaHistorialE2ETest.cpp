// Signed packages and the fleet's history, end to end: olvado-admin makes the
// keys, publishes and lists; the built updater runs on sandboxed
// workstations, each its own tree, and is read back from its run log.
#include "common/FileTool.h"
#include "base/Texto.h"
#include "common/clsStgComunes.h"
#include "database/ado/Connection.h"
#include "database/ado/Recordset.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "platform/TextoAnsi.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/EjecutarAdmin.h"
#include "support/EscritorPE.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace olvado {
namespace {

namespace fs = std::filesystem;
using prueba::ArbolPrueba;

bool EsWindows() { return std::string(OLVADO_UPDATER_BIN).find(".exe") != std::string::npos; }

std::vector<prueba::MotorPrueba> Motores() {
    // SQLite (native where the build has it, else through ODBC) and MariaDB.
    std::vector<prueba::MotorPrueba> m;
    for (const auto& x : prueba::MotoresPrueba())
        if (x.nombre == "SqliteNativo" || (x.nombre == "SqliteOdbc" && m.empty()) ||
            (x.nombre == "MariaDB" && !prueba::SocketMariaDB().empty()))
            m.push_back(x);
    return m;
}

class FirmaHistorialE2E : public ::testing::TestWithParam<prueba::MotorPrueba> {
protected:
    void SetUp() override {
        if (prueba::RolHijo() == "instalador") {
            // This program as the Windows build's package: it records that it ran.
            prueba::EscribirArchivo(fs::u8path(platform::LeerVariableEntorno("OLVADO_TEST_SALIDA")), "corrió");
            std::exit(0);
        }
        Sql("DROP TABLE IF EXISTS BinariosAct");
        Sql("DROP TABLE IF EXISTS HistorialAct");
        Sql("DROP TABLE IF EXISTS Valores");
        salida_ = arbol_.Raiz() / "salida.txt";
        paquete_ = arbol_.Raiz() / "paquete";
        prueba::EscribirArchivo(paquete_, EsWindows() ? prueba::LeerArchivo(fs::u8path(platform::RutaEjecutableActual()))
                                                      : "#!/bin/sh\necho corrió > '" + salida_.string() + "'\n");
        Almacen(arbol_, GetParam().cadena);
        Admin(arbol_, {"claves", "generar", "--privada", Ruta("privada"), "--publica", Ruta("publica")});
        Admin(arbol_, {"claves", "generar", "--privada", Ruta("otra"), "--publica", Ruta("otra.pub")});
    }
    void TearDown() override {
        if (!prueba::RolHijo().empty())
            return;
        Sql("DROP TABLE IF EXISTS HistorialAct"); // the other tests run without one
        Sql("DROP TABLE IF EXISTS Valores");
        clsStgComunes().Registro_SetValor("", "ClavePublicaPaquetes", std::string(), 0);
        // Windows' folders are the system's, whatever the tree.
        FileTool ft;
        std::error_code ec;
        fs::remove_all(fs::u8path(ft.Ruta_RutaEspecial(0, 38)) / "Olvado", ec);
        fs::remove_all(fs::u8path(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)) + "DB"), ec);
    }
    void Sql(const std::string& sql) {
        ado::Connection c;
        c.Open(GetParam().cadena);
        c.Execute(sql);
    }
    std::string Ruta(const std::string& nombre) const { return (arbol_.Raiz() / nombre).string(); }
    std::string Admin(const ArbolPrueba& arbol, const std::vector<std::string>& argumentos) {
        prueba::ResultadoAdmin r = prueba::EjecutarAdmin(arbol, argumentos);
        EXPECT_EQ(r.codigo, 0) << argumentos[0] << ": " << r.error;
        return r.salida;
    }
    void Almacen(const ArbolPrueba& arbol, const std::string& cadena) {
        Admin(arbol, {"conexion", "agregar", "--nombre", "prueba", "--cadena", cadena, "--catalogo",
                      GetParam().catalogo, "--optimizar"});
    }
    void Publicar(std::vector<std::string> mas) {
        std::vector<std::string> a = {"publicar", paquete_.string(), "--version", "1.0.70", "--historial"};
        a.insert(a.end(), mas.begin(), mas.end());
        Admin(arbol_, a);
    }

    // One workstation in the current tree (arbol): its store, the product at
    // `version`, the package key (none when empty), one run of the updater.
    std::vector<std::string> Estacion(const ArbolPrueba& arbol, const std::string& version,
                                      const std::string& claveArchivo, const std::string& cadena = "") {
        FileTool ft;
        if (&arbol != &arbol_)
            Almacen(arbol, cadena.empty() ? GetParam().cadena : cadena);
        fs::path programa = fs::u8path(ft.Ruta_RutaEspecial(0, 38)) / "Olvado";
        fs::create_directories(programa);
        prueba::EscribirArchivo(programa / "Olvado.exe",
                                prueba::ArchivoPE(prueba::BloqueVersion(prueba::VersionCompleta(version))));
        fs::create_directories(fs::u8path(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)) + "DB"));
        std::string clave = claveArchivo.empty() ? "" : Trim(prueba::LeerArchivo(fs::u8path(Ruta(claveArchivo))));
        clsStgComunes().Registro_SetValor("", "ClavePublicaPaquetes", clave, 0);

        const std::string log = ft.Ruta_CalificarRuta(ft.Ruta_MisDocumentos()) + "Olvado_UpdaterLog.txt";
        std::error_code ec;
        fs::remove(fs::u8path(log), ec);
        fs::remove(salida_, ec);
        auto entorno = arbol.Entorno();
        const auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
        entorno.emplace_back("GTEST_FILTER", std::string(t->test_suite_name()) + "." + t->name());
        entorno.emplace_back("OLVADO_TEST_ROL", "instalador");
        entorno.emplace_back("OLVADO_TEST_SALIDA", salida_.string());
        platform::ProcesoHijo hijo;
        EXPECT_TRUE(hijo.Iniciar({OLVADO_UPDATER_BIN}, entorno));
        EXPECT_EQ(hijo.Esperar(), 0);
        return prueba::TextosDelLog(DesdeAnsi(prueba::LeerArchivo(fs::u8path(log))));
    }
    bool Arranco() const { return fs::exists(salida_); }
    static std::string RutaPaquete() {
        FileTool ft;
        return ft.Ruta_CalificarRuta(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)) + "DB") + "Olvado_Act.exe";
    }
    static bool Tiene(const std::vector<std::string>& t, const std::string& linea) {
        return std::find(t.begin(), t.end(), linea) != t.end();
    }

    ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_; // removes the store the tool writes
    fs::path salida_, paquete_;
};

TEST_P(FirmaHistorialE2E, SoloArrancaElPaqueteFirmadoConLaClave) {
    if (!EsWindows()) { // the private key: its owner alone reads it
        EXPECT_EQ(fs::status(Ruta("privada")).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_NE(prueba::EjecutarAdmin(arbol_, {"claves", "generar", "--privada", Ruta("privada"), "--publica",
                                             Ruta("nueva")}).codigo, 0); // never overwritten

    Publicar({"--firmar", Ruta("privada")});
    auto t = Estacion(arbol_, "1.0.66", "publica");
    EXPECT_TRUE(Arranco()) << ::testing::PrintToString(t);
    EXPECT_FALSE(Tiene(t, "Firma del paquete no válida"));

    // Unsigned, then signed with another key: refused and deleted.
    for (const std::vector<std::string>& firma : {std::vector<std::string>{}, {"--firmar", Ruta("otra")}}) {
        Publicar(firma);
        t = Estacion(arbol_, "1.0.66", "publica");
        EXPECT_FALSE(Arranco());
        EXPECT_FALSE(fs::exists(fs::u8path(RutaPaquete())));
        EXPECT_EQ(std::count(t.begin(), t.end(), "Firma del paquete no válida"), 1) << ::testing::PrintToString(t);
    }
    // Without the key, the unsigned road as before.
    Publicar({});
    t = Estacion(arbol_, "1.0.66", "");
    EXPECT_TRUE(Arranco()) << ::testing::PrintToString(t);
}

TEST_P(FirmaHistorialE2E, HistorialDeTresEstaciones) {
    if (EsWindows())
        GTEST_SKIP() << "the workstation's name is the system's own: one machine is one workstation";
    Publicar({"--firmar", Ruta("privada")});
    const std::vector<std::tuple<std::string, std::string, std::string>> estaciones = {
        {"caja-1", "1.0.70", "publica"}, {"caja-2", "1.0.66", "publica"}, {"oficina", "1.0.66", "otra.pub"}};
    for (const auto& [nombre, version, clave] : estaciones) {
        ArbolPrueba arbol;
        fs::create_directories(arbol.Raiz() / "etc");
        prueba::EscribirArchivo(arbol.Raiz() / "etc/hostname", nombre + "\n");
        Estacion(arbol, version, clave);
    }
    std::string h = Admin(arbol_, {"historial"});
    for (const char* fila : {"caja-1\t", "1.0.70\tal dia\t", "caja-2\t", "1.0.66\tinstalando\t", "oficina\t",
                             "1.0.66\tfirma no valida\t", "\n1.0.66\t2\n1.0.70\t1\n"})
        EXPECT_NE(h.find(fila), std::string::npos) << fila << " en:\n" << h;
    // --desde leaves out older runs.
    EXPECT_EQ(Admin(arbol_, {"historial", "--desde", "2999-01-01"}), "Estación\tUsuario\tVersión\tResultado\tFecha\n"
                                                                     "\nVersión\tEstaciones\n");
}

// A user who may read but not insert: the run and its log are those of one
// that may, and no row is added.
TEST_P(FirmaHistorialE2E, SinDerechoAInsertarNadaCambia) {
    if (GetParam().nombre != "MariaDB")
        GTEST_SKIP() << "only the server has accounts";
    Publicar({});
    Sql("DROP USER IF EXISTS 'olvado_lector'@'localhost'");
    Sql("CREATE USER 'olvado_lector'@'localhost' IDENTIFIED BY 'lector'");
    Sql("GRANT SELECT ON " + GetParam().catalogo + ".* TO 'olvado_lector'@'localhost'");
    std::string lector = GetParam().cadena;
    lector.replace(lector.find("User=root;Password=;"), 20, "User=olvado_lector;Password=lector;");
    auto cuenta = [&] {
        ado::Connection c;
        c.Open(GetParam().cadena);
        ado::Recordset rs;
        rs.Open("SELECT COUNT(*) FROM HistorialAct", c);
        return rs.Fields(0).Value().AEntero();
    };
    std::vector<std::string> esperado, t;
    { // one tree at a time: the newest is the process's own
        ArbolPrueba conDerecho;
        esperado = Estacion(conDerecho, "1.0.70", "");
    }
    const int64_t filas = cuenta();
    EXPECT_EQ(filas, 1);
    if (EsWindows()) // one store for the machine: the reader's entry must be its only one
        fs::remove(fs::u8path(almacen_.Ruta()));
    {
        ArbolPrueba sinDerecho;
        t = Estacion(sinDerecho, "1.0.70", "", lector);
    }
    Sql("DROP USER 'olvado_lector'@'localhost'");
    EXPECT_EQ(t, esperado);
    EXPECT_EQ(cuenta(), filas);
}

INSTANTIATE_TEST_SUITE_P(Motores, FirmaHistorialE2E, ::testing::ValuesIn(Motores()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

} // namespace
} // namespace olvado
