// The built updater creates its service objects against a store of every
// engine, reaches "Objetos Listos" and closes the database again.
#include "support/ActualizadorPrueba.h"
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
    // No main program installed (on Windows the program folder is the
    // prefix's own, which other tests install into).
    void SetUp() override { prueba::QuitarInstalacion(); }
    std::vector<std::string> Ejecutar() { return prueba::EjecutarActualizador(arbol_); }

    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    prueba::ArchivosEnDocumentos log_{"Olvado_UpdaterLog.txt"};
};

TEST_P(ObjetosE2E, LlegaAObjetosListosYCierra) {
    prueba::CrearTablas(GetParam(), false);
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
    textos = Ejecutar();
    EXPECT_EQ(std::find(textos.begin(), textos.end(), "Objetos Listos"), textos.end());
    EXPECT_NE(std::find(textos.begin(), textos.end(), "Instanciando SQL"), textos.end());
}

INSTANTIATE_TEST_SUITE_P(Motores, ObjetosE2E, ::testing::ValuesIn(prueba::MotoresPrueba()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

} // namespace
} // namespace olvado
