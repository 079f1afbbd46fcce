// Files that a test writes in the Documents folder, removed before and after
// it. On Linux that folder lies in the test's own tree; under Wine it is the
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

} // namespace olvado::prueba
