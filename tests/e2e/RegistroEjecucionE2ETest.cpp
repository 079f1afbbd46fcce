// The built updater, run as separate processes in a fresh tree, and the run
// log they leave: twenty runs at once keep every entry, byte for byte in the
// log's format (its first lines are MutexE2E's, the size limit clsFileLog's);
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
    void SetUp() override {
        documentos_ = FileTool().Ruta_MisDocumentos();
        ASSERT_FALSE(documentos_.empty());
        log_ = archivos_[0];
    }

    // Runs the updater `veces` times at once to their ends; collects every
    // timestamp text that the clock showed meanwhile.
    void Ejecutar(size_t veces = 1) {
        std::vector<platform::ProcesoHijo> hijos(veces);
        marcas_.insert(platform::TextoFechaHora(platform::AhoraLocal()));
        for (auto& hijo : hijos) {
            ASSERT_TRUE(hijo.Iniciar({OLVADO_UPDATER_BIN}, arbol_.Entorno()));
            marcas_.insert(platform::TextoFechaHora(platform::AhoraLocal()));
        }
        for (auto& hijo : hijos) {
            while (hijo.EnEjecucion()) {
                marcas_.insert(platform::TextoFechaHora(platform::AhoraLocal()));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            marcas_.insert(platform::TextoFechaHora(platform::AhoraLocal()));
            EXPECT_EQ(hijo.Esperar(), 0);
        }
    }

    // The texts of the entries in bytes (which must be the log's own: CR LF,
    // a timestamp of the run, " -- ", the text; nothing after the last one).
    std::vector<std::string> Entradas(const std::string& bytes) {
        std::vector<std::string> textos;
        size_t i = 0;
        while (i < bytes.size()) {
            EXPECT_EQ(bytes.compare(i, 2, "\r\n"), 0) << "at " << i;
            size_t fin = bytes.find("\r\n", i + 2);
            std::string entrada = bytes.substr(i + 2, fin == std::string::npos ? std::string::npos : fin - i - 2);
            size_t sep = entrada.find(" -- ");
            EXPECT_NE(sep, std::string::npos) << entrada;
            if (sep == std::string::npos)
                break;
            EXPECT_TRUE(marcas_.count(entrada.substr(0, sep))) << entrada;
            textos.push_back(entrada.substr(sep + 4));
            i = fin == std::string::npos ? bytes.size() : fin;
        }
        return textos;
    }

    prueba::ArbolPrueba arbol_;
    prueba::ArchivosEnDocumentos archivos_{"Olvado_UpdaterLog.txt"};
    std::string documentos_, log_;
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

// Runs at once wait their turn for the log: every run's entries are kept.
TEST_F(RegistroEjecucion, VeinteEjecucionesALaVez) {
    Ejecutar(20);
    auto textos = Entradas(prueba::LeerArchivo(log_));
    EXPECT_EQ(std::count(textos.begin(), textos.end(), "Iniciando OlvadoUpdater"), 20);
}
