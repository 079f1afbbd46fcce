// The built updater without a Documents folder: it runs to its end and
// creates neither the folder nor its log (the log's format, appending and size
// limit are clsFileLog's own test; its first lines, MutexE2E's). On Linux the
// tree's $HOME holds the Documents folder; under Wine it is the prefix's own
// Documents folder, which the test sets aside and restores.
#include "common/FileTool.h"
#include "support/ActualizadorPrueba.h"
#include "support/DocumentosPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace olvado;
namespace fs = std::filesystem;

TEST(RegistroEjecucion, SinCarpetaDeDocumentosNoHayArchivo) {
    prueba::ArbolPrueba arbol;
    prueba::ArchivosEnDocumentos log{"Olvado_UpdaterLog.txt"};
    const std::string documentos = FileTool().Ruta_MisDocumentos();
    ASSERT_FALSE(documentos.empty());
    // A link (the real $HOME behind a Wine prefix) must never be moved.
    ASSERT_FALSE(fs::is_symlink(documentos)) << documentos;
    std::string apartada = documentos + ".apartada-por-prueba";
    fs::rename(documentos, apartada);
    EXPECT_TRUE(prueba::EjecutarActualizador(arbol).empty());
    bool creada = fs::exists(documentos);
    fs::rename(apartada, documentos);
    EXPECT_FALSE(creada); // the folder is never created, so no file either
}
