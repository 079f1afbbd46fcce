#include "support/ActualizadorPrueba.h"

#include "common/FileTool.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "database/ado/Connection.h"
#include "database/ado/Recordset.h"
#include "platform/Consola.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "platform/TextoAnsi.h"
#include "support/DocumentosPrueba.h"
#include "support/EscritorPE.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace olvado::prueba {
namespace fs = std::filesystem;

bool ActualizadorWindows() {
    return std::string(OLVADO_UPDATER_BIN).ends_with(".exe");
}

std::vector<MotorPrueba> MotoresActualizacion() {
    std::vector<MotorPrueba> r;
    for (const auto& m : MotoresPrueba())
        if (m.nombre != "SqliteOdbc" || r.empty())
            r.push_back(m);
    if (r.size() > 2)
        r.erase(r.begin() + 1); // the native provider was there
    return r;
}

void EjecutarSql(const std::string& cadena, const std::string& sql) {
    ado::Connection c;
    c.Open(cadena);
    c.Execute(sql);
}

std::string Filas(const std::string& cadena, const std::string& sql) {
    ado::Connection c;
    c.Open(cadena);
    ado::Recordset rs;
    rs.Open(sql, c, ado::adOpenStatic, ado::adLockOptimistic);
    std::string filas;
    for (; !rs.Eof(); rs.MoveNext(), filas += "\n")
        for (int32_t i = 0; i < rs.FieldCount(); ++i)
            filas += (i ? "|" : "") + rs.Fields(i).Value().ATexto();
    return filas;
}

void CrearTablas(const MotorPrueba& motor, bool paquetes) {
    EjecutarSql(motor.cadena, "DROP TABLE IF EXISTS Valores");
    EjecutarSql(
        motor.cadena,
        "CREATE TABLE Valores (idVariable VARCHAR(50), Tipo INT, ValorTexto VARCHAR(255), ValorLargo INT)");
    if (!paquetes)
        return;
    EjecutarSql(motor.cadena, "DROP TABLE IF EXISTS BinariosAct");
    EjecutarSql(motor.cadena, "DROP TABLE IF EXISTS BinariosActTrozos"); // a publication's pieces come first
    EjecutarSql(motor.cadena,
                "CREATE TABLE BinariosAct (Producto VARCHAR(50), Major INT, Minor INT, Revision INT, "
                "MD5Hash VARCHAR(255), Binario " +
                    motor.Blob() + ")");
}

void PublicarPaquete(const std::string& cadena, const std::string& version, const std::string& bytes,
                     const std::optional<std::string>& digesto, const std::string& producto) {
    int m = 0, n = 0, r = 0;
    std::sscanf(version.c_str(), "%d.%d.%d", &m, &n, &r);
    ado::Connection c;
    c.Open(cadena);
    c.Execute("DELETE FROM BinariosAct");
    ado::Recordset rs;
    rs.Open("SELECT * FROM BinariosAct", c, ado::adOpenStatic, 3);
    rs.AddNew();
    rs.Fields("Producto").SetValue(ado::Valor(producto));
    rs.Fields("Major").SetValue(ado::Valor(m));
    rs.Fields("Minor").SetValue(ado::Valor(n));
    rs.Fields("Revision").SetValue(ado::Valor(r));
    rs.Fields("MD5Hash").SetValue(digesto ? ado::Valor(*digesto) : ado::Valor());
    rs.Fields("Binario").SetValue(ado::Valor(std::vector<uint8_t>(bytes.begin(), bytes.end())));
    rs.Update();
}

std::string Md5(const std::string& bytes) {
    clsMD5File md5;
    md5.MD5Init();
    md5.MD5Update(bytes);
    md5.MD5Final();
    return md5.GetValues();
}

std::string Md5Cifrado(const std::string& bytes) {
    return clsEncriptor().Encrypt(Md5(bytes));
}

void InstalarPrograma(const std::string& version) {
    fs::path carpeta = fs::u8path(FileTool().Ruta_RutaEspecial(0, 38)) / "Olvado";
    fs::create_directories(carpeta);
    EscribirArchivo(carpeta / "Olvado.exe", ArchivoPE(BloqueVersion(VersionCompleta(version))));
}

std::string CarpetaPaquete() {
    FileTool ft;
    return ft.Ruta_CalificarRuta(ft.Ruta_CalificarRuta(ft.Ruta_ArchivoDeDatos(0, true)) + "DB");
}

void QuitarInstalacion() {
    std::error_code ec;
    fs::remove_all(fs::u8path(FileTool().Ruta_RutaEspecial(0, 38)) / "Olvado", ec);
    fs::remove_all(fs::u8path(CarpetaPaquete()), ec);
}

std::string RutaLogActualizador() {
    FileTool ft;
    // On Linux the tree's own folder, also for a run as another account: a
    // root test's own lookup refuses a folder that account may write.
    const std::string carpeta =
        ActualizadorWindows() ? ft.Ruta_MisDocumentos() : platform::LeerVariableEntorno("HOME") + "/Documents";
    return ft.Ruta_CalificarRuta(carpeta) + "Olvado_UpdaterLog.txt";
}

std::vector<std::string> EjecutarActualizador(const ArbolPrueba& arbol, const CorridaActualizador& corrida) {
    const std::string log = RutaLogActualizador();
    std::error_code ec;
    fs::remove(fs::u8path(log), ec);
    std::vector<std::string> argv = corrida.antes;
    argv.push_back(corrida.programa);
    argv.insert(argv.end(), corrida.argumentos.begin(), corrida.argumentos.end());
    auto entorno = arbol.Entorno();
    entorno.insert(entorno.end(), corrida.entorno.begin(), corrida.entorno.end());
    platform::ProcesoHijo hijo;
    if (!corrida.errores.empty())
        hijo.RedirigirSalidas("", corrida.errores);
    EXPECT_TRUE(hijo.Iniciar(argv, entorno));
    if (corrida.mientras)
        corrida.mientras();
    EXPECT_EQ(hijo.Esperar(), corrida.codigo);
    return TextosDelLog(DesdeAnsi(LeerArchivo(fs::u8path(log))));
}

Variables EntornoInstalador(const std::string& salida) {
    const auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
    return {{"GTEST_FILTER", std::string(t->test_suite_name()) + "." + t->name()},
            {"OLVADO_TEST_ROL", "instalador"},
            {"OLVADO_TEST_SALIDA", salida}};
}

void ActuarComoInstalador() {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::string args;
    for (size_t i = 1; i < ::testing::internal::GetArgvs().size(); ++i)
        args += (i > 1 ? " " : "") + ::testing::internal::GetArgvs()[i];
    EscribirArchivo(fs::u8path(platform::LeerVariableEntorno("OLVADO_TEST_SALIDA")), "args=" + args + "\n");
    std::exit(0);
}

bool Tiene(const std::vector<std::string>& textos, const std::string& linea) {
    return std::find(textos.begin(), textos.end(), linea) != textos.end();
}

ResultadoAdmin EjecutarAdmin(const ArbolPrueba& arbol, const std::vector<std::string>& argumentos) {
#ifdef OLVADO_ADMIN_BIN
    std::vector<std::string> linea = {OLVADO_ADMIN_BIN};
#else
    std::vector<std::string> linea = {"olvado-admin"};
#endif
    linea.insert(linea.end(), argumentos.begin(), argumentos.end());
    const auto salida = arbol.Temporal() / "salida.txt", error = arbol.Temporal() / "error.txt";
    platform::ProcesoHijo hijo;
    hijo.RedirigirSalidas(salida.string(), error.string());
    EXPECT_TRUE(hijo.Iniciar(linea, arbol.Entorno()));
    // Console text as UTF-8 with "\n" line ends (the Windows build writes CR LF).
    const auto texto = [](const fs::path& ruta) {
        std::string s = platform::DesdeConsola(LeerArchivo(ruta));
        s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
        return s;
    };
    ResultadoAdmin r;
    r.codigo = hijo.Esperar();
    r.salida = texto(salida);
    r.error = texto(error);
    return r;
}

} // namespace olvado::prueba
