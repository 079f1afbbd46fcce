#include "database/ado/Valor.h"

#include "base/ErrorOlvado.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace olvado::ado {

namespace {

[[noreturn]] void ErrorConversion(int32_t numero, const char* descripcion) {
    throw ErrorOlvado(numero, "Valor", descripcion);
}

// "yyyy-mm-dd[ hh:nn:ss[.fff]]"; false when the text has another shape.
bool LeerFecha(const std::string& t, FechaHora& f) {
    int n = std::sscanf(t.c_str(), "%d-%d-%d %d:%d:%d", &f.anio, &f.mes, &f.dia, &f.hora, &f.minuto,
                        &f.segundo);
    return n == 3 || n == 6;
}

} // namespace

std::string Valor::ATexto() const {
    switch (tipo_) {
    case Tipo::Vacio:
    case Tipo::Nulo:
        return {};
    case Tipo::Entero:
        return std::to_string(entero_);
    case Tipo::Doble: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", doble_);
        return buf;
    }
    case Tipo::Texto:
        return texto_;
    case Tipo::Bytes:
        return std::string(bytes_.begin(), bytes_.end());
    case Tipo::Fecha: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", fecha_.anio, fecha_.mes, fecha_.dia,
                      fecha_.hora, fecha_.minuto, fecha_.segundo);
        return buf;
    }
    }
    return {};
}

int64_t Valor::AEntero() const {
    switch (tipo_) {
    case Tipo::Vacio:
        return 0;
    case Tipo::Nulo:
        ErrorConversion(94, "Uso no válido de Null");
    case Tipo::Entero:
        return entero_;
    case Tipo::Doble:
        return static_cast<int64_t>(doble_ < 0 ? doble_ - 0.5 : doble_ + 0.5);
    case Tipo::Texto: {
        int64_t n = 0;
        auto [p, ec] = std::from_chars(texto_.data(), texto_.data() + texto_.size(), n);
        if (ec == std::errc() && p == texto_.data() + texto_.size())
            return n;
        char* fin = nullptr;
        double d = std::strtod(texto_.c_str(), &fin);
        if (!texto_.empty() && fin && *fin == '\0')
            return Valor(d).AEntero();
        break;
    }
    default:
        break;
    }
    ErrorConversion(13, "No coinciden los tipos");
}

double Valor::ADoble() const {
    if (tipo_ == Tipo::Doble)
        return doble_;
    if (tipo_ == Tipo::Texto) {
        char* fin = nullptr;
        double d = std::strtod(texto_.c_str(), &fin);
        if (texto_.empty() || !fin || *fin != '\0')
            ErrorConversion(13, "No coinciden los tipos");
        return d;
    }
    return static_cast<double>(AEntero());
}

FechaHora Valor::AFecha() const {
    if (tipo_ == Tipo::Fecha)
        return fecha_;
    if (tipo_ == Tipo::Nulo)
        ErrorConversion(94, "Uso no válido de Null");
    FechaHora f;
    if (tipo_ == Tipo::Texto && LeerFecha(texto_, f))
        return f;
    ErrorConversion(13, "No coinciden los tipos");
}

} // namespace olvado::ado
