// clsFileLog: the on-disk format of the run log and its write rules.
#include "common/clsFileLog.h"

#include "common/FileTool.h"
#include "platform/ArchivoNativo.h"
#include "platform/ErroresSistema.h"
#include "platform/FechaHoraLocal.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/MensajesFalsos.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <regex>
#include <thread>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

std::string EnDocumentos(const std::string& nombre) {
    FileTool ft;
    return ft.Ruta_CalificarRuta(ft.Ruta_MisDocumentos()) + nombre;
}

// A fresh tree without the log files (and the folder) these tests write:
// under Wine the Documents folder is the prefix's, which other runners use.
struct clsFileLogTest : testing::Test {
    prueba::ArbolPrueba arbol;
    prueba::ArchivosEnDocumentos logs{"OlvadoSystems_Log.txt", "prueba.txt", "carpeta"};
};

} // namespace

TEST_F(clsFileLogTest, FormatoDeLasEntradas) {
    clsFileLog log;
    EXPECT_EQ(log.ArchivoDestino, EnDocumentos("OlvadoSystems_Log.txt"));
    log.EstablecerNombreArchivoDestinoEnMisDocumentos("prueba.txt");
    std::string f = EnDocumentos("prueba.txt");
    EXPECT_EQ(log.ArchivoDestino, f);

    std::string antes = platform::TextoFechaHora(platform::AhoraLocal());
    log.AgregarLog("Iniciando", true);
    log.AgregarLog(" y sigue");
    log.AgregarLog("Acción ñandú €", true);
    std::string despues = platform::TextoFechaHora(platform::AhoraLocal());
    EXPECT_FALSE(fs::exists(f)); // nothing touches the disk before Escribir
    ASSERT_TRUE(log.Escribir());

    std::string bytes = prueba::LeerArchivo(f);
    std::smatch m;
    // The ANSI bytes of the text, each entry after a CR LF with its time.
    const std::regex entradas(
        "\r\n([^\r\n]+) -- Iniciando y sigue\r\n([^\r\n]+) -- Acci\\xF3n \\xF1and\\xFA \\x80");
    ASSERT_TRUE(std::regex_match(bytes, m, entradas)) << bytes;
    for (int i = 1; i <= 2; ++i)
        EXPECT_TRUE(m[i] == antes || m[i] == despues) << m[i] << " / " << antes;
}

TEST_F(clsFileLogTest, MedianocheMuestraSoloLaFecha) {
    std::string conHora = platform::TextoFechaHora({2026, 3, 9, 7, 5, 4});
    std::string medianoche = platform::TextoFechaHora({2026, 3, 9, 0, 0, 0});
    EXPECT_EQ(conHora.rfind(medianoche + " ", 0), 0u) << conHora;
    EXPECT_GT(conHora.size(), medianoche.size() + 1);
    EXPECT_EQ(medianoche.find(' '), std::string::npos) << medianoche;
    EXPECT_EQ(platform::TextoFechaHora({2026, 3, 9, 0, 0, 1}).rfind(medianoche + " ", 0), 0u);
}

TEST_F(clsFileLogTest, SinEntradasNoTocaElArchivo) {
    std::string f = EnDocumentos("OlvadoSystems_Log.txt");
    { clsFileLog log; }
    EXPECT_FALSE(fs::exists(f));
    prueba::EscribirArchivo(f, "previo");
    {
        clsFileLog log;
        log.ModoAppend = false;
        EXPECT_TRUE(log.Escribir());
    }
    EXPECT_EQ(prueba::LeerArchivo(f), "previo");
    {
        clsFileLog log;
        log.AgregarLog("x");
    } // the destructor writes
    EXPECT_EQ(prueba::LeerArchivo(f), "previox");
}

// Past 409600 bytes the file starts again; a limit of 0 means none.
TEST_F(clsFileLogTest, LimiteDeTamanoYModos) {
    clsFileLog log;
    const auto anotar = [&](const std::string& texto) {
        log.AgregarLog(texto);
        EXPECT_TRUE(log.Escribir());
        return prueba::LeerArchivo(log.ArchivoDestino);
    };
    prueba::EscribirArchivo(log.ArchivoDestino, std::string(409601, 'v'));
    EXPECT_EQ(anotar("a"), "a");
    prueba::EscribirArchivo(log.ArchivoDestino, std::string(409600, 'v'));
    EXPECT_EQ(anotar("b"), std::string(409600, 'v') + "b");
    log.TamanoMaxArchivoAppend = 0;
    EXPECT_EQ(anotar("c").size(), 409602u);
    log.ModoAppend = false;
    EXPECT_EQ(anotar("d"), "d");
}

TEST_F(clsFileLogTest, FallosGuardanElTexto) {
    prueba::MensajesFalsos mensajes;
    clsFileLog log;
    log.AvisarError = true;
    std::string f = log.ArchivoDestino;

    log.ArchivoDestino = "";
    log.AgregarLog("pendiente");
    EXPECT_FALSE(log.Escribir());
    EXPECT_FALSE(log.Escribir());

    FileTool ft;
    const std::string carpeta = ft.Ruta_ExtraerRuta(f),
                      sinCarpeta = carpeta + "falta" + carpeta.back() + "log.txt";
    log.ArchivoDestino = sinCarpeta;
    EXPECT_FALSE(log.Escribir());
    EXPECT_FALSE(ft.FolderExist(ft.Ruta_ExtraerRuta(sinCarpeta)));
    EXPECT_EQ(mensajes.Cantidad(), 0u);

    // A folder where the file should be: the box with the system's description.
    log.ArchivoDestino = carpeta + "carpeta";
    std::filesystem::create_directory(std::filesystem::u8path(log.ArchivoDestino));
    log.ModoAppend = false;
    EXPECT_FALSE(log.Escribir());
    EXPECT_FALSE(log.Escribir());
    ASSERT_EQ(mensajes.Cantidad(), 2u); // one per call
    const auto& m = mensajes.Ultimo();
    EXPECT_EQ(std::tie(m.texto, m.estilo, m.titulo),
              std::make_tuple("No se pudo escribir archivo de log: \r\n\r\n" + log.ArchivoDestino +
                                  "\r\n\r\n" + platform::TextoErrorSistema(platform::kErrorAccesoDenegado),
                              48, "Error"));

    // Another run holding the file for a moment is waited for, not given up on.
    log.ArchivoDestino = f;
    prueba::EscribirArchivo(f, "ocupado");
    auto otro = std::make_shared<platform::ArchivoNativo>();
    ASSERT_TRUE(otro->Abrir(f, platform::ArchivoNativo::Modo::LeerEscribir));
    std::thread soltar([otro] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        otro->Cerrar();
    });
    EXPECT_TRUE(log.Escribir()); // the text was kept through every failure
    soltar.join();
    EXPECT_EQ(prueba::LeerArchivo(f), "pendiente");
    EXPECT_EQ(mensajes.Cantidad(), 2u);
}
