#include "updater/VentanaPreparacion.h"

#include "base/Texto.h"

#include <cstdio>

namespace olvado {
namespace {

// "HH:MM" exactly, as minutes of the day; -1 for anything else.
int32_t LeerHora(const std::string& t) {
    if (t.size() != 5 || t[2] != ':')
        return -1;
    for (size_t i : {0u, 1u, 3u, 4u})
        if (t[i] < '0' || t[i] > '9')
            return -1;
    const int32_t h = (t[0] - '0') * 10 + (t[1] - '0');
    const int32_t m = (t[3] - '0') * 10 + (t[4] - '0');
    return h < 24 && m < 60 ? h * 60 + m : -1;
}

} // namespace

bool VentanaPreparacion::Leer(const std::string& Texto, std::string& Motivo) {
    const size_t guion = Texto.find('-');
    const int32_t inicio = guion == std::string::npos ? -1 : LeerHora(Trim(Texto.substr(0, guion)));
    const int32_t fin = guion == std::string::npos ? -1 : LeerHora(Trim(Texto.substr(guion + 1)));
    if (inicio < 0 || fin < 0) {
        Motivo = "la ventana \"" + Texto + "\" no es HH:MM-HH:MM";
        return false;
    }
    if (inicio == fin) {
        Motivo = "la ventana \"" + Texto + "\" no dura ningún minuto";
        return false;
    }
    inicio_ = inicio;
    duracion_ = (fin - inicio + kMinutosDia) % kMinutosDia;
    return true;
}

int32_t VentanaPreparacion::Minuto(uint64_t Azar) const {
    return static_cast<int32_t>((inicio_ + Azar % static_cast<uint64_t>(duracion_)) % kMinutosDia);
}

std::string VentanaPreparacion::Hora(int32_t Minuto) {
    char hora[8];
    std::snprintf(hora, sizeof hora, "%02d:%02d", Minuto / 60 % 24, Minuto % 60);
    return hora;
}

} // namespace olvado
