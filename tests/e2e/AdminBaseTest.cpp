// olvado-admin's store and database commands, run as a separate program
// against the native SQLite provider and the private MariaDB, each result
// read back through the data layer as the updater reads it.
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "database/ConfigConexion.h"
#include "database/ado/Connection.h"
#include "database/ado/Recordset.h"
#include "database/clsDB.h"
#include "platform/XmlDocument.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/EjecutarAdmin.h"
#include "support/EscritorPE.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace olvado;
using namespace olvado::prueba;

namespace {

bool Contiene(const std::string& texto, const std::string& parte) { return texto.find(parte) != std::string::npos; }

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
        ado::Connection c;
        c.Open(GetParam().cadena);
        c.Execute("DROP TABLE IF EXISTS BinariosAct");
        c.Execute("DROP TABLE IF EXISTS Valores");
        c.Close();
        ResultadoAdmin r = EjecutarAdmin(arbol_, {"conexion", "agregar", "--nombre", "prueba", "--cadena",
                                                  GetParam().cadena, "--catalogo", GetParam().catalogo});
        ASSERT_EQ(r.codigo, 0) << r.error;
    }
    void TearDown() override { QuitarInstalacion(); }

    struct Fila {
        int64_t filas = 0;
        std::string producto, md5, binario;
        int64_t major = -1, minor = -1, revision = -1;
    };
    Fila LeerFilas() {
        Fila f;
        ado::Connection c;
        c.Open(GetParam().cadena);
        ado::Recordset rs;
        rs.Open("SELECT Producto, Major, Minor, Revision, MD5Hash, Binario FROM BinariosAct", c, ado::adOpenStatic,
                ado::adLockOptimistic);
        for (; !rs.Eof(); rs.MoveNext(), ++f.filas) {
            f.producto = rs.Fields("Producto").Value().ATexto();
            f.major = rs.Fields("Major").Value().AEntero();
            f.minor = rs.Fields("Minor").Value().AEntero();
            f.revision = rs.Fields("Revision").Value().AEntero();
            f.md5 = rs.Fields("MD5Hash").Value().ATexto();
            const ado::Valor b = rs.Fields("Binario").Value();
            f.binario.assign(b.Bytes().begin(), b.Bytes().end());
        }
        rs.Close();
        return f;
    }

    ArbolPrueba arbol_;
    AlmacenPrueba almacen_; // removes the store the tool writes
};

TEST_P(AdminBaseTest, PublicarYReemplazar) {
    // Over 16 MiB on SQLite, so the progress line shows; smaller on the server.
    const size_t tamano = GetParam().nombre == "MariaDB" ? 3 * 1024 * 1024 + 5 : 17 * 1024 * 1024 + 3;
    const auto paquete = arbol_.Temporal() / "paquete.exe";
    EscribirArchivo(paquete, BytesAleatorios(tamano, 7));
    ResultadoAdmin r = EjecutarAdmin(arbol_, {"publicar", paquete.string(), "--version", "1.0.70"});
    ASSERT_EQ(r.codigo, 0) << r.error;
    EXPECT_TRUE(Contiene(r.error, "tabla BinariosAct creada")) << r.error;
    EXPECT_EQ(Contiene(r.error, "publicando 17 MiB"), tamano > 16 * 1024 * 1024) << r.error;

    Fila f = LeerFilas();
    ASSERT_EQ(f.filas, 1);
    EXPECT_EQ(f.producto, "Olvado");
    EXPECT_EQ(f.major * 1000000 + f.minor * 1000 + f.revision, 1000070);
    ASSERT_EQ(f.binario.size(), tamano);
    EXPECT_TRUE(f.binario == LeerArchivo(paquete));
    EXPECT_EQ(Descifrar(f.md5), clsMD5File().DigestFileToHexStr(paquete.string()));

    // A PE file without --version: its own version resource, and the row replaced.
    const auto pe = arbol_.Temporal() / "Olvado.exe";
    EscribirArchivo(pe, ArchivoPE(BloqueVersion(VersionCompleta("1.00.0071"))));
    r = EjecutarAdmin(arbol_, {"publicar", pe.string()});
    ASSERT_EQ(r.codigo, 0) << r.error;
    EXPECT_FALSE(Contiene(r.error, "publicando")) << r.error;
    f = LeerFilas();
    ASSERT_EQ(f.filas, 1);
    EXPECT_EQ(f.major * 1000000 + f.minor * 1000 + f.revision, 1000071);
    EXPECT_TRUE(f.binario == LeerArchivo(pe));
    EXPECT_EQ(Descifrar(f.md5), clsMD5File().DigestFileToHexStr(pe.string()));

    // Another product's row sits beside it.
    r = EjecutarAdmin(arbol_, {"publicar", pe.string(), "--producto", "Otro", "--version", "3.2.1"});
    ASSERT_EQ(r.codigo, 0) << r.error;
    EXPECT_EQ(LeerFilas().filas, 2);
}

// A family table without Firma, with a column and an index of its own: on
// SQLite --firmar puts Firma before Binario, and keeps the rest.
TEST_P(AdminBaseTest, FirmaEnUnaTablaDeLaFamilia) {
    ado::Connection c;
    c.Open(GetParam().cadena);
    const bool sqlite = GetParam().nombre != "MariaDB";
    c.Execute(std::string("CREATE TABLE BinariosAct (Producto VARCHAR(50) NOT NULL PRIMARY KEY, Major INTEGER NOT NULL, "
                          "Minor INTEGER NOT NULL, Revision INTEGER NOT NULL, MD5Hash VARCHAR(255), Binario ") +
              (sqlite ? "BLOB" : "LONGBLOB") + ", Notas VARCHAR(20) NOT NULL DEFAULT 'nada')");
    c.Execute("CREATE INDEX PorNotas ON BinariosAct (Notas)");
    c.Execute("INSERT INTO BinariosAct (Producto, Major, Minor, Revision, Binario, Notas) "
              "VALUES ('Otro', 3, 2, 1, 'abc', 'suya')");
    const auto privada = (arbol_.Temporal() / "privada").string(), publica = privada + ".pub";
    ASSERT_EQ(EjecutarAdmin(arbol_, {"claves", "generar", "--privada", privada, "--publica", publica}).codigo, 0);
    const auto paquete = arbol_.Temporal() / "paquete.exe";
    EscribirArchivo(paquete, BytesAleatorios(100000, 3));
    ResultadoAdmin r = EjecutarAdmin(arbol_, {"publicar", paquete.string(), "--version", "1.0.70", "--firmar", privada});
    ASSERT_EQ(r.codigo, 0) << r.error;
    EXPECT_TRUE(Contiene(r.error, "columna BinariosAct.Firma creada")) << r.error;
    c.Close(); // the tool changed the table under it
    c.Open(GetParam().cadena);
    ado::Recordset rs;
    rs.Open("SELECT * FROM BinariosAct ORDER BY Producto", c, ado::adOpenStatic, ado::adLockOptimistic);
    std::vector<std::string> nombres;
    for (int32_t i = 0; i < rs.FieldCount(); ++i)
        nombres.push_back(rs.Fields(i).Name());
    if (sqlite) {
        EXPECT_EQ(nombres, (std::vector<std::string>{"Producto", "Major", "Minor", "Revision", "MD5Hash", "Notas",
                                                     "Firma", "Binario"}));
    }
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("Producto").Value().ATexto(), "Olvado");
    EXPECT_EQ(rs.Fields("Notas").Value().ATexto(), "nada");
    EXPECT_EQ(rs.Fields("Firma").Value().ATexto().size(), 128u);
    const auto binario = rs.Fields("Binario").Value().Bytes();
    EXPECT_TRUE(std::string(binario.begin(), binario.end()) == LeerArchivo(paquete));
    rs.MoveNext();
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("Notas").Value().ATexto(), "suya");
    EXPECT_EQ(rs.Fields("Revision").Value().AEntero(), 1);
    rs.Close();
    if (sqlite) {
        rs.Open("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = 'PorNotas'", c);
        EXPECT_EQ(rs.Fields(0).Value().AEntero(), 1);
        rs.Close();
    }
    c.Execute("DROP TABLE BinariosAct");
}

TEST_P(AdminBaseTest, VariableCifradaYEstado) {
    ResultadoAdmin r = EjecutarAdmin(arbol_, {"variable", "EXU", "--texto", "administrador", "--cifrar"});
    ASSERT_EQ(r.codigo, 0) << r.error;
    r = EjecutarAdmin(arbol_, {"variable", "EXC", "--texto", "Contraseña", "--cifrar", "--tipo", "2", "--largo", "-5"});
    ASSERT_EQ(r.codigo, 0) << r.error;
    r = EjecutarAdmin(arbol_, {"variable", "PLANO", "--texto", "visible"});
    ASSERT_EQ(r.codigo, 0) << r.error;
    {
        clsDB db;
        ASSERT_TRUE(db.AbrirDB());
        int32_t tipo = -1, largo = -1;
        std::string texto;
        ASSERT_TRUE(db.Get_Variable("EXU", tipo, texto, largo));
        EXPECT_EQ(Descifrar(texto), "administrador");
        EXPECT_NE(texto, "administrador");
        EXPECT_EQ(tipo, 0);
        ASSERT_TRUE(db.Get_Variable("EXC", tipo, texto, largo));
        EXPECT_EQ(Descifrar(texto), "Contraseña");
        EXPECT_EQ(tipo, 2);
        EXPECT_EQ(largo, -5);
        ASSERT_TRUE(db.Get_Variable("PLANO", tipo, texto, largo));
        EXPECT_EQ(texto, "visible");
    }

    // estado: nothing installed, nothing published, then each comparison.
    r = EjecutarAdmin(arbol_, {"estado"});
    ASSERT_EQ(r.codigo, 0) << r.error;
    EXPECT_TRUE(Contiene(r.salida, "Versión publicada: sin tabla BinariosAct\n")) << r.salida;
    EXPECT_TRUE(Contiene(r.salida, "Versión instalada: no se pudo leer")) << r.salida;
    const auto pe = arbol_.Temporal() / "Olvado.exe";
    EscribirArchivo(pe, ArchivoPE(BloqueVersion(VersionCompleta("1.00.0070"))));
    ASSERT_EQ(EjecutarAdmin(arbol_, {"publicar", pe.string()}).codigo, 0);
    // The package's folder comes with the family's installation (on Windows
    // it is the prefix's own, shared with other tests: it goes at the end).
    const auto carpetaDB = std::filesystem::u8path(CarpetaPaquete());
    QuitarInstalacion();
    InstalarPrograma("1.00.0066");
    r = EjecutarAdmin(arbol_, {"estado"});
    EXPECT_TRUE(Contiene(r.salida, "Próxima ejecución: no podrá escribir el paquete 1.0.70: falta la carpeta "))
        << r.salida;
    std::filesystem::create_directories(carpetaDB);
    const std::pair<const char*, const char*> casos[] = {
        {"1.00.0066", "Próxima ejecución: instalará el paquete 1.0.70 (/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-)\n"},
        {"1.00.0070", "Próxima ejecución: nada que instalar: al día\n"},
        {"2.0.0", "Próxima ejecución: nada que instalar: la versión instalada es más reciente que la publicada\n"},
    };
    for (const auto& [instalada, esperado] : casos) {
        InstalarPrograma(instalada);
        r = EjecutarAdmin(arbol_, {"estado"});
        ASSERT_EQ(r.codigo, 0) << r.error;
        EXPECT_TRUE(Contiene(r.salida, "Producto: Olvado\nVersión publicada: 1.0.70\n")) << r.salida;
        EXPECT_TRUE(Contiene(r.salida, esperado)) << instalada << "\n" << r.salida;
    }
}

TEST_P(AdminBaseTest, EntradaIncorrecta) {
    const auto pe = arbol_.Temporal() / "Olvado.exe";
    EscribirArchivo(pe, ArchivoPE(BloqueVersion(VersionCompleta("1.00.0070"))));
    EscribirArchivo(arbol_.Temporal() / "sin-version.bin", "MZ sin recurso");
    const std::pair<std::vector<std::string>, const char*> casos[] = {
        {{"publicar", (arbol_.Temporal() / "falta.exe").string()}, "no existe el archivo"},
        {{"publicar", pe.string(), "--version", "1.x.3"}, "versión no válida"},
        {{"publicar", pe.string(), "--version", "1.0"}, "versión no válida"},
        {{"publicar", pe.string(), "--version", "1.0.99999999999"}, "versión no válida"},
        {{"publicar", (arbol_.Temporal() / "sin-version.bin").string()}, "indique --version"},
        {{"variable", "EXU", "--largo", "doce"}, "--largo no es un número"},
        {{"variable", "EXU", "--cifrar"}, "--cifrar necesita --texto"},
    };
    for (const auto& [argumentos, mensaje] : casos) {
        const ResultadoAdmin r = EjecutarAdmin(arbol_, argumentos);
        EXPECT_EQ(r.codigo, 1) << argumentos[1];
        EXPECT_TRUE(Contiene(r.error, mensaje)) << r.error;
    }
    // Nothing was written by the refused commands.
    ado::Connection c;
    c.Open(GetParam().cadena);
    ado::Recordset rs;
    EXPECT_ANY_THROW(rs.Open("SELECT * FROM BinariosAct", c, ado::adOpenStatic, ado::adLockOptimistic));

    // Wrong use answers 2.
    for (const std::vector<std::string>& mal : {std::vector<std::string>{"publicar", "a", "b"},
                                               {"variable", "EXU", "--desconocida", "x"},
                                               {"conexion", "quitar"},
                                               {"conexion", "agregar", "--nombre", "x"}}) {
        const ResultadoAdmin r = EjecutarAdmin(arbol_, mal);
        EXPECT_EQ(r.codigo, 2) << mal[1];
        EXPECT_TRUE(Contiene(r.error, "Uso: olvado-admin")) << r.error;
    }
}

INSTANTIATE_TEST_SUITE_P(Motores, AdminBaseTest, ::testing::ValuesIn(Motores()),
                         [](const auto& info) { return NombreMotor(info.param); });

TEST(AdminAlmacenTest, CincoEntradasYNingunaMas) {
    ArbolPrueba arbol;
    AlmacenPrueba almacen;
    // No store: the database commands say where it should be.
    for (const std::vector<std::string>& orden :
         {std::vector<std::string>{"estado"}, {"variable", "EXU", "--texto", "x"}}) {
        const ResultadoAdmin r = EjecutarAdmin(arbol, orden);
        EXPECT_EQ(r.codigo, 1);
        EXPECT_TRUE(Contiene(r.error, "no hay almacén de conexiones en " + almacen.Ruta())) << r.error;
    }
    for (int i = 1; i <= 5; ++i) {
        std::vector<std::string> orden = {"conexion", "agregar", "--nombre", "Base \"" + std::to_string(i) + "\" & co",
                                          "--cadena", "Provider=SQLite;Data Source=b" + std::to_string(i) + ".db"};
        if (i % 2 == 0)
            orden.insert(orden.end(), {"--catalogo", "cat" + std::to_string(i), "--optimizar"});
        const ResultadoAdmin r = EjecutarAdmin(arbol, orden);
        ASSERT_EQ(r.codigo, 0) << r.error;
        EXPECT_EQ(r.salida, "Conexión " + std::to_string(i) + " agregada a " + almacen.Ruta() + "\n");
    }
    const std::string antes = LeerArchivo(std::filesystem::u8path(almacen.Ruta()));
    const ResultadoAdmin sexta =
        EjecutarAdmin(arbol, {"conexion", "agregar", "--nombre", "seis", "--cadena", "Provider=SQLite;Data Source=x"});
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
        EXPECT_EQ(d.Nombre, "Base \"" + std::to_string(i) + "\" & co");
        EXPECT_EQ(d.CadenaConexion, "Provider=SQLite;Data Source=b" + std::to_string(i) + ".db");
        EXPECT_EQ(d.Catalogo, i % 2 == 0 ? "cat" + std::to_string(i) : "");
        EXPECT_EQ(d.OptimizarConexionRemota, i % 2 == 0);
        EXPECT_TRUE(d.Valida);
    }
    EXPECT_FALSE(store.CargarConexion(documento, 6));
}

} // namespace
