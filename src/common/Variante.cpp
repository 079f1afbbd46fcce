#include "common/Variante.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace olvado {
namespace {

bool LeerNumero(const std::string& s, double& d) {
    std::string t = Trim(s);
    if (t.empty())
        return false;
    const char* inicio = t.data() + (t[0] == '+' ? 1 : 0);
    auto [fin, ec] = std::from_chars(inicio, t.data() + t.size(), d);
    return ec == std::errc() && fin == t.data() + t.size() && std::isfinite(d);
}

int32_t Redondear(double d) {
    double r = std::nearbyint(d); // the default rounding mode rounds halves to even
    if (r > 2147483647.0 || r < -2147483648.0)
        return 0;
    return static_cast<int32_t>(r);
}

} // namespace

std::string VarATexto(const Variante& v) {
    struct {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(int16_t n) const { return std::to_string(n); }
        std::string operator()(int32_t n) const { return std::to_string(n); }
        std::string operator()(double d) const {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.15g", d);
            return buf;
        }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(const std::vector<uint8_t>& b) const {
            return DesdeAnsi(std::string(b.begin(), b.end()));
        }
    } visitor;
    return std::visit(visitor, v);
}

bool VarEsNumerico(const Variante& v) {
    if (auto s = std::get_if<std::string>(&v)) {
        double d;
        return LeerNumero(*s, d);
    }
    return !std::holds_alternative<std::vector<uint8_t>>(v);
}

int32_t VarALong(const Variante& v) {
    if (auto n = std::get_if<int16_t>(&v))
        return *n;
    if (auto n = std::get_if<int32_t>(&v))
        return *n;
    if (auto d = std::get_if<double>(&v))
        return Redondear(*d);
    if (auto b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    double d = 0;
    if (auto s = std::get_if<std::string>(&v); s && LeerNumero(*s, d))
        return Redondear(d);
    return 0;
}

} // namespace olvado
