// The package's one chunk loop: buffers of any size become the held file, its
// MD5 and the SHA-256 its signature names, all from the same pass; a source
// that fails halfway leaves nothing, and a name already taken is not written.
#include "updater/Paquete.h"

#include "common/CompresorZstd.h"
#include "common/FirmaPaquete.h"
#include "platform/FirmaEd25519.h"
#include "support/ActualizadorPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace olvado;
namespace fs = std::filesystem;

TEST(PaqueteTest, UnaPasadaEscribeDigiereYFirmaOFallaSinDejarNada) {
    std::string bytes((3u << 20) + 5, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 + (i >> 20));
    std::string privada, publica;
    ASSERT_TRUE(platform::FirmaEd25519::GenerarClaves(privada, publica));
    platform::FirmaEd25519 entera;
    entera.Agregar(bytes.data(), bytes.size());
    prueba::ArbolPrueba arbol;
    const std::string ruta = (arbol.Temporal() / "Olvado_Act.exe").string();
    // Buffers shorter than the loop's, as a long column's driver may give them;
    // fallarEn: the buffer that fails (none when past the end).
    auto fuente = [&](size_t fallarEn) {
        return [&bytes, fallarEn, hecho = size_t{0},
                vez = size_t{0}](uint8_t* d, size_t n, std::string& motivo) mutable -> int64_t {
            if (vez++ == fallarEn)
                return motivo = "se cortó", -1;
            const size_t m = std::min({n, bytes.size() - hecho, size_t{700000} + vez});
            std::copy_n(bytes.data() + hecho, m, d);
            hecho += m;
            return static_cast<int64_t>(m);
        };
    };
    auto clave = [&](std::string& c, std::string&) { return c = publica, true; };

    Paquete p;
    p.Version = VersionPaquete{1, 0, 70};
    p.Empezar(ruta);
    std::string c, motivo;
    ASSERT_TRUE(p.Clave(c, motivo, clave));
    p.Firma = platform::FirmaEd25519::FirmarMensaje(
        privada, TextoFirmadoPaquete("Olvado", 1, 0, 70, entera.Sha256Hex()));
    ASSERT_TRUE(p.Escribir(fuente(SIZE_MAX), motivo)) << motivo;
    EXPECT_EQ(p.Digesto(), prueba::Md5(bytes));
    EXPECT_TRUE(p.FirmaValida("Olvado"));
    EXPECT_FALSE(p.FirmaValida("Otro"));
    EXPECT_EQ(p.Sellado().Tamano(), static_cast<int64_t>(bytes.size()));
    EXPECT_TRUE(prueba::LeerArchivo(fs::u8path(ruta)) == bytes);

    // The name is taken now: nothing is written over it.
    Paquete otro;
    otro.Empezar(ruta);
    EXPECT_FALSE(otro.Escribir(fuente(SIZE_MAX), motivo));
    EXPECT_TRUE(prueba::LeerArchivo(fs::u8path(ruta)) == bytes);

    const std::string corto = ruta + ".2";
    otro.Empezar(corto);
    motivo.clear();
    EXPECT_FALSE(otro.Escribir(fuente(3), motivo));
    EXPECT_EQ(motivo, "se cortó");
    EXPECT_FALSE(otro.Sellado().Abierto());
    EXPECT_FALSE(fs::exists(fs::u8path(corto)));
    EXPECT_EQ(otro.Digesto(), "");
}

// A delta over the file found at the path: held, its name freed, the target
// rebuilt in place and digested; hostile or wrong deltas leave nothing. A
// linked file is never taken as the previous package.
TEST(PaqueteTest, DeltaSobreElPaqueteAnteriorOFallaSinDejarNada) {
    std::string base(3u << 20, '\0');
    for (size_t i = 0; i < base.size(); ++i)
        base[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::string destino = base.substr(0, 1u << 20) + std::string(5000, 'x') + base.substr(1u << 20);
    destino[7] ^= 1;
    const auto delta = CompresorZstd::CrearDelta(base, destino, {});
    ASSERT_TRUE(delta);
    prueba::ArbolPrueba arbol;
    const std::string ruta = (arbol.Temporal() / "Olvado_Act.exe").string();
    prueba::EscribirArchivo(fs::u8path(ruta), base);
    fs::create_hard_link(fs::u8path(ruta), fs::u8path(ruta + ".otro"));
    Paquete p;
    p.Empezar(ruta);
    EXPECT_FALSE(p.RetenerPrevio());
    fs::remove(fs::u8path(ruta + ".otro"));
    ASSERT_TRUE(p.RetenerPrevio());
    EXPECT_EQ(p.DigestoPrevio(), prueba::Md5(base));
    ASSERT_TRUE(p.LiberarRuta());
    EXPECT_FALSE(fs::exists(fs::u8path(ruta)));
    const std::string_view vista = p.Base();
    ASSERT_TRUE(vista == base);

    auto de = [](const std::string& bytes) {
        return [bytes, hecho = size_t{0}](uint8_t* d, size_t n, std::string&) mutable -> int64_t {
            const size_t m = std::min(n, bytes.size() - hecho);
            std::copy_n(bytes.data() + hecho, m, d);
            hecho += m;
            return static_cast<int64_t>(m);
        };
    };
    std::string ventana("\x28\xB5\x2F\xFD\x84\xA0", 6); // a window of 1 GiB, the size, a checksum
    for (int i = 0; i < 4; ++i)
        ventana += static_cast<char>(destino.size() >> (8 * i));
    const std::string md5 = prueba::Md5(destino), otraBase = std::string(base.size(), 'b');
    for (const auto& [b, d, digesto] : std::vector<std::tuple<std::string_view, std::string, std::string>>{
             {vista, ventana + std::string(100, '\0'), md5},
             {vista, delta->substr(0, delta->size() / 2), md5},
             {otraBase, *delta, md5},
             {vista, *delta, prueba::Md5(base)}}) {
        std::string motivo;
        EXPECT_FALSE(p.Reconstruir(b, static_cast<int64_t>(destino.size()), de(d), digesto, motivo));
        EXPECT_NE(motivo, "");
        EXPECT_FALSE(p.Sellado().Abierto());
        EXPECT_FALSE(fs::exists(fs::u8path(ruta)));
    }
    std::string motivo;
    ASSERT_TRUE(p.Reconstruir(vista, static_cast<int64_t>(destino.size()), de(*delta), md5, motivo)) << motivo;
    EXPECT_EQ(p.Digesto(), md5);
    EXPECT_TRUE(prueba::LeerArchivo(fs::u8path(ruta)) == destino);
    p.CerrarPrevio(); // the base set aside goes with it
    EXPECT_EQ(std::distance(fs::directory_iterator(arbol.Temporal()), fs::directory_iterator()), 1);
}
