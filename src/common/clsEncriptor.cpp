#include "common/clsEncriptor.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <array>
#include <chrono>
#include <random>

namespace olvado {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Codes wrap by 255, not 256: that is how every stored cipher text was made.
int Corregir(int c) {
    if (c > 255)
        return c - 255;
    if (c < 0)
        return c + 255;
    return c;
}

// Two hexadecimal digits of either case; -1 when either is not one.
int ParHex(char alto, char bajo) {
    const int a = ValorDigitoHex(alto), b = ValorDigitoHex(bajo);
    return a < 0 || b < 0 ? -1 : a * 16 + b;
}

void AgregarHex(std::string& s, int valor) {
    s += kHex[(valor >> 4) & 15];
    s += kHex[valor & 15];
}

// Seeded from the clock on every call, so that two cipher texts of the same
// text differ; the steady clock adds resolution where the wall clock is coarse.
std::mt19937 GeneradorDelReloj() {
    const auto pared = std::chrono::system_clock::now().time_since_epoch().count();
    const auto continuo = std::chrono::steady_clock::now().time_since_epoch().count();
    std::seed_seq semilla{static_cast<unsigned>(pared), static_cast<unsigned>(pared >> 32),
                          static_cast<unsigned>(continuo), static_cast<unsigned>(continuo >> 32)};
    return std::mt19937(semilla);
}

} // namespace

std::string clsEncriptor::Encrypt(std::string Texto) {
    const std::string mensaje = AAnsi(Texto) + AAnsi(Comprobacion);

    auto generador = GeneradorDelReloj();
    std::uniform_int_distribution<int> digito(0, 15), bit(0, 1);
    std::array<char, 8> clave{};
    std::array<int, 8> bits{};
    for (int i = 0; i < 8; ++i) {
        clave[i] = kHex[digito(generador)];
        bits[i] = bit(generador);
    }

    std::string cuerpo;
    cuerpo.reserve(2 * mensaje.size());
    for (std::size_t j = 0; j < mensaje.size(); ++j) {
        const int p = static_cast<unsigned char>(mensaje[j]);
        const int k = static_cast<unsigned char>(clave[j % 8]);
        // j counts from 0 here: even j is an odd position.
        AgregarHex(cuerpo, Corregir(j % 2 == 0 ? p + k : p - k));
    }

    std::string delante, detras;
    int cabecera = 0;
    for (int i = 0; i < 8; ++i) {
        if (bits[i]) {
            delante.insert(delante.begin(), clave[i]);
            cabecera |= 0x80 >> i;
        } else {
            detras += clave[i];
        }
    }
    std::string resultado;
    AgregarHex(resultado, cabecera);
    return resultado + delante + cuerpo + detras;
}

std::string clsEncriptor::Decrypt(std::string& Cifrado, bool& Exito) {
    std::string resto = std::move(Cifrado);
    Cifrado.clear();
    if (resto.empty())
        return "";

    auto falla = [&Exito]() {
        Exito = false;
        return std::string();
    };
    if (resto.size() < 10)
        return falla();
    const int cabecera = ParHex(resto[0], resto[1]);
    if (cabecera < 0)
        return falla();

    // Key digit i sits in front when its bit is 1, behind when it is 0;
    // taking them from 8 down to 1 undoes the order in which they were put.
    std::array<char, 8> clave{};
    std::size_t inicio = 2, fin = resto.size();
    for (int i = 7; i >= 0; --i)
        clave[i] = (cabecera & (0x80 >> i)) ? resto[inicio++] : resto[--fin];
    if ((fin - inicio) % 2 != 0)
        return falla();

    std::string bytes;
    bytes.reserve((fin - inicio) / 2);
    for (std::size_t pos = inicio, j = 0; pos < fin; pos += 2, ++j) {
        const int c = ParHex(resto[pos], resto[pos + 1]);
        if (c < 0)
            return falla();
        const int k = static_cast<unsigned char>(clave[j % 8]);
        bytes += static_cast<char>(Corregir(j % 2 == 0 ? c - k : c + k));
    }

    const std::string comprobacion = AAnsi(Comprobacion);
    if (bytes.size() < comprobacion.size() ||
        bytes.compare(bytes.size() - comprobacion.size(), comprobacion.size(), comprobacion) != 0)
        return falla();
    Exito = true;
    return DesdeAnsi(bytes.substr(0, bytes.size() - comprobacion.size()));
}

} // namespace olvado
