// The start-up sequence's own procedures: the global log, its release at the
// end of the run, Main's error path and the administrator-account message.
#include "updater/Core.h"
#include "updater/Programa.h"

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
    EXPECT_EQ(Servicios().Log->ArchivoDestino, RutaLog());
    RegistrarLog("uno");
    RegistrarLog(" más", false);
    EXPECT_TRUE(prueba::LeerArchivo(RutaLog()).empty());
    LiberarServicios();
    EXPECT_FALSE(Servicios().Log);
    EXPECT_EQ(prueba::TextosDelLog(prueba::LeerArchivo(RutaLog())), std::vector<std::string>{"uno m\xE1s"});
    RegistrarLog("después: nada");
    LiberarServicios();
    EXPECT_EQ(prueba::TextosDelLog(prueba::LeerArchivo(RutaLog())), std::vector<std::string>{"uno m\xE1s"});
}

TEST(ProgramaTest, RutaDeErrorRegistraYSigue) {
    ArbolSinLog arbol;
    ASSERT_TRUE(PrepararLog("Olvado_UpdaterLog.txt"));
    bool despues = false;
    EXPECT_NO_THROW(ConRutaDeError([&] {
        RegistrarLog("paso");
        throw ErrorOlvado(5, "prueba", "falla");
        despues = true;
    }));
    EXPECT_FALSE(despues);
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
    EXPECT_EQ(mensajes.Ultimo().texto,
              "No podrá completarse esta actualización de Olvado desde esta cuenta de usuario\r\n\r\n"
              "Favor inicie Olvado desde una cuenta Administrativa de Windows para completar la actualización");
    EXPECT_EQ(mensajes.Ultimo().estilo, 48);
    EXPECT_EQ(mensajes.Ultimo().titulo, "Actualización Olvado");
}
