// Fakes for the life of one test of the message box (records every box
// instead of showing it and answers OK), of the system's event log, of the
// process's token and of the system's version.
#pragma once

#include "platform/Eventos.h"
#include "platform/FichaAcceso.h"
#include "platform/MessageBox.h"
#include "platform/VersionSistema.h"

#include <map>

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
        return respuesta;
    }
    size_t Cantidad() const { return mostrados.size(); }
    const Mensaje& Ultimo() const { return mostrados.back(); }

    std::vector<Mensaje> mostrados;
    int32_t respuesta = platform::vbOK; // 0: a box that could not show
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

// Answers `registro` (the short record without its extended fields) and
// `respuesta`, and notes the size of every record asked for.
struct VersionFalsa : platform::IVersionSistema {
    Reemplazo enUso_{*this};
    int32_t ObtenerVersion(platform::RegistroVersion& r) override {
        tamanos.push_back(r.Tamano);
        uint32_t t = r.Tamano;
        r = registro;
        r.Tamano = t;
        if (t == platform::kTamanoVersion)
            r.Suite = r.TipoProducto = 0;
        return respuesta;
    }
    int32_t MetricaSistema(int32_t i) override { return metricas.count(i) ? metricas[i] : 0; }
    platform::RegistroVersion registro;
    std::map<int32_t, int32_t> metricas;
    int32_t respuesta = 1;
    std::vector<uint32_t> tamanos;
};

} // namespace olvado::prueba
