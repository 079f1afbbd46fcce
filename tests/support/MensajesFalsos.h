// A message-box fake for the life of one test: records every box instead of
// showing it and answers OK.
#pragma once

#include "platform/MessageBox.h"

#include <string>
#include <vector>

namespace olvado::prueba {

class MensajesFalsos : public platform::IMessageBox {
public:
    struct Mensaje {
        std::string texto;
        int32_t estilo;
        std::string titulo;
    };

    Reemplazo enUso_{*this};

    int32_t Mostrar(const std::string& texto, int32_t estilo, const std::string& titulo) override {
        mostrados.push_back({texto, estilo, titulo});
        return platform::vbOK;
    }
    size_t Cantidad() const { return mostrados.size(); }
    const Mensaje& Ultimo() const { return mostrados.back(); }

    std::vector<Mensaje> mostrados;
};

} // namespace olvado::prueba
