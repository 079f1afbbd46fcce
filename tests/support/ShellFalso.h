// A shell fake for the life of one test: records every request and answers
// `respuesta`, or raises `falla` when set.
#pragma once

#include "base/ErrorOlvado.h"
#include "platform/Shell.h"

#include <optional>
#include <vector>

namespace olvado::prueba {

struct ShellFalso : platform::IShell {
    Reemplazo enUso_{*this};
    bool Ejecutar(const platform::PeticionShell& p) override {
        peticiones.push_back(p);
        if (falla)
            throw *falla;
        return respuesta;
    }
    std::vector<platform::PeticionShell> peticiones;
    bool respuesta = true;
    std::optional<ErrorOlvado> falla;
};

} // namespace olvado::prueba
