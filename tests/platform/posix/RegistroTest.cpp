// The Linux registry stand-in's files: what an administrator may write by
// hand, what the program writes, and a file it cannot parse.
#include "support/ErrorVisto.h"
#include "support/RegistroPrueba.h"

#include "common/StgC_FuncionesRegistro.h"
#include "common/cRegistry.h"
#include "platform/Registro.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;

namespace {
fs::path Hklm(const prueba::ArbolPrueba& a) {
    return a.Raiz() / "etc/olvado/HKLM.reg";
}

cRegistry Clave(const std::string& ruta, const std::string& valor) {
    cRegistry r;
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey(ruta);
    r.ValueKey(valor);
    r.Default(std::string("<defecto>"));
    return r;
}
} // namespace

TEST(RegistryPosixTest, ArchivoEditadoAManoSeLee) {
    prueba::ArbolPrueba arbol;
    fs::create_directories(Hklm(arbol).parent_path());
    prueba::EscribirArchivo(Hklm(arbol), "\xEF\xBB\xBF; configuracion del puesto\r\n"
                                         "\r\n"
                                         "Windows Registry Editor Version 5.00\r\n"
                                         "\r\n"
                                         "; la empresa\r\n"
                                         "[hkey_local_machine\\SOFTWARE\\Olvado Systems\\Olvado]\r\n"
                                         "\"ActualizadorSQLPendiente\" = \"en curso \\\"2\\\" C:\\\\x\"\r\n"
                                         "@=\"por defecto\"\r\n"
                                         "\"Numero\"=dword:0000000c\n"
                                         "\"Bytes\"=hex:01,02,\\\r\n"
                                         "  ff\r\n"
                                         "\"Expandir\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\r\n"
                                         "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                                         "[HKLM\\SOFTWARE\\Olvado Systems\\Base]\n"
                                         "\"RAUse\"=\"ABC\"\n");
    const std::string k = "SOFTWARE\\OLVADO SYSTEMS\\olvado"; // names compare without regard to case
    struct Esperado {
        std::string ruta, valor;
        Variante v;
        int32_t tipo;
    } esperados[] = {{k, "actualizadorsqlpendiente", std::string("en curso \"2\" C:\\x"), REG_SZ},
                     {k, "", std::string("por defecto"), REG_SZ},
                     {k, "Numero", int32_t{12}, REG_DWORD},
                     {k, "Bytes", std::vector<uint8_t>{1, 2, 0xFF, 0}, REG_BINARY},
                     {k, "Expandir", arbol.Home().string(), REG_EXPAND_SZ},
                     {k, "Multi", std::string("a\0b\0", 4), REG_MULTI_SZ},
                     {"SOFTWARE\\Olvado Systems\\Base\\", "RAUse", std::string("ABC"), REG_SZ}};
    auto comprobar = [&] {
        for (const auto& e : esperados) {
            cRegistry r = Clave(e.ruta, e.valor);
            EXPECT_EQ(r.value(), e.v) << e.valor;
            EXPECT_EQ(r.ValueType(), e.tipo) << e.valor;
        }
    };
    comprobar();

    // A write keeps everything else, and what it writes reads back the same.
    EXPECT_TRUE(RegistroBase_SetValor("", "RACon", std::string("Ñ\"\\%"), 0, HKEY_LOCAL_MACHINE,
                                      "Olvado Systems", "Olvado", true));
    std::string texto = prueba::LeerArchivo(Hklm(arbol));
    EXPECT_EQ(texto.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_NE(texto.find("\"RACon\"=\"Ñ\\\"\\\\%\"\r\n"), std::string::npos) << texto;
    comprobar();
    EXPECT_EQ(Clave("SOFTWARE\\Olvado Systems\\Base", "RACon").value(), Variante(std::string("Ñ\"\\%")));
    EXPECT_FALSE(fs::exists(Hklm(arbol).string() + ".tmp." + std::to_string(::getpid())));
}

TEST(RegistryPosixTest, ArchivoIlegibleNoSeSobrescribe) {
    prueba::ArbolPrueba arbol;
    fs::create_directories(Hklm(arbol).parent_path());
    const std::string danado = "Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Olvado Systems\\Olvado]\r\n"
                               "\"ActualizacionPendiente\"=\"1\"\r\n"
                               "\"Roto\"=dword:xyz\r\n";
    prueba::EscribirArchivo(Hklm(arbol), danado);
    Variante v;
    EXPECT_FALSE(RegistroBase_GetValor("", "ActualizacionPendiente", v, 1, int32_t{0}, HKEY_LOCAL_MACHINE,
                                       "Olvado Systems", "Olvado", false));
    EXPECT_EQ(std::get<int32_t>(v), 0);
    EXPECT_FALSE(RegistroBase_SetValor("", "ActualizacionPendiente", int32_t{0}, 1, HKEY_LOCAL_MACHINE,
                                       "Olvado Systems", "Olvado", false));
    cRegistry r = Clave("SOFTWARE\\Olvado Systems\\Olvado", "x");
    // The key cannot be opened for writing.
    EXPECT_EQ(prueba::ErrorDe([&] { r.value(std::string("y")); }).numero, 26001);
    EXPECT_THROW(r.CreateKey(), ErrorOlvado);
    EXPECT_EQ(prueba::LeerArchivo(Hklm(arbol)), danado);

    // Another hive's section, or a missing header, is not this hive either.
    prueba::EscribirArchivo(Hklm(arbol), "[HKEY_CURRENT_USER\\x]\r\n");
    EXPECT_FALSE(RegistroBase_SetValor("", "n", int32_t{0}, 1, HKEY_LOCAL_MACHINE, "C", "P", false));
    EXPECT_EQ(prueba::LeerArchivo(Hklm(arbol)), "[HKEY_CURRENT_USER\\x]\r\n");
}

TEST(RegistryPosixTest, UsuarioActualYBloqueoAjeno) {
    prueba::ArbolPrueba arbol;
    // The current user's hive is a file of its own.
    EXPECT_TRUE(RegistroBase_SetValor("", "n", int32_t{5}, 1, HKEY_CURRENT_USER, "C", "P", false));
    EXPECT_TRUE(fs::exists(arbol.Home() / ".config/olvado/HKCU.reg"));
    EXPECT_FALSE(fs::exists(Hklm(arbol)));
    Variante v;
    EXPECT_FALSE(RegistroBase_GetValor("", "n", v, 1, int32_t{-1}, HKEY_LOCAL_MACHINE, "C", "P", false));
    EXPECT_TRUE(RegistroBase_GetValor("", "n", v, 1, int32_t{-1}, HKEY_CURRENT_USER, "C", "P", false));
    EXPECT_EQ(std::get<int32_t>(v), 5);

    // Any user may open the side lock and keep it: a reader does not wait for
    // it and a writer gives up after a bounded wait, writing nothing.
    ASSERT_TRUE(RegistroBase_SetValor("", "n", int32_t{7}, 1, HKEY_LOCAL_MACHINE, "C", "P", false));
    const std::string antes = prueba::LeerArchivo(Hklm(arbol));
    int ajeno = ::open((Hklm(arbol).string() + ".lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(ajeno, LOCK_EX), 0);
    // In threads: a wait without end fails the test instead of hanging it.
    auto lector = std::async(std::launch::async, [] {
        Variante v;
        RegistroBase_GetValor("", "n", v, 1, int32_t{-1}, HKEY_LOCAL_MACHINE, "C", "P", false);
        return std::get<int32_t>(v);
    });
    auto escritor = std::async(std::launch::async, [] {
        return platform::IRegistro::Actual().BorrarClave(platform::HKEY_LOCAL_MACHINE_, "SOFTWARE\\C\\P");
    });
    bool aTiempo = lector.wait_for(std::chrono::seconds(2)) == std::future_status::ready &&
                   escritor.wait_for(std::chrono::seconds(8)) == std::future_status::ready;
    ::close(ajeno); // releases whoever still waits for it
    EXPECT_TRUE(aTiempo);
    EXPECT_EQ(lector.get(), 7);
    EXPECT_EQ(escritor.get(), 1016);
    EXPECT_EQ(prueba::LeerArchivo(Hklm(arbol)), antes);
}
