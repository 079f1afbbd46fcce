// publicar's compressed pieces and deltas on SQLite and the private MariaDB,
// read back and rebuilt with the workstations' own zstd reader.
#include "common/DescompresorZstd.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "database/ado/Connection.h"
#include "database/ado/Recordset.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace olvado;
using namespace olvado::prueba;

namespace {

std::string Aleatorios(size_t n, uint32_t semilla) {
    std::mt19937 g(semilla);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(g() % 40 + 'A'); // compressible, and not by much
    return s;
}

std::vector<MotorPrueba> Motores() {
    std::vector<MotorPrueba> m = MotoresPrueba();
    std::erase_if(m, [](const MotorPrueba& x) {
        return x.nombre != "SqliteNativo" && (x.nombre != "MariaDB" || SocketMariaDB().empty());
    });
    return m;
}

class AdminDeltasTest : public ::testing::TestWithParam<MotorPrueba> {
  protected:
    void SetUp() override {
        for (const char* t :
             {"BinariosAct", "BinariosActTrozos", "BinariosActDeltas", "BinariosActAnillo", "Valores"})
            EjecutarSql(GetParam().cadena, std::string("DROP TABLE IF EXISTS ") + t);
        EjecutarAdmin(arbol_, {"conexion", "agregar", "--nombre", "prueba", "--cadena", GetParam().cadena,
                               "--catalogo", GetParam().catalogo});
    }
    void TearDown() override { QuitarInstalacion(); }
    std::string Publicar(const std::string& bytes, std::vector<std::string> argumentos) {
        EscribirArchivo(arbol_.Temporal() / "paquete", bytes);
        argumentos.insert(argumentos.begin(), {"publicar", (arbol_.Temporal() / "paquete").string()});
        const ResultadoAdmin r = EjecutarAdmin(arbol_, argumentos);
        EXPECT_EQ(r.codigo, 0) << r.error;
        return r.salida;
    }
    std::string Filas(const std::string& sql) { return prueba::Filas(GetParam().cadena, sql); }
    // The pieces of a table concatenated, in order.
    std::string Piezas(const std::string& tabla, const std::string& condicion) {
        ado::Connection c;
        c.Open(GetParam().cadena);
        ado::Recordset rs;
        std::string todo;
        rs.Open("SELECT Datos FROM " + tabla + " WHERE Producto = 'Olvado' AND " + condicion +
                    " ORDER BY Trozo",
                c);
        for (; !rs.Eof(); rs.MoveNext())
            todo += rs.Fields("Datos").Value().ATexto();
        return todo;
    }
    // The pieces' stream decompressed, or with a base the delta applied.
    static std::string Zstd(const std::string& entrada, const std::string& base = "", size_t tamano = 0) {
        std::string salida;
        const auto recibir = [&salida](std::string_view parte) { return salida.append(parte), true; };
        std::optional<DescompresorZstd> d;
        base.empty() ? d.emplace(recibir) : d.emplace(base, tamano, recibir);
        return d->Alimentar(entrada) && d->Terminar() ? salida : "fallo: " + d->Error();
    }

    ArbolPrueba arbol_;
    AlmacenPrueba almacen_;
};

TEST_P(AdminDeltasTest, PiezasComprimidasYDeltas) {
    const std::string a = Aleatorios(3 << 20, 1);
    std::string b = a;
    b.replace(1 << 20, 300, Aleatorios(5000, 2));
    Publicar(a, {"--version", "1.0.66", "--comprimir"});
    const std::string publicado = Publicar(b, {"--version", "1.0.70", "--comprimir"});
    EXPECT_NE(publicado.find(" bytes)\nDelta desde 1.0.66 ("), std::string::npos) << publicado;
    EXPECT_EQ(publicado.find("no se guarda"), std::string::npos) << publicado;
    const std::string digestoA = Filas("SELECT DISTINCT MD5Hash FROM BinariosActTrozos WHERE Revision = 66");

    EXPECT_TRUE(Zstd(Piezas("BinariosActTrozos", "Revision = 70")) == b);
    std::string md5 = Filas("SELECT MD5Hash FROM BinariosAct"), cifrado = md5; // Decrypt consumes it
    bool exito = false;
    EXPECT_EQ(clsEncriptor().Decrypt(cifrado.erase(md5.size() - 1), exito),
              clsMD5File().DigestStrToHexStr(b));
    EXPECT_EQ(Filas("SELECT Compresion, LENGTH(Binario) FROM BinariosAct"),
              "1|" + std::to_string(b.size()) + "\n");

    EXPECT_EQ(Filas("SELECT DISTINCT MD5Base, Revision, MD5Hash, Tamano FROM BinariosActDeltas"),
              digestoA.substr(0, digestoA.size() - 1) + "|70|" + md5.substr(0, md5.size() - 1) + "|" +
                  std::to_string(b.size()) + "\n");
    const std::string delta = Piezas("BinariosActDeltas", "Revision = 70");
    EXPECT_LT(delta.size(), 64u << 10);
    EXPECT_TRUE(Zstd(delta, a, b.size()) == b);
    EXPECT_NE(EjecutarAdmin(arbol_, {"estado"}).salida.find("Deltas hacia la versión publicada: 1\n"),
              std::string::npos);

    // An unrelated package: no delta stored, the two versions before it kept.
    const std::string c = Aleatorios(3 << 20, 3);
    const std::string s = Publicar(c, {"--version", "1.0.71", "--deltas", "2"});
    EXPECT_NE(s.find(": más de la mitad del paquete, no se guarda\nDelta desde 1.0.66 "), std::string::npos)
        << s;
    EXPECT_EQ(Filas("SELECT COUNT(*) FROM BinariosActDeltas"), "0\n");
    const std::string versiones = "SELECT DISTINCT Revision FROM BinariosActTrozos ORDER BY Revision";
    EXPECT_EQ(Filas(versiones), "66\n70\n71\n");
    // One version back: the delta from 1.0.71, and only its pieces kept.
    std::string d = c;
    d[7] ^= 1;
    Publicar(d, {"--version", "1.0.72", "--deltas", "1"});
    EXPECT_EQ(Filas(versiones), "71\n72\n");
    EXPECT_EQ(Filas("SELECT DISTINCT Revision FROM BinariosActDeltas"), "72\n");
    // A ring's first package: its workstations have the general one.
    d[9] ^= 1;
    EXPECT_NE(Publicar(d, {"--version", "1.0.73", "--anillo", "piloto"}).find("\nDelta desde 1.0.72 ("),
              std::string::npos);
    EXPECT_EQ(Filas("SELECT DISTINCT Producto, Revision FROM BinariosActDeltas ORDER BY Revision"),
              "Olvado|72\nOlvado@piloto|73\n");
}

INSTANTIATE_TEST_SUITE_P(Motores, AdminDeltasTest, ::testing::ValuesIn(Motores()),
                         [](const auto& info) { return NombreMotor(info.param); });

} // namespace
