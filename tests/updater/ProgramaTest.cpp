// The start-up sequence's own procedures: the global log, its release at the
// end of the run, Main's error path and the administrator-account message.
#include "updater/Core.h"
#include "updater/Programa.h"

#include "common/ErrorOlvado.h"
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

// The texts of the entries of a log file, without their timestamps.
std::vector<std::string> Textos(const std::string& bytes) {
    std::vector<std::string> r;
    for (size_t i = bytes.find("\r\n"); i != std::string::npos;) {
        size_t fin = bytes.find("\r\n", i + 2);
        std::string e = bytes.substr(i + 2, fin == std::string::npos ? std::string::npos : fin - i - 2);
        r.push_back(e.substr(e.find(" -- ") + 4));
        i = fin;
    }
    return r;
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
    EXPECT_EQ(Textos(prueba::LeerArchivo(RutaLog())), std::vector<std::string>{"uno m\xE1s"});
    RegistrarLog("después: nada");
    LiberarServicios();
    EXPECT_EQ(Textos(prueba::LeerArchivo(RutaLog())), std::vector<std::string>{"uno m\xE1s"});
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
    EXPECT_EQ(Textos(prueba::LeerArchivo(RutaLog())),
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
