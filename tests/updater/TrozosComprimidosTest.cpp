// Compressed pieces as the chunk loop pulls them: what waits held under its
// bound by the densest stream there is, and bombs refused before they fill
// a disk. (Publishing, installing and a truncated stream: the e2e tests.)
#include "updater/TrozosComprimidos.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace olvado;

namespace {

// A frame of `bloques` runs of 128 KiB, 4 bytes each (the most output per
// byte of input zstd has), declaring `declarado` bytes (no size when 0);
// read in one piece into buffers of `largo` bytes.
std::pair<std::string, size_t> Runs(size_t bloques, uint32_t declarado, size_t largo, std::string& motivo,
                                    size_t frames = 1) {
    std::string f("\x28\xB5\x2F\xFD", 4);
    f += declarado ? std::string("\xA0", 1) + std::string(reinterpret_cast<const char*>(&declarado), 4)
                   : std::string("\x00\x58", 2); // a window of 2 MiB, no size
    for (size_t i = 0; i < bloques; ++i)
        f += std::string(i + 1 == bloques ? "\x03\x00\x10" : "\x02\x00\x10", 3) + "z";
    for (std::string uno = f; --frames > 0;)
        f += uno;
    TrozosComprimidos t([&](uint8_t* d, size_t,
                            std::string&) { return std::memcpy(d, f.data(), f.size()), int64_t(f.size()); },
                        1);
    std::string paquete(largo, '\0'), salida;
    for (int64_t n; (n = t.Leer(reinterpret_cast<uint8_t*>(paquete.data()), largo, motivo)) > 0;)
        salida.append(paquete, 0, static_cast<size_t>(n));
    return {salida, t.PendienteMayor()};
}

} // namespace

TEST(TrozosComprimidosTest, LoPendienteAcotadoYLasBombasRechazadas) {
    // Read a byte at a time: what waits nears its bound and never passes it.
    std::string motivo;
    const auto [paquete, pendiente] = Runs(64, 64 << 17, 1, motivo);
    EXPECT_EQ(motivo, "");
    EXPECT_TRUE(paquete == std::string(size_t{64} << 17, 'z'));
    EXPECT_GT(pendiente, TrozosComprimidos::kPendienteMaximo - TrozosComprimidos::kBloqueMaximo);
    EXPECT_LE(pendiente, TrozosComprimidos::kPendienteMaximo);

    const std::string prefijo = "los trozos comprimidos no se pudieron leer: ";
    for (const auto& [bloques, declarado, frames, esperado] :
         std::vector<std::tuple<size_t, uint32_t, size_t, std::string>>{
             {1, 257u << 20, 1, "el flujo declara 269484032 bytes, demasiados para 1 trozos"},
             {4, 0, 1, "el flujo no declara el tamaño del paquete"},
             {32, 32 << 17, 2, "el flujo da más bytes de los que declara"}}) {
        motivo.clear();
        const auto [salida, _] = Runs(bloques, declarado, Paquete::kTamanoBuffer, motivo, frames);
        EXPECT_EQ(motivo, prefijo + esperado);
        EXPECT_LE(salida.size(), size_t{32} << 17);
    }
}
