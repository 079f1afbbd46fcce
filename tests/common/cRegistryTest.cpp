// cRegistry and the settings functions against the real registry of each
// system (Wine's on Windows, the .reg stand-in on Linux).
#include "support/ErrorVisto.h"
#include "support/RegistroPrueba.h"

#include "common/StgC_FuncionesRegistro.h"
#include "common/cRegistry.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "platform/Registro.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

using namespace olvado;
using Bytes = std::vector<uint8_t>;

namespace {

cRegistry En(const std::string& ruta, const std::string& valor = "") {
    cRegistry r;
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey(ruta);
    r.ValueKey(valor);
    return r;
}

std::string Fuente() {
    return std::filesystem::path(platform::RutaEjecutableActual()).stem().string() + ".cRegistry";
}

// Writes `valor` as value `nombre` with `tipo` asked for; what reads back, and the type it reads as.
using Vuelta = std::pair<Variante, int32_t>;
Vuelta Ida(cRegistry& r, const std::string& nombre, int32_t tipo, const Variante& valor) {
    r.ValueKey(nombre);
    r.ValueType(tipo);
    r.value(valor);
    return {r.value(), r.ValueType()};
}

} // namespace

TEST(cRegistryTest, CadaTipoVuelveComoSeEscribio) {
    prueba::RegistroPrueba p;
    std::string ruta = p.Ruta() + "\\Tipos";
    platform::EstablecerVariableEntorno("OLVADO_PRUEBA_DIR", "C:\\datos");
    cRegistry r = En(ruta);
    EXPECT_EQ(Ida(r, "texto", REG_SZ, std::string("Año ñandú")), Vuelta(std::string("Año ñandú"), REG_SZ));
    // An environment reference is stored expanded-on-read; a lone or doubled % is not one.
    EXPECT_EQ(Ida(r, "expandir", REG_SZ, std::string("%OLVADO_PRUEBA_DIR%\\x")),
              Vuelta(std::string("C:\\datos\\x"), REG_EXPAND_SZ));
    for (std::string t : {"50% menos", "100%%", "%"})
        EXPECT_EQ(Ida(r, "porciento", REG_EXPAND_SZ, t), Vuelta(t, REG_SZ)) << t;
    // One zero byte appended; a big-endian number is written as a plain REG_DWORD, no reversal.
    EXPECT_EQ(Ida(r, "bytes", REG_BINARY, Bytes{0, 1, 0xFF}), Vuelta(Bytes{0, 1, 0xFF, 0}, REG_BINARY));
    EXPECT_EQ(Ida(r, "numero", REG_DWORD, int32_t{-5}), Vuelta(int32_t{-5}, REG_DWORD));
    EXPECT_EQ(Ida(r, "numero", REG_DWORD_BIG_ENDIAN, int16_t{258}), Vuelta(int32_t{258}, REG_DWORD));
    r.Default(std::string("nada"));
    // Not an integer: nothing written, no error.
    EXPECT_EQ(Ida(r, "doble", REG_DWORD, 2.5).first, Variante(std::string("nada")));

    // A type the class does not write comes from elsewhere; it reads it.
    platform::HClave h = 0;
    auto& reg = platform::IRegistro::Actual();
    ASSERT_EQ(reg.AbrirClave(platform::HKEY_LOCAL_MACHINE_, ruta, 0x3F, h), 0);
    platform::ClaveRegistro clave(h);
    ASSERT_EQ(reg.EstablecerValor(h, "grande", REG_DWORD_BIG_ENDIAN, std::string("\x01\x02\x03\x04", 4)), 0);
    r.ValueKey("grande");
    EXPECT_EQ((Vuelta{r.value(), r.ValueType()}), Vuelta(int32_t{0x01020304}, REG_DWORD_BIG_ENDIAN));
    platform::EstablecerVariableEntorno("OLVADO_PRUEBA_DIR", "");
}

TEST(cRegistryTest, ErroresConSuNumeroFuenteYTexto) {
    const auto error = [](int32_t numero, const std::string& texto) {
        return prueba::ErrorVisto{numero, Fuente(), texto};
    };
    prueba::RegistroPrueba p;
    const std::string seccion = "'-2147483646',Section: '" + p.Ruta();
    cRegistry r = En(p.Ruta() + "\\NoExiste", "v");
    r.Default(int32_t{7});
    EXPECT_FALSE(r.KeyExists());
    EXPECT_EQ(std::get<int32_t>(r.value()), 7);
    EXPECT_EQ(prueba::ErrorDe([&] { r.DeleteValue(); }),
              error(26001, "Failed to open key " + seccion + "\\NoExiste' for delete access"));
    r.SectionKey(p.Ruta() + "\\Existe");
    EXPECT_TRUE(r.CreateKey());
    EXPECT_EQ(prueba::ErrorDe([&] { r.DeleteValue(); }),
              error(26001, "Failed to delete registry Key: " + seccion + "\\Existe',Key: 'v"));
    r.ValueType(REG_BINARY);
    EXPECT_EQ(prueba::ErrorDe([&] { r.value(std::string("no son bytes")); }),
              error(26001, "Error definido por la aplicación o el objeto"));
    r.ValueType(11);
    EXPECT_EQ(prueba::ErrorDe([&] { r.value(std::string("x")); }),
              error(static_cast<int32_t>(0x800469A9u),
                    "Failed to set registry value Key: " + seccion + "\\Existe',Key: 'v' to value: 'x'"));
    r.ClassKey(0x1234); // not a root: nothing can be created under it
    EXPECT_EQ(prueba::ErrorDe([&] { r.CreateKey(); }),
              error(26001, "Failed to create registry Key: '" + p.Ruta() + "\\Existe"));
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey(p.Ruta());
    EXPECT_THROW(r.DeleteKey(), ErrorOlvado); // it still has a sub-key
}

TEST(cRegistryTest, FuncionesDeConfiguracion) {
    prueba::RegistroPrueba p;
    const std::string c = p.Compania();
    Variante v;
    EXPECT_EQ(RutaClaveConfiguracion("", "Olvado Systems", "Olvado", true),
              "SOFTWARE\\Olvado Systems\\Base\\");
    EXPECT_EQ(RutaClaveConfiguracion("\\Sub", "C", "P", false), "SOFTWARE\\C\\P\\Sub");
    EXPECT_FALSE(RegistroBase_GetValor("", "n", v, 0, std::string("def"), HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_EQ(std::get<std::string>(v), "def");

    EXPECT_TRUE(RegistroBase_SetValor("", "n", int32_t{12}, 1, HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_TRUE(RegistroBase_SetValor("Sub", "t", std::string("abc"), 0, HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_TRUE(RegistroBase_SetValor("", "vacio", std::string("abc"), 2, HKEY_LOCAL_MACHINE, c, "P", true));
    EXPECT_TRUE(En(p.Ruta() + "\\P\\Sub").KeyExists());

    EXPECT_TRUE(RegistroBase_GetValor("", "n", v, 1, int32_t{-1}, HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_EQ(std::get<int32_t>(v), 12); // stored as the text "12", read as a number
    EXPECT_TRUE(RegistroBase_GetValor("\\Sub", "t", v, 1, int32_t{-1}, HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_EQ(std::get<int32_t>(v), -1); // "abc" is not a number: the default
    EXPECT_TRUE(RegistroBase_GetValor("Sub", "t", v, 0, int32_t{-1}, HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_EQ(std::get<std::string>(v), "abc");
    EXPECT_TRUE(RegistroBase_GetValor("", "vacio", v, 0, std::string("x"), HKEY_LOCAL_MACHINE, c, "P", true));
    EXPECT_EQ(std::get<std::string>(v), ""); // kind 2 writes an empty text
    // The key exists, the value does not: still True, with the default.
    EXPECT_TRUE(
        RegistroBase_GetValor("", "falta", v, 0, std::string("d"), HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_EQ(std::get<std::string>(v), "d");
    // A root nothing can be written under: False, no exception.
    EXPECT_FALSE(RegistroBase_SetValor("", "n", std::string("x"), 0, 0x1234, c, "P", false));

    // A guarding setting's strict read: a missing key or value is an absence, another type a failure.
    std::string t = "x", motivo;
    EXPECT_EQ(RegistroBase_LeerTextoEstricto("", "n", t, motivo, c, "Otro", false), LecturaRegistro::Ausente);
    EXPECT_EQ(RegistroBase_LeerTextoEstricto("", "falta", t, motivo, c, "P", false),
              LecturaRegistro::Ausente);
    EXPECT_EQ(t, "");
    EXPECT_EQ(RegistroBase_LeerTextoEstricto("", "n", t, motivo, c, "P", false), LecturaRegistro::Leido);
    EXPECT_EQ(t, "12");
    cRegistry d = En(p.Ruta() + "\\P");
    Ida(d, "d", REG_DWORD, int32_t{1});
    EXPECT_EQ(RegistroBase_LeerTextoEstricto("", "d", t, motivo, c, "P", false), LecturaRegistro::Fallido);
    EXPECT_NE(motivo.find("REG_SZ"), std::string::npos) << motivo;
}

namespace {
// Forwards to the system's registry and notes the access mask of every open.
// The opens reach one view: on 64-bit Windows the 64-bit flag would show
// another one (what each view holds is the platform's own test).
class RegistroQueAnota : public platform::IRegistro {
    using H = platform::HClave;
    using S = const std::string&;
    platform::IRegistro& real = platform::IRegistro::Actual();

  public:
    std::vector<std::string> mascaras; // "abrir 101": what was asked, the mask in hexadecimal
    void Anotar(const char* que, uint32_t mascara) {
        std::ostringstream texto;
        texto << que << " " << std::hex << mascara;
        mascaras.push_back(texto.str());
    }
    int32_t AbrirClave(H r, S s, uint32_t m, H& c) override {
        Anotar("abrir", m);
        return real.AbrirClave(r, s, m & ~platform::KEY_WOW64_64KEY_, c);
    }
    int32_t CrearClave(H r, S s, uint32_t m, H& c) override {
        Anotar("crear", m);
        return real.CrearClave(r, s, m, c);
    }
    int32_t CerrarClave(H c) override { return real.CerrarClave(c); }
    int32_t BorrarClave(H r, S s) override { return real.BorrarClave(r, s); }
    int32_t ConsultarValor(H c, S n, uint32_t& t, uint32_t& z, std::string* d) override {
        return real.ConsultarValor(c, n, t, z, d);
    }
    int32_t EstablecerValor(H c, S n, uint32_t t, S d) override { return real.EstablecerValor(c, n, t, d); }
    int32_t BorrarValor(H c, S n) override { return real.BorrarValor(c, n); }
    int32_t EnumerarClave(H c, uint32_t i, std::string& n) override { return real.EnumerarClave(c, i, n); }
    int32_t EnumerarValor(H c, uint32_t i, std::string& n) override { return real.EnumerarValor(c, i, n); }
};
} // namespace

TEST(cRegistryTest, MascarasDeAcceso) {
    prueba::RegistroPrueba p;
    RegistroQueAnota anota;
    platform::IRegistro::Reemplazo enUso(anota);
    cRegistry r = En(p.Ruta(), "v");
    r.Modo64(true);
    r.KeyExists();
    r.CreateKey();
    r.value(std::string("x"));
    r.value();
    r.DeleteValue();
    r.Modo64(false);
    r.KeyExists();
    EXPECT_THROW(r.DeleteValue(), ErrorOlvado); // already deleted: the open succeeds, the deletion fails
    EXPECT_EQ(anota.mascaras, (std::vector<std::string>{"abrir 101", "crear 3f", "crear 3f", "abrir 101",
                                                        "abrir 13f", "abrir 1", "abrir 3f"}));
}

TEST(cRegistryTest, EnumeracionesYBorrado) {
    prueba::RegistroPrueba p;
    for (std::string s : {"Uno", "Dos"}) {
        cRegistry r = En(p.Ruta() + "\\" + s, "valor" + s);
        r.value(s);
    }
    cRegistry r = En(p.Ruta());
    std::vector<std::string> nombres;
    int32_t n = -1;
    EXPECT_TRUE(r.EnumerateSections(nombres, n));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(std::set<std::string>(nombres.begin(), nombres.end()), (std::set<std::string>{"Uno", "Dos"}));
    r.SectionKey(p.Ruta() + "\\Uno");
    EXPECT_TRUE(r.EnumerateValues(nombres, n));
    EXPECT_EQ(nombres, std::vector<std::string>{"valorUno"});
    EXPECT_TRUE(r.DeleteKey());
    EXPECT_FALSE(r.KeyExists());
    EXPECT_TRUE(r.EnumerateValues(nombres, n)); // a missing key lists nothing and still answers True
    EXPECT_EQ(n, 0);
    EXPECT_THROW(r.DeleteKey(), ErrorOlvado);
}

// Several processes write different values of one key at the same time; not
// one write may be lost.
TEST(cRegistryTest, EscriturasConcurrentesNoSePierden) {
    constexpr int kProcesos = 4, kEscrituras = 200;
    if (prueba::RolHijo() == "escribir") {
        std::string c = platform::LeerVariableEntorno("OLVADO_TEST_COMPANIA");
        std::string yo = platform::LeerVariableEntorno("OLVADO_TEST_HIJO");
        for (int i = 0; i < kEscrituras; ++i)
            if (!RegistroBase_SetValor("", "v" + yo + "-" + std::to_string(i),
                                       yo + ":" + std::to_string(i * 7), 0, HKEY_LOCAL_MACHINE, c, "P",
                                       false))
                std::exit(3);
        std::exit(0);
    }
    prueba::RegistroPrueba p;
    std::vector<std::unique_ptr<platform::ProcesoHijo>> hijos;
    for (int k = 0; k < kProcesos; ++k) {
        hijos.push_back(std::make_unique<platform::ProcesoHijo>());
        ASSERT_TRUE(
            hijos.back()->Iniciar(prueba::ArgumentosHijo("cRegistryTest.EscriturasConcurrentesNoSePierden"),
                                  {{"OLVADO_TEST_ROL", "escribir"},
                                   {"OLVADO_TEST_COMPANIA", p.Compania()},
                                   {"OLVADO_TEST_HIJO", std::to_string(k)}}));
    }
    for (auto& h : hijos)
        EXPECT_EQ(h->Esperar(), 0);
    int faltan = 0;
    for (int k = 0; k < kProcesos; ++k)
        for (int i = 0; i < kEscrituras; ++i) {
            Variante v;
            RegistroBase_GetValor("", "v" + std::to_string(k) + "-" + std::to_string(i), v, 0, std::string(),
                                  HKEY_LOCAL_MACHINE, p.Compania(), "P", false);
            faltan += std::get<std::string>(v) != std::to_string(k) + ":" + std::to_string(i * 7);
        }
    EXPECT_EQ(faltan, 0);
}
