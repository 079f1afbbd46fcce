// The Linux registry stand-in's files: what an administrator may write by
// hand, what the program writes, and a file it cannot parse.
#include "support/ErrorVisto.h"
#include "support/RegistroPrueba.h"

#include "base/Texto.h"
#include "common/StgC_FuncionesRegistro.h"
#include "common/cRegistry.h"
#include "platform/Registro.h"
#include "platform/posix/ArchivoReg.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <sys/stat.h>
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

std::string Utf16(const std::string& utf8) {
    std::string b;
    for (char16_t c : AUtf16(utf8))
        b += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return b;
}

// A value's data in a parsed hive, "<no>" when the key or the value is missing.
std::string Dato(platform::reg::Colmena& c, const std::string& clave, const std::string& nombre) {
    platform::reg::Clave* k = c.Buscar(clave);
    for (const auto& v : k ? k->valores : std::vector<platform::reg::Valor>{})
        if (platform::reg::MismoNombre(v.nombre, nombre))
            return v.datos;
    return "<no>";
}
} // namespace

// Every line form an export may hold, in each encoding and line end: read,
// rewritten unchanged byte for byte, and rewritten with a change that keeps
// the comments, the deletions and the other roots' sections.
TEST(RegistryPosixTest, CadaFormaDeUnaExportacionSeLeeYSeConserva) {
    namespace reg = platform::reg;
    auto hive = [](const std::string& fin, const std::string& cabecera, const std::string& enie) {
        std::string t;
        for (const std::string& l : std::vector<std::string>{
                 "; exportado a mano", cabecera, "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\O\\Viejo]",
                 "\"x\"=\"1\"", "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\O\\Viejo]",
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\O\\P] ; nota", "\"Borrado\"=\"b\"",
                 "\"V\"=\"texto " + enie + "\" ; nota", "\"N\"=dword:00000005 ; nota", "\"B\"=hex:01,\\",
                 "  02", "\"Borrado\"=-", "[HKEY_CURRENT_USER\\Software\\Ajeno]", "\"y\"=\"2\"",
                 "[HKCU\\Software\\Ajeno]"})
            t += l + fin;
        return t;
    };
    const std::string v5 = "Windows Registry Editor Version 5.00";
    const std::vector<std::pair<std::string, std::string>> formas = {
        {"CR LF", hive("\r\n", v5, "Ñ")},
        {"LF", hive("\n", v5, "Ñ")},
        {"CR", hive("\r", v5, "Ñ")},
        {"BOM UTF-8", "\xEF\xBB\xBF" + hive("\n", v5, "Ñ")},
        {"UTF-16LE", "\xFF\xFE" + Utf16(hive("\r\n", v5, "Ñ"))},
        {"REGEDIT4", hive("\r\n", "REGEDIT4", "\xD1")},
    };
    const std::string p = "SOFTWARE\\O\\P";
    for (const auto& [nombre, bytes] : formas) {
        SCOPED_TRACE(nombre);
        reg::Colmena c;
        ASSERT_TRUE(reg::Leer(bytes, "HKEY_LOCAL_MACHINE", c));
        auto comprobar = [&](reg::Colmena& h) {
            EXPECT_EQ(Dato(h, p, "v"), Utf16("texto Ñ") + std::string(2, '\0'));
            EXPECT_EQ(Dato(h, p, "N"), std::string("\x05\0\0\0", 4));
            EXPECT_EQ(Dato(h, p, "B"), "\x01\x02");
            EXPECT_EQ(Dato(h, p, "Borrado"), "<no>");
            EXPECT_FALSE(h.Existe("SOFTWARE\\O\\Viejo"));
            EXPECT_FALSE(h.Existe("Software\\Ajeno"));
        };
        comprobar(c);
        if (nombre != "REGEDIT4") { // written back as today's export
            EXPECT_EQ(reg::Escribir(c), bytes);
        }
        c.Buscar(p)->valores.push_back({"Nuevo", 4, std::string(4, '\x07')});
        const std::string escrito = reg::Escribir(c);
        const std::string texto =
            nombre == "UTF-16LE" ? Replace(escrito.substr(2), std::string(1, '\0'), "") : escrito;
        for (const char* queda : {"; exportado a mano", "; nota", "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\O\\Viejo]",
                                  "[HKEY_CURRENT_USER\\Software\\Ajeno]", "\"y\"=\"2\""})
            EXPECT_NE(texto.find(queda), std::string::npos) << queda << " en:\n" << texto;
        reg::Colmena otra;
        ASSERT_TRUE(reg::Leer(escrito, "HKEY_LOCAL_MACHINE", otra)) << texto;
        comprobar(otra);
        EXPECT_EQ(Dato(otra, p, "Nuevo"), std::string(4, '\x07'));
    }
    // What no export holds is not a hive: the whole file is refused.
    const std::string cab = v5 + "\r\n[HKLM\\x]\r\n";
    for (const std::string& roto :
         {std::string("[HKEY_LOCAL_MACHINE\\x]\r\n"), v5 + "\r\n[HKEY_NADA\\x]\r\n",
          v5 + "\r\n\"a\"=\"b\"\r\n", cab + "basura\r\n", cab + "\"a\"=dword:xyz\r\n",
          cab + "\"a\"=\"b\" c\r\n", cab + "\"a\"=hex:01,\\\r\n"}) {
        reg::Colmena c;
        EXPECT_FALSE(reg::Leer(roto, "HKEY_LOCAL_MACHINE", c)) << roto;
    }
}

TEST(RegistryPosixTest, ArchivoEditadoAManoSeLee) {
    prueba::ArbolPrueba arbol;
    fs::create_directories(Hklm(arbol).parent_path());
    const std::string aMano = "\xEF\xBB\xBF; configuracion del puesto\r\n"
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
                              "\"RAUse\"=\"ABC\"\n";
    prueba::EscribirArchivo(Hklm(arbol), aMano);
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

    // A write keeps everything else as it was (the mark, the comments, each
    // line's end), and what it writes reads back the same.
    EXPECT_TRUE(RegistroBase_SetValor("", "RACon", std::string("Ñ\"\\%"), 0, HKEY_LOCAL_MACHINE,
                                      "Olvado Systems", "Olvado", true));
    EXPECT_EQ(prueba::LeerArchivo(Hklm(arbol)), aMano + "\"RACon\"=\"Ñ\\\"\\\\%\"\r\n");
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
    // A setting that guards something tells such a hive from a missing one.
    std::string t, motivo;
    auto estricto = [&] {
        return RegistroBase_LeerTextoEstricto("", "ActualizacionPendiente", t, motivo, "Olvado Systems",
                                              "Olvado", false);
    };
    EXPECT_EQ(estricto(), LecturaRegistro::Fallido);
    EXPECT_NE(motivo.find("1009"), std::string::npos) << motivo;
    // So does a hive this account may not read (root's own, 0600).
    prueba::EscribirArchivo(Hklm(arbol), "Windows Registry Editor Version 5.00\r\n");
    if (::geteuid() == 0) {
        ::chmod(Hklm(arbol).c_str(), 0600);
        for (fs::path d = Hklm(arbol).parent_path(); d != arbol.Raiz().parent_path(); d = d.parent_path())
            ::chmod(d.c_str(), 0755);
        ASSERT_EQ(::seteuid(65534), 0);
        const LecturaRegistro leido = estricto();
        ASSERT_EQ(::seteuid(0), 0);
        EXPECT_EQ(leido, LecturaRegistro::Fallido);
        EXPECT_NE(motivo.find(": 5 "), std::string::npos) << motivo;
    }
    fs::remove(Hklm(arbol));
    EXPECT_EQ(estricto(), LecturaRegistro::Ausente);

    // A file without the header is not a hive either.
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

// A rewrite keeps the hive's owner and mode whatever the umask (a root run
// under umask 077 must not hide the hive from every other account); a new
// hive and its folders are readable by all.
TEST(RegistryPosixTest, ReescrituraConservaDuenoYModo) {
    prueba::ArbolPrueba arbol;
    const mode_t antes = ::umask(077);
    auto escrito = [&](const std::string& v) {
        EXPECT_TRUE(RegistroBase_SetValor("", "RAUse", v, 0, HKEY_LOCAL_MACHINE, "C", "P", true));
        struct stat st {};
        ::stat(Hklm(arbol).c_str(), &st);
        return std::make_tuple(st.st_mode & 07777, st.st_uid, st.st_gid);
    };
    EXPECT_EQ(escrito("1"), std::make_tuple(0644u, ::geteuid(), ::getegid()));
    EXPECT_EQ(fs::status(Hklm(arbol).parent_path()).permissions(), fs::perms(0755));
    ::chmod(Hklm(arbol).c_str(), 0640);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Hklm(arbol).c_str(), 65534, 65534), 0);
    }
    struct stat st {};
    ::stat(Hklm(arbol).c_str(), &st);
    EXPECT_EQ(escrito("2"), std::make_tuple(0640u, st.st_uid, st.st_gid));
    ::umask(antes);
}
