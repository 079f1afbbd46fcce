// Compressed pieces and deltas as the workstation reads them: fed buffer by
// buffer, rebuilt exactly, and anything hostile refused without harm.
#include "common/DescompresorZstd.h"
#include "common/CompresorZstd.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace olvado;

namespace {

std::string Azar(size_t n, uint64_t semilla) {
    std::string s(n, '\0');
    for (char& c : s) {
        semilla ^= semilla << 13, semilla ^= semilla >> 7, semilla ^= semilla << 17;
        c = static_cast<char>(semilla);
    }
    return s;
}

// Feeds the stream in buffers of `trozo` bytes; the output, or nothing when refused.
std::optional<std::string> Leer(DescompresorZstd& d, std::string* salida, std::string_view flujo,
                                size_t trozo) {
    for (size_t i = 0; i < flujo.size(); i += trozo)
        if (!d.Alimentar(flujo.substr(i, trozo)))
            return std::nullopt;
    return d.Terminar() ? std::optional(*salida) : std::nullopt;
}

std::optional<std::string> Piezas(std::string_view flujo, size_t trozo = 4096) {
    std::string s;
    DescompresorZstd d([&](std::string_view b) { return s.append(b), true; });
    return Leer(d, &s, flujo, trozo);
}

std::optional<std::string> Delta(std::string_view base, uint64_t tamano, std::string_view delta,
                                 size_t trozo = 65536) {
    std::string s;
    DescompresorZstd d(base, tamano, [&](std::string_view b) { return s.append(b), true; });
    return Leer(d, &s, delta, trozo);
}

} // namespace

TEST(DescompresorZstdTest, PiezasComprimidas) {
    std::string paquete = Azar(1 << 20, 1) + std::string(2 << 20, 'x') + Azar(1 << 20, 1);
    auto z = CompresorZstd::Comprimir(paquete, {3, 2});
    ASSERT_TRUE(z);
    EXPECT_LT(z->size(), (1u << 20) + 100000);
    EXPECT_EQ(Piezas(*z, 1000), paquete);
    EXPECT_EQ(Piezas(*z + *z), paquete + paquete);          // frames one after another
    EXPECT_FALSE(Piezas(*z + z->substr(0, z->size() - 1))); // the second frame cut short
    EXPECT_FALSE(Piezas(""));
    // A frame whose window is the readers' largest is read; twice that is refused.
    const std::string cabecera("\x28\xB5\x2F\xFD\x00", 5), bloqueVacio("\x01\x00\x00", 3);
    EXPECT_EQ(Piezas(cabecera + "\x70" + bloqueVacio), "");
    EXPECT_FALSE(Piezas(cabecera + "\x78" + bloqueVacio));
}

TEST(DescompresorZstdTest, DeltaReconstruyeElPaquete) {
    // 1 MiB inserted in the middle of 4 MiB, and a few bytes changed.
    std::string base = Azar(4 << 20, 2);
    std::string destino = base.substr(0, 2 << 20) + Azar(1 << 20, 3) + base.substr(2 << 20);
    for (size_t i = 100; i < destino.size(); i += 700000)
        destino[i] ^= 0x5A;
    auto delta = CompresorZstd::CrearDelta(base, destino, {19, 2});
    ASSERT_TRUE(delta);
    EXPECT_LT(delta->size(), (1u << 20) + 50000);
    EXPECT_EQ(Delta(base, destino.size(), *delta), destino);
    // Written in place: the same bytes, each part seen once.
    std::string enSuSitio(destino.size(), '\0'), vistos;
    DescompresorZstd d(base, std::span<char>(enSuSitio),
                       [&](std::string_view b) { return vistos.append(b), true; });
    EXPECT_TRUE(Leer(d, &vistos, *delta, 4096));
    EXPECT_EQ(enSuSitio, destino);
    EXPECT_EQ(vistos, destino);

    std::string otraBase = base;
    otraBase[3 << 20] ^= 1;
    EXPECT_FALSE(Delta(otraBase, destino.size(), *delta)); // the checksum fails
    EXPECT_FALSE(Delta(base, destino.size() + 1, *delta)); // another size
    EXPECT_FALSE(Delta(base, destino.size(), delta->substr(0, delta->size() - 1)));
    EXPECT_FALSE(Delta(base, destino.size(), delta->substr(0, 3))); // not even a header
    EXPECT_FALSE(Delta(base, destino.size(), *delta + *delta));     // bytes after it
}

TEST(DescompresorZstdTest, DeltaHostilRechazado) {
    // An empty frame with its size and checksum, as a delta over 1000 bytes:
    // read with a window of 1 KiB; refused with one of 1 GiB, or without its
    // checksum. Byte by byte: a frame whole in one buffer and small enough to
    // go straight to the output block needs no window, and libzstd reads it so.
    auto marco = [](char descriptor, char ventana) {
        return std::string("\x28\xB5\x2F\xFD", 4) + descriptor + ventana + std::string(4, '\0') +
               std::string("\x01\x00\x00", 3) + (descriptor & 4 ? std::string("\x99\xE9\xD8\x51") : "");
    };
    const std::string base(1000, 'a');
    EXPECT_EQ(Delta(base, 0, marco('\x84', '\x00'), 1), "");
    EXPECT_FALSE(Delta(base, 0, marco('\x84', '\xA0'), 1));
    EXPECT_FALSE(Delta(base, 0, marco('\x80', '\x00')));
    EXPECT_FALSE(Delta(base, 0, marco('\x84', '\x00').substr(0, 5))); // truncated in its header
    // Windows past 2 GiB are refused before anything is read.
    EXPECT_EQ(DescompresorZstd::VentanaLogDelta(3 << 20, 5 << 20), 23);
    EXPECT_EQ(DescompresorZstd::VentanaLogDelta((uint64_t{1} << 31) + 1, 10), 0);
    bool llamada = false;
    DescompresorZstd d(std::string_view(), uint64_t{1} << 32,
                       [&](std::string_view) { return llamada = true; });
    EXPECT_TRUE(d.Fallido());
    EXPECT_FALSE(d.Alimentar(marco('\x84', '\x00')));
    EXPECT_FALSE(llamada);
}
