#include "common/Formato.h"

#include "base/Texto.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace olvado {
namespace {

bool EsLugar(char c) { return c == '0' || c == '#'; }

std::string Agrupar(const std::string& digitos, const std::string& separador) {
    std::string r;
    int n = static_cast<int>(digitos.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            r += separador;
        r.push_back(digitos[static_cast<size_t>(i)]);
    }
    return r;
}

std::string DosDigitos(int32_t n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

} // namespace

std::string FormatoNumero(double valor, const std::string& mascara, const platform::ConfiguracionRegional& r) {
    size_t primero = mascara.find_first_of("0#"), ultimo = mascara.find_last_of("0#.");
    if (primero == std::string::npos)
        return mascara;
    std::string prefijo = mascara.substr(0, primero), sufijo = mascara.substr(ultimo + 1);
    std::string cuerpo = mascara.substr(primero, ultimo - primero + 1);
    size_t punto = cuerpo.find('.');
    std::string entera = cuerpo.substr(0, punto), fraccion = punto == std::string::npos ? "" : cuerpo.substr(punto + 1);
    int minEnteros = 0, decimales = 0, minDecimales = 0;
    for (char c : entera)
        minEnteros += c == '0';
    for (char c : fraccion)
        if (EsLugar(c)) {
            ++decimales;
            if (c == '0')
                minDecimales = decimales;
        }
    bool agrupa = entera.find(',') != std::string::npos;

    double escala = std::pow(10.0, decimales);
    double absoluto = std::round(std::fabs(valor) * escala); // std::round takes halves away from zero
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", absoluto);
    std::string digitos = buf;
    if (static_cast<int>(digitos.size()) <= decimales)
        digitos.insert(0, static_cast<size_t>(decimales - static_cast<int>(digitos.size()) + 1), '0');
    std::string ent = digitos.substr(0, digitos.size() - static_cast<size_t>(decimales));
    std::string dec = digitos.substr(digitos.size() - static_cast<size_t>(decimales));
    while (static_cast<int>(dec.size()) > minDecimales && dec.back() == '0')
        dec.pop_back();
    ent.erase(0, std::min(ent.find_first_not_of('0'), ent.size()));
    if (static_cast<int>(ent.size()) < minEnteros)
        ent.insert(0, static_cast<size_t>(minEnteros - static_cast<int>(ent.size())), '0');
    std::string texto = agrupa ? Agrupar(ent, r.SeparadorMillar) : ent;
    if (punto != std::string::npos)
        texto += r.SeparadorDecimal + dec;
    bool negativo = valor < 0 && absoluto != 0;
    return (negativo ? "-" : "") + prefijo + texto + sufijo;
}

std::string FormatoFecha(int32_t anio, int32_t mes, int32_t dia, int32_t hora, int32_t minuto, int32_t segundo,
                         const std::string& mascara, const platform::ConfiguracionRegional& r) {
    std::string res;
    bool trasHora = false;
    size_t i = 0;
    while (i < mascara.size()) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(mascara[i])));
        size_t n = 1;
        while (i + n < mascara.size() && std::tolower(static_cast<unsigned char>(mascara[i + n])) == c)
            ++n;
        bool token = true;
        switch (c) {
        case 'd': res += n >= 2 ? DosDigitos(dia) : std::to_string(dia); break;
        case 'y': res += n >= 4 ? std::to_string(anio) : DosDigitos(anio % 100); break;
        case 'h': res += n >= 2 ? DosDigitos(hora) : std::to_string(hora); break;
        case 'n': res += n >= 2 ? DosDigitos(minuto) : std::to_string(minuto); break;
        case 's': res += n >= 2 ? DosDigitos(segundo) : std::to_string(segundo); break;
        case 'm':
            if (trasHora && n <= 2)
                res += n == 2 ? DosDigitos(minuto) : std::to_string(minuto);
            else if (n >= 3 && mes >= 1 && mes <= 12)
                res += r.MesesAbreviados[static_cast<size_t>(mes - 1)];
            else
                res += n == 2 ? DosDigitos(mes) : std::to_string(mes);
            break;
        default: token = false;
        }
        if (token) {
            trasHora = c == 'h';
            i += n;
        } else {
            res.push_back(mascara[i++]);
        }
    }
    return res;
}

bool LeerNumeroRegional(const std::string& texto, const platform::ConfiguracionRegional& r, double& valor) {
    std::string t = Trim(texto);
    if (!r.SeparadorMillar.empty())
        t = Replace(t, r.SeparadorMillar, "");
    if (!r.SeparadorDecimal.empty() && r.SeparadorDecimal != ".") {
        if (t.find('.') != std::string::npos)
            return false;
        t = Replace(t, r.SeparadorDecimal, ".");
    }
    if (t.empty())
        return false;
    const char* inicio = t.data() + (t[0] == '+' ? 1 : 0);
    auto [fin, ec] = std::from_chars(inicio, t.data() + t.size(), valor);
    return ec == std::errc() && fin == t.data() + t.size() && std::isfinite(valor);
}

std::string TextoMonedaRegional(double valor, const platform::ConfiguracionRegional& r) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", std::round(valor * 10000.0) / 10000.0);
    std::string t = buf;
    t.erase(t.find_last_not_of('0') + 1);
    if (t.back() == '.')
        t.pop_back();
    if (t == "-0")
        t = "0";
    return Replace(t, ".", r.SeparadorDecimal);
}

} // namespace olvado
