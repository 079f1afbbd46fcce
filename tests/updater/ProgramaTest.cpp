// The start-up sequence's own procedures: the global log, its release at the
// end of the run, Main's error path and the administrator-account message.
#include "updater/Programa.h"
#include "updater/Core.h"

#include "base/ErrorOlvado.h"
#include "common/FileTool.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/MensajesFalsos.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace olvado;

namespace {

std::string RutaLog() {
    FileTool ft;
    return ft.Ruta_CalificarRuta(ft.Ruta_MisDocumentos()) + "Olvado_UpdaterLog.txt";
}

// A fresh tree, and no run log from before.
struct ArbolSinLog : prueba::ArbolPrueba {
    prueba::ArchivosEnDocumentos log{"Olvado_UpdaterLog.txt"};
};

} // namespace

TEST(ProgramaTest, ElLogSeEscribeAlLiberarLosServicios) {
    ArbolSinLog arbol;
    RegistrarLog("sin log: nada"); // no log yet: ignored
    ASSERT_TRUE(PrepararLog("Olvado_UpdaterLog.txt"));
    ASSERT_TRUE(Servicios().Log);
    RegistrarLog("uno");
    RegistrarLog(" más", false);
    EXPECT_TRUE(prueba::LeerArchivo(RutaLog()).empty());
    LiberarServicios();
    EXPECT_FALSE(Servicios().Log);
    EXPECT_EQ(prueba::TextosDelLog(prueba::LeerArchivo(RutaLog())), std::vector<std::string>{"uno m\xE1s"});
    LiberarServicios(); // twice: nothing left to write
    EXPECT_EQ(prueba::TextosDelLog(prueba::LeerArchivo(RutaLog())), std::vector<std::string>{"uno m\xE1s"});
}

TEST(ProgramaTest, RutaDeErrorRegistraYSigue) {
    ArbolSinLog arbol;
    ASSERT_TRUE(PrepararLog("Olvado_UpdaterLog.txt"));
    EXPECT_NO_THROW(ConRutaDeError([] {
        RegistrarLog("paso");
        throw ErrorOlvado(5, "prueba", "falla");
    }));
    ConRutaDeError([] { throw std::runtime_error("otra"); });
    ConRutaDeError([] { RegistrarLog("sin falla"); });
    LiberarServicios();
    const std::string linea = "Error en el procedimiento inicial del sistema. Cerrar Objetos";
    EXPECT_EQ(prueba::TextosDelLog(prueba::LeerArchivo(RutaLog())),
              (std::vector<std::string>{"paso", linea, linea, "sin falla"}));
}

TEST(ProgramaTest, MensajeCuentaAdministrativa) {
    prueba::MensajesFalsos mensajes;
    MensajeCuentaAdministrativa();
    ASSERT_EQ(mensajes.Cantidad(), 1u);
    const auto& m = mensajes.Ultimo();
    EXPECT_EQ(m.texto,
              "No podrá completarse esta actualización de Olvado desde esta cuenta de usuario\r\n\r\n"
              "Favor inicie Olvado desde una cuenta Administrativa de Windows para completar la "
              "actualización");
    EXPECT_EQ(std::tie(m.estilo, m.titulo), std::make_tuple(48, "Actualización Olvado"));
}
