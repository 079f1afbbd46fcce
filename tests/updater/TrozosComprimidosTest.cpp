// Compressed pieces as the chunk loop pulls them: the package rebuilt across
// pieces into buffers of any size, what waits held under its bound by the
// densest stream there is, and every hostile stream refused with a reason.
#include "updater/TrozosComprimidos.h"

#include "common/CompresorZstd.h"
#include "updater/PaqueteEnTrozos.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace olvado;

namespace {

// The stream cut into pieces, as publicar stores it.
std::vector<std::string> Cortar(const std::string& flujo) {
    std::vector<std::string> piezas;
    for (size_t i = 0; i < flujo.size(); i += PaqueteEnTrozos::kTamanoTrozo)
        piezas.push_back(flujo.substr(i, PaqueteEnTrozos::kTamanoTrozo));
    return piezas;
}

struct Lectura {
    std::string paquete, motivo;
    bool ok = false;
    size_t pendienteMayor = 0;
};

// Pulls everything in buffers of `largo` bytes.
Lectura Leer(const std::vector<std::string>& piezas, size_t largo) {
    size_t i = 0;
    TrozosComprimidos t(
        [&](uint8_t* d, size_t n, std::string&) -> int64_t {
            EXPECT_GE(n, piezas[i].size());
            std::memcpy(d, piezas[i].data(), piezas[i].size());
            return static_cast<int64_t>(piezas[i++].size());
        },
        static_cast<int64_t>(piezas.size()));
    Lectura l;
    std::vector<uint8_t> buffer(largo);
    for (int64_t n; (n = t.Leer(buffer.data(), largo, l.motivo)) > 0;)
        l.paquete.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(n));
    l.ok = l.motivo.empty();
    l.pendienteMayor = t.PendienteMayor();
    return l;
}

// A frame of `bloques` runs of 128 KiB, 4 bytes each: the most output per
// byte of input that zstd has, declaring `declarado` bytes (none when 0).
std::string Runs(size_t bloques, uint32_t declarado) {
    std::string f("\x28\xB5\x2F\xFD", 4);
    if (declarado) {
        f += '\xA0'; // a single segment with a 4-byte content size
        for (int b = 0; b < 4; ++b)
            f += static_cast<char>(declarado >> (8 * b));
    } else {
        f += std::string("\x00\x58", 2); // a window of 2 MiB, no size
    }
    for (size_t i = 0; i < bloques; ++i)
        f += std::string(i + 1 == bloques ? "\x03\x00\x10" : "\x02\x00\x10", 3) + "z";
    return f;
}

} // namespace

TEST(TrozosComprimidosTest, ReconstruyeElPaqueteConLoPendienteAcotado) {
    std::mt19937 g(7);
    std::string paquete(3 << 20, '\0');
    for (char& c : paquete)
        c = static_cast<char>(g() % 48);
    paquete.replace(1 << 20, 1 << 20, std::string(1 << 20, 'x'));
    const auto z = CompresorZstd::Comprimir(paquete, {3, 0});
    ASSERT_TRUE(z);
    const std::vector<std::string> piezas = Cortar(*z);
    ASSERT_GE(piezas.size(), 2u);
    for (size_t largo : {Paquete::kTamanoBuffer, size_t{1000}}) {
        const Lectura l = Leer(piezas, largo);
        EXPECT_TRUE(l.ok) << l.motivo;
        EXPECT_TRUE(l.paquete == paquete) << largo;
        EXPECT_LE(l.pendienteMayor, TrozosComprimidos::kPendienteMaximo);
    }
    // The densest stream, read a byte at a time: what waits nears its bound
    // and never passes it.
    const Lectura l = Leer({Runs(64, 64 << 17)}, 1);
    EXPECT_TRUE(l.ok) << l.motivo;
    EXPECT_EQ(l.paquete, std::string(size_t{64} << 17, 'z'));
    EXPECT_GT(l.pendienteMayor, TrozosComprimidos::kPendienteMaximo - TrozosComprimidos::kBloqueMaximo);
    EXPECT_LE(l.pendienteMayor, TrozosComprimidos::kPendienteMaximo);

    // Hostile streams.
    const std::string dos = Runs(32, 32 << 17);
    std::vector<std::string> truncado = piezas;
    truncado.back().pop_back();
    std::vector<std::string> basura = piezas;
    basura[1].assign(basura[1].size(), '\x5A');
    const std::vector<std::pair<std::vector<std::string>, std::string>> casos = {
        {{Runs(1, 257u << 20)}, "el flujo declara 269484032 bytes, demasiados para 1 trozos"},
        {{Runs(4, 0)}, "el flujo no declara el tamaño del paquete"},
        {{dos + dos}, "el flujo da más bytes de los que declara"},
        {{Runs(4, 5 << 17)}, ""}, // short of its declared size: the library says so
        {truncado, ""},
        {basura, ""},
    };
    for (const auto& [p, motivo] : casos) {
        const Lectura m = Leer(p, Paquete::kTamanoBuffer);
        EXPECT_FALSE(m.ok);
        EXPECT_EQ(m.motivo.rfind("los trozos comprimidos no se pudieron leer: " + motivo, 0), 0u) << m.motivo;
        EXPECT_LT(m.paquete.size(), size_t{32} << 20);
    }
}

TEST(TrozosComprimidosTest, UnaPiezaQueFaltaEsElMotivo) {
    TrozosComprimidos t([](uint8_t*, size_t, std::string& m) -> int64_t { return m = "falta el trozo 0 de 1", -1; }, 1);
    std::vector<uint8_t> b(16);
    std::string motivo;
    EXPECT_EQ(t.Leer(b.data(), b.size(), motivo), -1);
    EXPECT_EQ(motivo, "falta el trozo 0 de 1");
}
