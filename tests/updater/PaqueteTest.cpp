// The package's one chunk loop: buffers of any size become the held file, its
// MD5 and the SHA-256 its signature names, all from the same pass; a source
// that fails halfway leaves nothing, and a name already taken is not written.
#include "updater/Paquete.h"

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
