// The built updater creates its service objects against a store of every
// engine, reaches "Objetos Listos" and closes the database again.
#include "common/FileTool.h"
#include "database/ado/Connection.h"
#include "platform/ProcesoHijo.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace olvado {
namespace {

namespace fs = std::filesystem;

class ObjetosE2E : public ::testing::TestWithParam<prueba::MotorPrueba> {
protected:
    void SetUp() override {
        FileTool ft;
        // No main program installed (on Windows the program folder is the
        // prefix's own, which other tests install into).
        std::error_code ec;
        fs::remove_all(fs::u8path(ft.Ruta_RutaEspecial(0, 38)) / "Olvado", ec);
    }
    // The log's entry texts, in order.
    std::vector<std::string> Ejecutar() {
        platform::ProcesoHijo hijo;
        EXPECT_TRUE(hijo.Iniciar({OLVADO_UPDATER_BIN}, arbol_.Entorno()));
        EXPECT_EQ(hijo.Esperar(), 0);
        return prueba::TextosDelLog(prueba::LeerArchivo(fs::u8path(log_[0])));
    }

    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    prueba::ArchivosEnDocumentos log_{"Olvado_UpdaterLog.txt"};
};

TEST_P(ObjetosE2E, LlegaAObjetosListosYCierra) {
    {
        ado::Connection c;
        c.Open(GetParam().cadena);
        c.Execute("DROP TABLE IF EXISTS Valores");
        c.Execute("CREATE TABLE Valores (idVariable VARCHAR(50), Tipo INT, ValorTexto VARCHAR(255), ValorLargo INT)");
    }
    almacen_.Escribir({{"1", "prueba", GetParam().cadena, GetParam().catalogo, "1"}});
    auto textos = Ejecutar();
    std::vector<std::string> esperados{"Iniciando OlvadoUpdater", "Log Preparado",  "Instanciando Comunes",
                                       "Instanciando DB",         "Instanciando SQL", "Objetos Listos"};
    ASSERT_GE(textos.size(), esperados.size() + 1);
    for (const auto& t : esperados)
        EXPECT_NE(std::find(textos.begin(), textos.end(), t), textos.end()) << t;
    // No main executable is installed in this tree: the run goes on to the
    // version step and ends there without a further line.
    auto listos = std::find(textos.begin(), textos.end(), "Objetos Listos");
    EXPECT_NE(std::find(listos, textos.end(), "Objetos Abiertos"), textos.end());
    EXPECT_EQ(textos.back(), "Objetos Abiertos");

    // Without a store nothing opens: the run ends after creating the objects.
    almacen_.EscribirTexto("");
    fs::remove(fs::u8path(log_[0]));
    textos = Ejecutar();
    EXPECT_EQ(std::find(textos.begin(), textos.end(), "Objetos Listos"), textos.end());
    EXPECT_NE(std::find(textos.begin(), textos.end(), "Instanciando SQL"), textos.end());
}

INSTANTIATE_TEST_SUITE_P(Motores, ObjetosE2E, ::testing::ValuesIn(prueba::MotoresPrueba()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

} // namespace
} // namespace olvado
