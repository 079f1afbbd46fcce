// A launcher fake for the life of one test: records every request and answers
// `codigo`, or raises `falla` when set.
#pragma once

#include "base/ErrorOlvado.h"
#include "platform/Lanzador.h"

#include <optional>
#include <vector>

namespace olvado::prueba {

struct LanzadorFalso : platform::ILanzador {
    Reemplazo enUso_{*this};
    int32_t Lanzar(const platform::PeticionLanzamiento& p) override {
        peticiones.push_back(p);
        if (falla)
            throw *falla;
        return codigo;
    }
    std::vector<platform::PeticionLanzamiento> peticiones;
    int32_t codigo = 0;
    std::optional<ErrorOlvado> falla;
};

} // namespace olvado::prueba
