// cRegistry and the settings functions against the real registry of each
// system (Wine's on Windows, the .reg stand-in on Linux).
#include "support/RegistroPrueba.h"

#include "common/StgC_FuncionesRegistro.h"
#include "common/cRegistry.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "platform/Registro.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

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

} // namespace

TEST(cRegistryTest, CadaTipoVuelveComoSeEscribio) {
    prueba::RegistroPrueba p;
    std::string ruta = p.Ruta() + "\\Tipos";
    platform::EstablecerVariableEntorno("OLVADO_PRUEBA_DIR", "C:\\datos");
    cRegistry r = En(ruta, "texto");
    r.value(std::string("Año ñandú"));
    EXPECT_EQ(std::get<std::string>(r.value()), "Año ñandú");
    EXPECT_EQ(r.ValueType(), REG_SZ);

    // An environment reference is stored expanded-on-read; a lone or doubled % is not one.
    r.ValueKey("expandir");
    r.value(std::string("%OLVADO_PRUEBA_DIR%\\x"));
    r.ValueType(0);
    EXPECT_EQ(std::get<std::string>(r.value()), "C:\\datos\\x");
    EXPECT_EQ(r.ValueType(), REG_EXPAND_SZ);
    r.ValueType(REG_EXPAND_SZ);
    for (std::string t : {"50% menos", "100%%", "%"}) {
        r.ValueKey("porciento");
        r.ValueType(REG_EXPAND_SZ);
        r.value(t);
        EXPECT_EQ(std::get<std::string>(r.value()), t);
        EXPECT_EQ(r.ValueType(), REG_SZ) << t;
    }

    r.ValueKey("bytes");
    r.ValueType(REG_BINARY);
    r.value(Bytes{0, 1, 0xFF});
    EXPECT_EQ(std::get<Bytes>(r.value()), (Bytes{0, 1, 0xFF, 0})); // one zero byte appended
    EXPECT_EQ(r.ValueType(), REG_BINARY);

    r.ValueKey("numero");
    r.ValueType(REG_DWORD);
    r.value(int32_t{-5});
    EXPECT_EQ(std::get<int32_t>(r.value()), -5);
    r.ValueType(REG_DWORD_BIG_ENDIAN); // written as a plain REG_DWORD, no reversal
    r.value(int16_t{258});
    EXPECT_EQ(std::get<int32_t>(r.value()), 258);
    EXPECT_EQ(r.ValueType(), REG_DWORD);
    r.ValueKey("doble");
    r.ValueType(REG_DWORD);
    r.Default(std::string("nada"));
    r.value(2.5); // not an integer: nothing written, no error
    EXPECT_EQ(std::get<std::string>(r.value()), "nada");

    // Types the class does not write come from elsewhere; it reads them all.
    platform::HClave h = 0;
    auto& reg = platform::IRegistro::Actual();
    ASSERT_EQ(reg.AbrirClave(platform::HKEY_LOCAL_MACHINE_, ruta, 0x3F, h), 0);
    platform::ClaveRegistro clave(h);
    ASSERT_EQ(reg.EstablecerValor(h, "multi", REG_MULTI_SZ, std::string("uno\0dos\0\0", 9)), 0);
    ASSERT_EQ(reg.EstablecerValor(h, "grande", REG_DWORD_BIG_ENDIAN, std::string("\x01\x02\x03\x04", 4)), 0);
    r.ValueKey("multi");
    EXPECT_EQ(std::get<std::string>(r.value()), std::string("uno\0dos\0", 8));
    r.ValueKey("grande");
    EXPECT_EQ(std::get<int32_t>(r.value()), 0x01020304);
    EXPECT_EQ(r.ValueType(), REG_DWORD_BIG_ENDIAN);
    platform::EstablecerVariableEntorno("OLVADO_PRUEBA_DIR", "");
}

TEST(cRegistryTest, ErroresConSuNumeroFuenteYTexto) {
    prueba::RegistroPrueba p;
    cRegistry r = En(p.Ruta() + "\\NoExiste", "v");
    r.Default(int32_t{7});
    EXPECT_FALSE(r.KeyExists());
    EXPECT_EQ(std::get<int32_t>(r.value()), 7);
    try {
        r.DeleteValue();
        FAIL() << "DeleteValue de una clave inexistente";
    } catch (const ErrorOlvado& e) {
        EXPECT_EQ(e.Numero(), 26001);
        EXPECT_EQ(e.Origen(), Fuente());
        EXPECT_EQ(e.Descripcion(), "Failed to open key '-2147483646',Section: '" + p.Ruta() +
                                       "\\NoExiste' for delete access");
    }
    r.SectionKey(p.Ruta() + "\\Existe");
    EXPECT_TRUE(r.CreateKey());
    try {
        r.DeleteValue();
        FAIL();
    } catch (const ErrorOlvado& e) {
        EXPECT_EQ(e.Descripcion(),
                  "Failed to delete registry Key: '-2147483646',Section: '" + p.Ruta() + "\\Existe',Key: 'v");
    }
    r.ValueType(REG_BINARY);
    try {
        r.value(std::string("no son bytes"));
        FAIL();
    } catch (const ErrorOlvado& e) {
        EXPECT_EQ(e.Numero(), 26001);
        EXPECT_EQ(e.Descripcion(), "Error definido por la aplicación o el objeto");
    }
    r.ValueType(11);
    try {
        r.value(std::string("x"));
        FAIL();
    } catch (const ErrorOlvado& e) {
        EXPECT_EQ(e.Numero(), static_cast<int32_t>(0x800469A9u));
        EXPECT_EQ(e.Descripcion(), "Failed to set registry value Key: '-2147483646',Section: '" + p.Ruta() +
                                       "\\Existe',Key: 'v' to value: 'x'");
    }
    r.ClassKey(0x1234); // not a root: nothing can be created under it
    try {
        r.CreateKey();
        FAIL();
    } catch (const ErrorOlvado& e) {
        EXPECT_EQ(e.Descripcion(), "Failed to create registry Key: '" + p.Ruta() + "\\Existe");
    }
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey(p.Ruta());
    EXPECT_THROW(r.DeleteKey(), ErrorOlvado); // it still has a sub-key
}

TEST(cRegistryTest, FuncionesDeConfiguracion) {
    prueba::RegistroPrueba p;
    const std::string c = p.Compania();
    Variante v;
    EXPECT_EQ(RutaClaveConfiguracion("", "Olvado Systems", "Olvado", true), "SOFTWARE\\Olvado Systems\\Base\\");
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
    EXPECT_TRUE(RegistroBase_GetValor("", "falta", v, 0, std::string("d"), HKEY_LOCAL_MACHINE, c, "P", false));
    EXPECT_EQ(std::get<std::string>(v), "d");
    // A root nothing can be written under: False, no exception.
    EXPECT_FALSE(RegistroBase_SetValor("", "n", std::string("x"), 0, 0x1234, c, "P", false));
}

namespace {
// Forwards to the system's registry and notes the access mask of every open.
// The opens reach one view: on 64-bit Windows the 64-bit flag would show
// another one (what each view holds is the platform's own test).
class RegistroQueAnota : public platform::IRegistro {
public:
    std::vector<std::pair<std::string, uint32_t>> mascaras;
    platform::IRegistro& real = platform::IRegistro::Actual();
    int32_t AbrirClave(platform::HClave r, const std::string& s, uint32_t m, platform::HClave& c) override {
        mascaras.emplace_back("abrir", m);
        return real.AbrirClave(r, s, m & ~platform::KEY_WOW64_64KEY_, c);
    }
    int32_t CrearClave(platform::HClave r, const std::string& s, uint32_t m, platform::HClave& c) override {
        mascaras.emplace_back("crear", m);
        return real.CrearClave(r, s, m, c);
    }
    int32_t CerrarClave(platform::HClave c) override { return real.CerrarClave(c); }
    int32_t BorrarClave(platform::HClave r, const std::string& s) override { return real.BorrarClave(r, s); }
    int32_t ConsultarValor(platform::HClave c, const std::string& n, uint32_t& t, uint32_t& z,
                           std::string* d) override {
        return real.ConsultarValor(c, n, t, z, d);
    }
    int32_t EstablecerValor(platform::HClave c, const std::string& n, uint32_t t, const std::string& d) override {
        return real.EstablecerValor(c, n, t, d);
    }
    int32_t BorrarValor(platform::HClave c, const std::string& n) override { return real.BorrarValor(c, n); }
    int32_t EnumerarClave(platform::HClave c, uint32_t i, std::string& n) override {
        return real.EnumerarClave(c, i, n);
    }
    int32_t EnumerarValor(platform::HClave c, uint32_t i, std::string& n) override {
        return real.EnumerarValor(c, i, n);
    }
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
    using M = std::vector<std::pair<std::string, uint32_t>>;
    EXPECT_EQ(anota.mascaras, (M{{"abrir", 0x101}, {"crear", 0x3F}, {"crear", 0x3F}, {"abrir", 0x101},
                                 {"abrir", 0x13F}, {"abrir", 0x1}, {"abrir", 0x3F}}));
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
            if (!RegistroBase_SetValor("", "v" + yo + "-" + std::to_string(i), yo + ":" + std::to_string(i * 7), 0,
                                       HKEY_LOCAL_MACHINE, c, "P", false))
                std::exit(3);
        std::exit(0);
    }
    prueba::RegistroPrueba p;
    std::vector<std::unique_ptr<platform::ProcesoHijo>> hijos;
    for (int k = 0; k < kProcesos; ++k) {
        hijos.push_back(std::make_unique<platform::ProcesoHijo>());
        ASSERT_TRUE(hijos.back()->Iniciar(prueba::ArgumentosHijo("cRegistryTest.EscriturasConcurrentesNoSePierden"),
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
