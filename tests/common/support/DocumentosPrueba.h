// Files that a test writes in the Documents folder, removed before and after
// it, and the reading of a run log. On Linux that folder lies in the test's own tree; under Wine it is the
// prefix's Documents folder, which outlives the test.
#pragma once

#include "common/FileTool.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace olvado::prueba {

class ArchivosEnDocumentos {
public:
    ArchivosEnDocumentos(std::initializer_list<std::string> nombres) {
        FileTool ft;
        for (const auto& n : nombres)
            rutas_.push_back(ft.Ruta_CalificarRuta(ft.Ruta_MisDocumentos()) + n);
        Quitar();
    }
    ~ArchivosEnDocumentos() { Quitar(); }
    ArchivosEnDocumentos(const ArchivosEnDocumentos&) = delete;
    ArchivosEnDocumentos& operator=(const ArchivosEnDocumentos&) = delete;

    const std::string& operator[](size_t i) const { return rutas_.at(i); }

private:
    void Quitar() {
        std::error_code ec;
        for (const auto& r : rutas_)
            std::filesystem::remove(r, ec);
    }
    std::vector<std::string> rutas_;
};

// The texts of a run log's entries, each "\r\n" + timestamp + " -- " + text,
// in the file's own bytes.
inline std::vector<std::string> TextosDelLog(const std::string& bytes) {
    std::vector<std::string> textos;
    for (size_t i = bytes.find(" -- "); i != std::string::npos; i = bytes.find(" -- ", i + 4)) {
        size_t fin = bytes.find("\r\n", i);
        textos.push_back(bytes.substr(i + 4, fin == std::string::npos ? std::string::npos : fin - i - 4));
    }
    return textos;
}

} // namespace olvado::prueba
