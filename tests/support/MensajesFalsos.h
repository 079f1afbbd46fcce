// Fakes for the life of one test of the message box (records every box
// instead of showing it and answers OK), of the system's event log and of the
// process's token.
#pragma once

#include "platform/Eventos.h"
#include "platform/FichaAcceso.h"
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

struct EventosFalsos : platform::IEventos {
    Reemplazo enUso_{*this};
    bool Registrar(const platform::Evento& e) override {
        vistos.push_back(e);
        return true;
    }
    std::vector<platform::Evento> vistos;
};

// Groups of the token and the administrators' names as given; either read
// can be made to fail.
struct FichaFalsa : platform::IFichaAcceso {
    explicit FichaFalsa(std::vector<std::string> g = {}) : grupos(std::move(g)) {}
    Reemplazo enUso_{*this};
    bool GruposDelToken(std::vector<std::string>& g) override {
        g = grupos;
        return tokenOk;
    }
    bool NombresAdministradores(std::vector<std::string>& n) override {
        n = administradores;
        return nombreOk;
    }
    std::vector<std::string> grupos, administradores{"Administradores"};
    bool tokenOk = true, nombreOk = true;
};

} // namespace olvado::prueba
