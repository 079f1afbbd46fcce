// The built updater, run as separate processes in a fresh tree, and the run
// log they leave: twenty runs at once keep every entry, byte for byte in the
// log's format (its first lines are ActualizacionE2E's, the size limit clsFileLog's);
// without the Documents folder nothing is created and the run still ends. On
// Linux the tree's $HOME holds the Documents folder; under Wine it is the
// prefix's own Documents folder, which the test sets aside and restores.
#include "common/FileTool.h"
#include "platform/FechaHoraLocal.h"
#include "platform/ProcesoHijo.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

class RegistroEjecucion : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(documentos_.empty()); }

    // Runs the updater `veces` times at once to their ends; collects every
    // timestamp text that the clock showed meanwhile.
    void Ejecutar(size_t veces = 1) {
        const auto marcar = [this] { marcas_.insert(platform::TextoFechaHora(platform::AhoraLocal())); };
        std::vector<platform::ProcesoHijo> hijos(veces);
        marcar();
        for (auto& hijo : hijos) {
            ASSERT_TRUE(hijo.Iniciar({OLVADO_UPDATER_BIN}, arbol_.Entorno()));
            marcar();
        }
        for (auto& hijo : hijos) {
            for (; hijo.EnEjecucion(); marcar())
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            marcar();
            EXPECT_EQ(hijo.Esperar(), 0);
        }
    }

    prueba::ArbolPrueba arbol_;
    prueba::ArchivosEnDocumentos archivos_{"Olvado_UpdaterLog.txt"};
    const std::string documentos_ = FileTool().Ruta_MisDocumentos(), log_ = archivos_[0];
    std::set<std::string> marcas_;
};

} // namespace

TEST_F(RegistroEjecucion, SinCarpetaDeDocumentosNoHayArchivo) {
    // A link (the real $HOME behind a Wine prefix) must never be moved.
    ASSERT_FALSE(fs::is_symlink(documentos_)) << documentos_;
    // Wine shows such a link as a plain folder; a home holds hidden entries, the test's Documents none.
    for (const auto& e : fs::directory_iterator(documentos_))
        ASSERT_NE(e.path().filename().string()[0], '.') << e.path();
    std::string apartada = documentos_ + ".apartada-por-prueba";
    fs::rename(documentos_, apartada);
    Ejecutar();
    bool creada = fs::exists(documentos_);
    fs::rename(apartada, documentos_);
    EXPECT_FALSE(creada); // the folder is never created, so no file either
}

// Runs at once wait their turn for the log: every run's entries are kept,
// each in the log's own form (CR LF, a timestamp of the run, " -- ", the
// text), with nothing after the last one.
TEST_F(RegistroEjecucion, VeinteEjecucionesALaVez) {
    Ejecutar(20);
    const std::string bytes = prueba::LeerArchivo(log_);
    int iniciadas = 0;
    for (size_t i = 2, fin; i <= bytes.size(); i = fin + 2) {
        fin = std::min(bytes.find("\r\n", i), bytes.size());
        const std::string entrada = bytes.substr(i, fin - i);
        const size_t sep = entrada.find(" -- ");
        ASSERT_NE(sep, std::string::npos) << entrada;
        EXPECT_TRUE(marcas_.count(entrada.substr(0, sep))) << entrada;
        iniciadas += entrada.substr(sep + 4) == "Iniciando OlvadoUpdater";
    }
    EXPECT_EQ(iniciadas, 20);
}
