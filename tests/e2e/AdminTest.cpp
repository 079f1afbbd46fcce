// The built olvado-admin, run as a separate program: the commands that need
// no database, every refusal that comes before one is opened, and the store
// and database commands against the native SQLite provider and the private
// MariaDB, each result read back through the data layer as the updater reads it.
#include "BuildInfo.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "database/ConfigConexion.h"
#include "database/ado/Connection.h"
#include "database/ado/Recordset.h"
#include "database/clsDB.h"
#include "platform/ArchivoNativo.h"
#include "platform/XmlDocument.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/EscritorPE.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>
#include <tuple>

using namespace olvado;
using namespace olvado::prueba;

namespace {

bool Contiene(const std::string& texto, const std::string& parte) {
    return texto.find(parte) != std::string::npos;
}

std::string BytesAleatorios(size_t n, uint32_t semilla) {
    std::mt19937 g(semilla);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(g());
    return s;
}

std::string Descifrar(std::string cifrado) {
    bool exito = false;
    return clsEncriptor().Decrypt(cifrado, exito);
}

std::vector<MotorPrueba> Motores() {
    std::vector<MotorPrueba> m;
    for (const MotorPrueba& x : MotoresPrueba())
        if (x.nombre == "SqliteNativo" || (x.nombre == "MariaDB" && !SocketMariaDB().empty()))
            m.push_back(x);
    return m;
}

class AdminBaseTest : public ::testing::TestWithParam<MotorPrueba> {
  protected:
    void SetUp() override {
        // The tool creates the tables it writes: start without them.
        EjecutarSql(GetParam().cadena, "DROP TABLE IF EXISTS BinariosAct");
        EjecutarSql(GetParam().cadena, "DROP TABLE IF EXISTS BinariosActTrozos");
        EjecutarSql(GetParam().cadena, "DROP TABLE IF EXISTS Valores");
        Admin({"conexion", "agregar", "--nombre", "prueba", "--cadena", GetParam().cadena, "--catalogo",
               GetParam().catalogo});
    }
    void TearDown() override { QuitarInstalacion(); }
    ResultadoAdmin Admin(const std::vector<std::string>& argumentos) {
        ResultadoAdmin r = EjecutarAdmin(arbol_, argumentos);
        EXPECT_EQ(r.codigo, 0) << argumentos[0] << ": " << r.error;
        return r;
    }
    std::string Filas(const std::string& sql) { return prueba::Filas(GetParam().cadena, sql); }
    // The product's row is the file's: its plain digest, its bytes in order in
    // the pieces and in Binario (empty only where the server's packets are
    // smaller than the package).
    void FilaEsElArchivo(const std::filesystem::path& archivo) {
        ado::Connection c;
        c.Open(GetParam().cadena);
        ado::Recordset rs, t;
        rs.Open("SELECT Binario, MD5Hash, Major, Minor, Revision FROM BinariosAct WHERE Producto = 'Olvado'",
                c);
        ASSERT_FALSE(rs.Eof());
        const std::string esperado = LeerArchivo(archivo);
        const ado::Valor binario = rs.Fields("Binario").Value();
        EXPECT_TRUE(binario.EsNulo() ? esperado.size() > (16u << 20) : binario.ATexto() == esperado);
        EXPECT_EQ(Descifrar(rs.Fields("MD5Hash").Value().ATexto()),
                  clsMD5File().DigestFileToHexStr(archivo.string()));
        std::string trozos;
        t.Open("SELECT Datos FROM BinariosActTrozos WHERE Producto = 'Olvado' AND Major = " +
                   rs.Fields("Major").Value().ATexto() +
                   " AND Minor = " + rs.Fields("Minor").Value().ATexto() +
                   " AND Revision = " + rs.Fields("Revision").Value().ATexto() + " ORDER BY Trozo",
               c);
        for (; !t.Eof(); t.MoveNext())
            trozos += t.Fields("Datos").Value().ATexto();
        EXPECT_TRUE(trozos == esperado);
    }

    ArbolPrueba arbol_;
    AlmacenPrueba almacen_; // removes the store the tool writes
};

TEST_P(AdminBaseTest, PublicarYReemplazar) {
    // Over 16 MiB, so the progress line shows, and over the packets of a
    // server with MariaDB's stock settings: there only the pieces.
    const size_t tamano = 17 * 1024 * 1024 + 3;
    const bool soloTrozos =
        GetParam().nombre == "MariaDB" && std::stoll(Filas("SELECT @@max_allowed_packet")) < (18 << 20);
    const auto paquete = arbol_.Temporal() / "paquete.exe", pe = arbol_.Temporal() / "Olvado.exe";
    EscribirArchivo(paquete, BytesAleatorios(tamano, 7));
    ResultadoAdmin r = Admin({"publicar", paquete.string(), "--version", "1.0.70"});
    EXPECT_TRUE(Contiene(r.error, "tabla BinariosAct creada")) << r.error;
    EXPECT_TRUE(Contiene(r.error, "publicando 17 MiB")) << r.error;
    EXPECT_EQ(Contiene(r.error, "el paquete se guarda solo en trozos"), soloTrozos) << r.error;
    EXPECT_TRUE(Contiene(Admin({"estado"}).salida, soloTrozos ? "Forma del paquete: solo 18 trozos en BinariosActTrozos "
                                                                "(Binario vacío)"
                                                              : "Forma del paquete: 18 trozos en BinariosActTrozos y "
                                                                "en Binario"));
    const std::string fila = "SELECT Producto, Major, Minor, Revision FROM BinariosAct ORDER BY Producto";
    EXPECT_EQ(Filas(fila), "Olvado|1|0|70\n");
    FilaEsElArchivo(paquete);

    // A PE file without --version: its own version resource, and the row replaced.
    EscribirArchivo(pe, ArchivoPE(BloqueVersion(VersionCompleta("1.00.0071"))));
    r = Admin({"publicar", pe.string()});
    EXPECT_FALSE(Contiene(r.error, "publicando")) << r.error;
    EXPECT_EQ(Filas(fila), "Olvado|1|0|71\n");
    FilaEsElArchivo(pe);
    EXPECT_TRUE(Contiene(Admin({"estado"}).salida, "Forma que leerá la próxima ejecución: los trozos: son del "
                                                   "digesto publicado en la fila\n"));
    // The family's own tools replace Binario and MD5Hash alone: the pieces left are another package's.
    EjecutarSql(GetParam().cadena, "UPDATE BinariosAct SET Binario = X'4D5A', MD5Hash = '" +
                                       clsEncriptor().Encrypt(clsMD5File().DigestStrToHexStr("MZ")) + "'");
    EXPECT_TRUE(Contiene(Admin({"estado"}).salida, "Forma que leerá la próxima ejecución: Binario: los 1 trozos de "
                                                   "BinariosActTrozos son de otro digesto"));
    // Another product's row sits beside it.
    Admin({"publicar", pe.string(), "--producto", "Otro", "--version", "3.2.1"});
    EXPECT_EQ(Filas(fila), "Olvado|1|0|71\nOtro|3|2|1\n");
}

// The file rewritten all through its publication: the digest stored is the
// digest of the bytes stored.
TEST_P(AdminBaseTest, ArchivoReescritoMientrasSePublica) {
    const auto paquete = arbol_.Temporal() / "paquete.exe";
    const std::string a = BytesAleatorios(8 << 20, 1), b = BytesAleatorios(8 << 20, 2);
    EscribirArchivo(paquete, a);
    std::atomic<bool> fin{false};
    std::thread reescritor([&] {
        // In place, as a copy over it would; refused while Windows holds it.
        // A writer that never lets go is refused outright there: this one
        // pauses between copies, as a copying program would between files.
        // The pause is over twice the publisher's 100 ms between tries, so
        // one try always falls in it (a shorter one could keep in step with
        // the tries and miss them all); a publication still spans several.
        // Its handle is not inherited: the C run-time's would be, by the tool
        // started meanwhile, which could then never hold the file.
        for (int i = 0; !fin; ++i) {
            {
                platform::ArchivoNativo f;
                if (f.Abrir(paquete.string(), platform::ArchivoNativo::Modo::LeerEscribir))
                    f.Escribir(i % 2 ? a : b);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    });
    Admin({"publicar", paquete.string(), "--version", "1.0.70"});
    fin = true;
    reescritor.join();
    ado::Connection c;
    c.Open(GetParam().cadena);
    ado::Recordset rs;
    rs.Open("SELECT Binario, MD5Hash FROM BinariosAct", c);
    EXPECT_EQ(Md5(rs.Fields("Binario").Value().ATexto()), Descifrar(rs.Fields("MD5Hash").Value().ATexto()));
}

// A family table without Firma, with a column and an index of its own: on
// SQLite --firmar puts Firma before Binario, and keeps the rest.
TEST_P(AdminBaseTest, FirmaEnUnaTablaDeLaFamilia) {
    const bool sqlite = GetParam().nombre != "MariaDB";
    EjecutarSql(GetParam().cadena,
                "CREATE TABLE BinariosAct (Producto VARCHAR(50) NOT NULL PRIMARY KEY, Major "
                "INTEGER NOT NULL, Minor INTEGER NOT NULL, Revision INTEGER NOT NULL, MD5Hash "
                "VARCHAR(255), Binario " +
                    GetParam().Blob() + ", Notas VARCHAR(20) NOT NULL DEFAULT 'nada')");
    EjecutarSql(GetParam().cadena, "CREATE INDEX PorNotas ON BinariosAct (Notas)");
    EjecutarSql(GetParam().cadena,
                "INSERT INTO BinariosAct (Producto, Major, Minor, Revision, Binario, Notas) "
                "VALUES ('Otro', 3, 2, 1, 'abc', 'suya')");
    const auto privada = (arbol_.Temporal() / "privada").string(), paquete = privada + ".exe";
    Admin({"claves", "generar", "--privada", privada, "--publica", privada + ".pub"});
    EscribirArchivo(paquete, BytesAleatorios(100000, 3));
    const ResultadoAdmin r = Admin({"publicar", paquete, "--version", "1.0.70", "--firmar", privada});
    EXPECT_TRUE(Contiene(r.error, "columna BinariosAct.Firma creada")) << r.error;
    EXPECT_EQ(Filas("SELECT Producto, Notas, Revision, LENGTH(Firma) FROM BinariosAct ORDER BY Producto"),
              "Olvado|nada|70|128\nOtro|suya|1|\n");
    FilaEsElArchivo(paquete);
    if (sqlite) {
        EXPECT_EQ(Filas("SELECT name FROM pragma_table_info('BinariosAct')"),
                  "Producto\nMajor\nMinor\nRevision\nMD5Hash\nNotas\nFirma\nBinario\n");
        EXPECT_EQ(Filas("SELECT name FROM sqlite_master WHERE type = 'index' AND name = 'PorNotas'"),
                  "PorNotas\n");
    }
    EjecutarSql(GetParam().cadena, "DROP TABLE BinariosAct");
}

TEST_P(AdminBaseTest, VariableCifradaYEstado) {
    Admin({"variable", "EXU", "--texto", "administrador", "--cifrar"});
    Admin({"variable", "EXC", "--texto", "Contraseña", "--cifrar", "--tipo", "2", "--largo", "-5"});
    Admin({"variable", "PLANO", "--texto", "visible"});
    {
        clsDB db;
        ASSERT_TRUE(db.AbrirDB());
        const std::tuple<const char*, int32_t, std::string, int32_t, bool> variables[] = {
            {"EXU", 0, "administrador", 0, true},
            {"EXC", 2, "Contraseña", -5, true},
            {"PLANO", 0, "visible", 0, false}};
        for (const auto& [id, tipo, texto, largo, cifrada] : variables) {
            int32_t t = -1, l = -1;
            std::string guardado;
            ASSERT_TRUE(db.Get_Variable(id, t, guardado, l)) << id;
            EXPECT_EQ(std::tie(t, l), std::tie(tipo, largo)) << id;
            EXPECT_EQ(cifrada ? Descifrar(guardado) : guardado, texto) << id;
        }
    }

    // estado: nothing installed, nothing published, then each comparison.
    ResultadoAdmin r = Admin({"estado"});
    EXPECT_TRUE(Contiene(r.salida, "Versión publicada: sin tabla BinariosAct\n")) << r.salida;
    EXPECT_TRUE(Contiene(r.salida, "Versión instalada: no se pudo leer")) << r.salida;
    const auto pe = arbol_.Temporal() / "Olvado.exe";
    EscribirArchivo(pe, ArchivoPE(BloqueVersion(VersionCompleta("1.00.0070"))));
    Admin({"publicar", pe.string()});
    // The package's folder comes with the family's installation (on Windows
    // it is the prefix's own, shared with other tests: it goes at the end).
    QuitarInstalacion();
    InstalarPrograma("1.00.0066");
    r = Admin({"estado"});
    EXPECT_TRUE(
        Contiene(r.salida, "Próxima ejecución: no podrá escribir el paquete 1.0.70: falta la carpeta "))
        << r.salida;
    std::filesystem::create_directories(std::filesystem::u8path(CarpetaPaquete()));
    const std::pair<const char*, const char*> casos[] = {
        {"1.00.0066",
         "Próxima ejecución: instalará el paquete 1.0.70 (/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-)\n"},
        {"1.00.0070", "Próxima ejecución: nada que instalar: al día\n"},
        {"2.0.0",
         "Próxima ejecución: nada que instalar: la versión instalada es más reciente que la publicada\n"},
    };
    for (const auto& [instalada, esperado] : casos) {
        InstalarPrograma(instalada);
        r = Admin({"estado"});
        EXPECT_TRUE(Contiene(r.salida, "Producto: Olvado\nVersión publicada: 1.0.70\n")) << r.salida;
        EXPECT_TRUE(Contiene(r.salida, esperado)) << instalada << "\n" << r.salida;
    }
}

// The history at office scale and as a terminal or a spreadsheet gets it:
// the index made with the table and added to an old one, each workstation's
// last run (one row, ties to the highest version, another product's rows
// apart), names that would forge a row or run as a formula.
TEST_P(AdminBaseTest, HistorialIndiceUltimaEjecucionYNombresHostiles) {
    const std::string indice =
        GetParam().nombre == "MariaDB"
            ? "SELECT COUNT(DISTINCT INDEX_NAME) FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE() "
              "AND TABLE_NAME = 'HistorialAct' AND INDEX_NAME = 'HistorialActEstacion'"
            : "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = 'HistorialActEstacion'";
    EjecutarSql(GetParam().cadena, "DROP TABLE IF EXISTS HistorialAct");
    EscribirArchivo(arbol_.Temporal() / "paquete", "x");
    ResultadoAdmin r = Admin({"publicar", (arbol_.Temporal() / "paquete").string(), "--version", "1.0.70", "--historial"});
    EXPECT_TRUE(Contiene(r.error, "índice HistorialActEstacion de HistorialAct creado")) << r.error;
    EXPECT_EQ(Filas(indice), "1\n");

    EjecutarSql(GetParam().cadena, "DROP TABLE HistorialAct");
    EjecutarSql(GetParam().cadena, "CREATE TABLE HistorialAct (Estacion VARCHAR(255) NOT NULL, Usuario VARCHAR(255), "
                                   "Producto VARCHAR(50) NOT NULL, Major INTEGER, Minor INTEGER, Revision INTEGER, "
                                   "Resultado VARCHAR(50) NOT NULL, Fecha DATETIME NOT NULL)");
    const char* filas[] = {"'a', 'u', 'Olvado', 1, 0, 66, 'al dia', '2024-01-01 08:00:00'",
                           "'a', 'u', 'Olvado', 1, 0, 70, 'instalando', '2024-01-02 08:00:00'",
                           "'a', 'u', 'Otro', 9, 0, 0, 'al dia', '2024-02-01 08:00:00'",
                           "'b', 'u', 'Olvado', 1, 0, 66, 'firma no valida', '2024-01-03 08:00:00'",
                           "'c', 'u', 'Olvado', 1, 0, 60, 'al dia', '2024-01-01 10:00:00'",
                           "'c', 'u', 'Olvado', 1, 0, 68, 'instalando', '2024-01-04 10:00:00'",
                           "'c', 'u', 'Olvado', 1, 0, 70, 'al dia', '2024-01-04 10:00:00'",
                           "'c', 'u', 'Olvado', 1, 0, 69, 'al dia', '2024-01-04 10:00:00'",
                           "'x\x1b]0;t\x07\r\nb\t9.9.9', 'u', 'Olvado', 1, 0, 70, 'al dia', '2024-01-05 08:00:00'",
                           "'y\xc2\x9d" "2J\x7f', 'u', 'Olvado', 1, 0, 70, 'al dia', '2024-01-05 08:00:00'",
                           "'=1+2', '+u', 'Olvado', 1, 0, 70, '-r', '2024-01-05 08:00:00'",
                           "'@d', '\tu', 'Olvado', 1, 0, 70, 'al dia', '2024-01-05 08:00:00'"};
    for (const char* f : filas)
        EjecutarSql(GetParam().cadena, std::string("INSERT INTO HistorialAct VALUES (") + f + ")");
    r = Admin({"historial"});
    EXPECT_TRUE(Contiene(r.error, "índice HistorialActEstacion de HistorialAct creado")) << r.error;
    EXPECT_EQ(Filas(indice), "1\n");
    EXPECT_EQ(Admin({"historial"}).error, ""); // made once
    // Row per workstation; a control character shows escaped, never raw.
    // A history made before the later columns shows them empty.
    for (const char* fila : {"\na\tu\t1.0.70\tinstalando\t2024-01-02 08:00:00\t\t\t\n",
                             "\nb\tu\t1.0.66\tfirma no valida\t2024-01-03 08:00:00\t\t\t\n",
                             "\nc\tu\t1.0.70\tal dia\t2024-01-04 10:00:00\t\t\t\n",
                             "\nx\\x1b]0;t\\x07\\r\\nb\\t9.9.9\tu\t1.0.70\t", "\ny\\u009d2J\\x7f\tu\t",
                             "\n@d\t\\tu\t", "\nVersión\tEstaciones\n1.0.66\t1\n1.0.70\t6\n"})
        EXPECT_TRUE(Contiene(r.salida, fila)) << fila << " en:\n" << r.salida;
    EXPECT_EQ(std::count(r.salida.begin(), r.salida.end(), '\n'), 1 + 7 + 4) << r.salida;
    EXPECT_EQ(r.salida.find_first_of("\x1b\x07\r\x7f"), std::string::npos);
    // CSV: a cell that a spreadsheet would run is quoted text.
    r = Admin({"historial", "--formato", "csv"});
    for (const char* fila : {"\n\"'=1+2\",\"'+u\",1.0.70,\"'-r\",2024-01-05 08:00:00,,,\n", "\n\"'@d\",\"'\tu\",1.0.70,al dia,"})
        EXPECT_TRUE(Contiene(r.salida, fila)) << fila << " en:\n" << r.salida;
    // The report reads the same last runs.
    const std::string pagina = (arbol_.Temporal() / "informe.html").string();
    EXPECT_EQ(Admin({"informe", "--salida", pagina}).salida, "Informe de 7 estaciones escrito en " + pagina + "\n");
    EXPECT_TRUE(Contiene(LeerArchivo(pagina), "<tr><td>c</td><td>u</td><td>1.0.70</td>"));
    EjecutarSql(GetParam().cadena, "DROP TABLE HistorialAct");
}

// A pilot ring from publication to promotion: a signed ring row beside the
// general one, estado's count, a promotion refused on the ring's failures
// (an unknown result is none) and forced, its pieces re-keyed, not copied;
// then a withdrawal.
TEST_P(AdminBaseTest, AnilloPublicarPromoverYRetirar) {
    for (const char* t : {"HistorialAct", "BinariosActAnillo"})
        EjecutarSql(GetParam().cadena, std::string("DROP TABLE IF EXISTS ") + t);
    const auto privada = (arbol_.Temporal() / "privada").string(), general = privada + ".exe",
               piloto = privada + "-piloto.exe";
    Admin({"claves", "generar", "--privada", privada, "--publica", privada + ".pub"});
    EscribirArchivo(general, BytesAleatorios(100000, 4));
    EscribirArchivo(piloto, BytesAleatorios((1 << 20) + 5, 5));
    Admin({"publicar", general, "--version", "1.0.70"});
    ResultadoAdmin r = Admin({"publicar", piloto, "--version", "1.0.71", "--anillo", "piloto", "--firmar", privada,
                              "--historial"});
    EXPECT_TRUE(Contiene(r.salida, "Publicado Olvado 1.0.71 en el anillo piloto")) << r.salida;
    EXPECT_TRUE(Contiene(r.error, "columna HistorialAct.Anillo creada")) << r.error;
    const std::string trozos = "SELECT Producto, COUNT(*) FROM BinariosActTrozos GROUP BY Producto ORDER BY Producto";
    EXPECT_EQ(Filas(trozos), "Olvado|1\nOlvado@piloto|2\n");
    EXPECT_EQ(Filas("SELECT Anillo, Revision, LENGTH(Firma) FROM BinariosActAnillo"), "piloto|71|128\n");
    EXPECT_EQ(EjecutarAdmin(arbol_, {"publicar", general, "--anillo", "a@b"}).codigo, 1);

    const char* filas[] = {"'a', 'u', 'Olvado', 1, 0, 71, 'al dia', '2024-01-05 08:00:00', 'piloto'",
                           "'b', 'u', 'Olvado', 1, 0, 70, 'firma no valida', '2024-01-05 08:00:00', 'piloto'",
                           "'c', 'u', 'Olvado', 1, 0, 70, 'otra cosa', '2024-01-05 08:00:00', 'piloto'",
                           "'d', 'u', 'Olvado', 1, 0, 70, 'digesto distinto', '2024-01-05 08:00:00', NULL"};
    r = EjecutarAdmin(arbol_, {"promover", "--anillo", "piloto"});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(Contiene(r.error, "estaciones del anillo piloto que ejecutaron 1.0.71: 0 (mínimo 1)")) << r.error;
    for (const char* f : filas)
        EjecutarSql(GetParam().cadena, std::string("INSERT INTO HistorialAct (Estacion, Usuario, Producto, Major, "
                                                   "Minor, Revision, Resultado, Fecha, Anillo) VALUES (") + f + ")");
    EXPECT_TRUE(Contiene(Admin({"estado"}).salida,
                         "Anillo piloto: 1.0.71 (firmado), 1 de 3 estaciones la tienen, 1 fallaron (b)\n"));
    r = EjecutarAdmin(arbol_, {"promover", "--anillo", "piloto", "--umbral", "49"});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(Contiene(r.error, "1 de 2 estaciones del anillo piloto fallaron con 1.0.71 (50 %, umbral 49 %): b"))
        << r.error;
    EXPECT_EQ(Filas("SELECT Revision FROM BinariosAct"), "70\n");
    r = Admin({"promover", "--anillo", "piloto", "--umbral", "50%", "--minimo", "2"});
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(Filas("SELECT Producto, Revision, LENGTH(Firma) FROM BinariosAct"), "Olvado|71|128\n");
    EXPECT_EQ(Filas("SELECT COUNT(*) FROM BinariosActAnillo"), "0\n");
    EXPECT_EQ(Filas(trozos), "Olvado|2\n");
    FilaEsElArchivo(piloto);

    Admin({"publicar", general, "--version", "1.0.72", "--anillo", "piloto"});
    r = EjecutarAdmin(arbol_, {"promover", "--anillo", "piloto", "--minimo", "3"});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(Contiene(Admin({"promover", "--anillo", "piloto", "--minimo", "3", "--forzar"}).error,
                         "se promueve con --forzar: estaciones del anillo piloto que ejecutaron 1.0.72: 1 (mínimo "
                         "3)"));
    EXPECT_EQ(Filas("SELECT Revision, Firma FROM BinariosAct"), "72|\n");
    Admin({"publicar", piloto, "--version", "1.0.73", "--anillo", "piloto"});
    EXPECT_EQ(Admin({"retirar", "--anillo", "piloto"}).salida, "Retirado el paquete 1.0.73 del anillo piloto\n");
    EXPECT_EQ(Filas("SELECT COUNT(*) FROM BinariosActAnillo"), "0\n");
    EXPECT_EQ(Filas(trozos), "Olvado|1\n");
    EXPECT_EQ(EjecutarAdmin(arbol_, {"retirar", "--anillo", "piloto"}).codigo, 1);
    for (const char* t : {"HistorialAct", "BinariosActAnillo"})
        EjecutarSql(GetParam().cadena, std::string("DROP TABLE ") + t);
}

INSTANTIATE_TEST_SUITE_P(Motores, AdminBaseTest, ::testing::ValuesIn(Motores()),
                         [](const auto& info) { return NombreMotor(info.param); });

TEST(AdminAlmacenTest, CincoEntradasYNingunaMas) {
    ArbolPrueba arbol;
    AlmacenPrueba almacen;
    const auto nombre = [](int i) { return "Base \"" + std::to_string(i) + "\" & co"; };
    const auto cadena = [](int i) { return "Provider=SQLite;Data Source=b" + std::to_string(i) + ".db"; };
    for (int i = 1; i <= 5; ++i) {
        std::vector<std::string> orden = {"conexion", "agregar",  "--nombre",
                                          nombre(i),  "--cadena", cadena(i)};
        if (i % 2 == 0)
            orden.insert(orden.end(), {"--catalogo", "cat" + std::to_string(i), "--optimizar"});
        const ResultadoAdmin r = EjecutarAdmin(arbol, orden);
        ASSERT_EQ(r.codigo, 0) << r.error;
        EXPECT_EQ(r.salida, "Conexión " + std::to_string(i) + " agregada a " + almacen.Ruta() + "\n");
    }
    const std::string antes = LeerArchivo(std::filesystem::u8path(almacen.Ruta()));
    const ResultadoAdmin sexta =
        EjecutarAdmin(arbol, {"conexion", "agregar", "--nombre", "seis", "--cadena", cadena(6)});
    EXPECT_EQ(sexta.codigo, 1);
    EXPECT_TRUE(Contiene(sexta.error, "ya tiene 5 conexiones")) << sexta.error;
    EXPECT_EQ(LeerArchivo(std::filesystem::u8path(almacen.Ruta())), antes);

    // Read back as the store reads it.
    platform::XmlDocument documento;
    ASSERT_TRUE(documento.Load(almacen.Ruta()));
    ConfigConexion store;
    for (int32_t i = 1; i <= 5; ++i) {
        ASSERT_TRUE(store.CargarConexion(documento, i)) << i;
        const DatosConexion& d = store.Conexiones()[static_cast<size_t>(i)];
        EXPECT_EQ(std::tie(d.Nombre, d.CadenaConexion), std::make_tuple(nombre(i), cadena(i)));
        EXPECT_EQ(d.Catalogo, i % 2 == 0 ? "cat" + std::to_string(i) : "");
        EXPECT_EQ(d.OptimizarConexionRemota, i % 2 == 0);
        EXPECT_TRUE(d.Valida);
    }
    EXPECT_FALSE(store.CargarConexion(documento, 6));
}

TEST(AdminTest, CifrarDescifrarYMd5) {
    ArbolPrueba arbol;
    const std::string texto = "Contraseña del administrador";
    const ResultadoAdmin cifrado = EjecutarAdmin(arbol, {"cifrar", texto});
    ASSERT_EQ(cifrado.codigo, 0) << cifrado.error;
    ASSERT_TRUE(cifrado.salida.ends_with('\n')) << cifrado.salida;
    std::string c = cifrado.salida.substr(0, cifrado.salida.size() - 1);
    const ResultadoAdmin descifrado = EjecutarAdmin(arbol, {"descifrar", c});
    EXPECT_EQ(Descifrar(c), texto); // "" when it is no cipher text
    EXPECT_EQ(descifrado.codigo, 0) << descifrado.error;
    EXPECT_EQ(descifrado.salida, texto + "\n");

    EscribirArchivo(arbol.Temporal() / "abc.bin", "abc");
    const ResultadoAdmin md5 = EjecutarAdmin(arbol, {"md5", (arbol.Temporal() / "abc.bin").string()});
    EXPECT_EQ(md5.codigo, 0) << md5.error;
    EXPECT_EQ(md5.salida, "900150983CD24FB0D6963F7D28E17F72\n");
}

TEST(AdminTest, AyudaVersionesYRecursoDeUnEjecutable) {
    ArbolPrueba arbol;
    ResultadoAdmin r = EjecutarAdmin(arbol, {"--help"});
    EXPECT_EQ(r.codigo, 0);
    for (const char* parte :
         {"cifrar TEXTO", "descifrar CIFRADO", "md5 ARCHIVO", "version ARCHIVO", "Olvado Systems"})
        EXPECT_NE(r.salida.find(parte), std::string::npos) << parte;
    // The packages carry the build's version; the tool reports the same one.
    r = EjecutarAdmin(arbol, {"--version"});
    EXPECT_EQ(r.codigo, 0);
    EXPECT_EQ(r.salida, "olvado-admin " + std::to_string(build::VersionMajor) + "." +
                            std::to_string(build::VersionMinor) + "." +
                            std::to_string(build::VersionRevision) + "\n");

    DatosVersionPE datos = VersionCompleta("1.00.0066");
    datos.tablas[0].valores[0].second = "Compañía";
    EscribirArchivo(arbol.Temporal() / "olvado.exe", ArchivoPE(BloqueVersion(datos)));
    r = EjecutarAdmin(arbol, {"version", (arbol.Temporal() / "olvado.exe").string()});
    EXPECT_EQ(r.codigo, 0) << r.error;
    std::string esperada; // each string of the resource, in its order, then the version
    for (const auto& [clave, valor] : datos.tablas[0].valores)
        esperada += clave + "=" + valor + "\n";
    EXPECT_EQ(r.salida, esperada + "Version=1.0.66\n");
}

// Refused with 1 and the reason, or with 2 and the usage for wrong use;
// nothing on standard output. All of it comes before the store is read (there
// is none), so a refused command writes nothing.
TEST(AdminTest, RechazosAntesDeAbrirLaBase) {
    ArbolPrueba arbol;
    AlmacenPrueba almacen; // where the store would be: there is none
    const auto t = arbol.Temporal();
    DatosVersionPE sinCopyright = VersionCompleta("1.00.0066"); // its answer 2
    sinCopyright.tablas[0].valores.erase(sinCopyright.tablas[0].valores.begin() + 4);
    EscribirArchivo(t / "sin.exe", ArchivoPE(BloqueVersion(sinCopyright)));
    EscribirArchivo(t / "dos.exe", ArchivoPE(BloqueVersion(VersionCompleta("3.1"))));
    EscribirArchivo(t / "Olvado.exe", ArchivoPE(BloqueVersion(VersionCompleta("1.00.0070"))));
    EscribirArchivo(t / "sin-version.bin", "MZ sin recurso");
    const std::string pe = (t / "Olvado.exe").string();
    const std::string sinAlmacen = "no hay almacén de conexiones en " + almacen.Ruta();
    struct Caso {
        std::vector<std::string> argumentos;
        int32_t codigo;
        std::string error; // a part of it ("": any text)
    };
    const Caso casos[] = {
        {{"descifrar", "ZZ"}, 1, "no es un cifrado"},
        {{"descifrar", ""}, 1, "no es un cifrado"},
        {{"md5", (t / "falta.bin").string()}, 1, "falta.bin"},
        {{"version", (t / "sin.exe").string()}, 1, ""},
        {{"version", (t / "dos.exe").string()}, 1, ""},
        {{"publicar", (t / "falta.exe").string()}, 1, "no existe el archivo"},
        {{"publicar", pe, "--version", "1.x.3"}, 1, "versión no válida"},
        {{"publicar", pe, "--version", "1.0"}, 1, "versión no válida"},
        {{"publicar", pe, "--version", "1.0.99999999999"}, 1, "versión no válida"},
        {{"publicar", (t / "sin-version.bin").string()}, 1, "indique --version"},
        {{"variable", "EXU", "--largo", "doce"}, 1, "--largo no es un número"},
        {{"variable", "EXU", "--cifrar"}, 1, "--cifrar necesita --texto"},
        {{"estado"}, 1, sinAlmacen},
        {{"variable", "EXU", "--texto", "x"}, 1, sinAlmacen},
        {{}, 2, ""},
        {{"cifrar"}, 2, ""},
        {{"md5", "a", "b"}, 2, ""},
        {{"publicar"}, 2, "Uso: olvado-admin"},
        {{"publicar", "a", "b"}, 2, "Uso: olvado-admin"},
        {{"variable", "EXU", "--desconocida", "x"}, 2, "Uso: olvado-admin"},
        {{"conexion", "quitar"}, 2, "Uso: olvado-admin"},
        {{"conexion", "agregar", "--nombre", "x"}, 2, "Uso: olvado-admin"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(::testing::PrintToString(caso.argumentos));
        const ResultadoAdmin r = EjecutarAdmin(arbol, caso.argumentos);
        EXPECT_EQ(r.codigo, caso.codigo);
        EXPECT_EQ(r.salida, "");
        EXPECT_FALSE(r.error.empty());
        EXPECT_NE(r.error.find(caso.error), std::string::npos) << r.error;
    }
}

} // namespace
