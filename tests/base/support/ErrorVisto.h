// The project error that a call throws, reduced to what the tests compare:
// one EXPECT_EQ checks that it threw (an E) and with what. Nothing thrown
// reads as number 0 and the text "(sin error)"; another type goes on up.
#pragma once

#include "base/ErrorOlvado.h"

#include <functional>
#include <ostream>
#include <string>

namespace olvado::prueba {

struct ErrorVisto {
    int32_t numero = 0;
    std::string origen, descripcion = "(sin error)";
    bool operator==(const ErrorVisto&) const = default;
};

template <class E = ErrorOlvado>
ErrorVisto ErrorDe(const std::function<void()>& llamada) {
    try {
        llamada();
    } catch (const E& e) {
        return {e.Numero(), e.Origen(), e.Descripcion()};
    }
    return {};
}

inline void PrintTo(const ErrorVisto& e, std::ostream* os) {
    *os << e.numero << " (" << e.origen << ") " << e.descripcion;
}

} // namespace olvado::prueba
