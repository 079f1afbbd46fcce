// The package launch with real processes (this test binary as the package)
// and its two helpers.
#include "process/Lanzamiento.h"
#include "platform/ArchivoSellado.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "support/ArbolPrueba.h"
#include "support/MensajesFalsos.h"
#include "support/LanzadorFalso.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

std::string Variable(const std::string& n) {
    return platform::LeerVariableEntorno("OLVADO_TEST_" + n);
}

// The child: after $OLVADO_TEST_DEMORA milliseconds, writes its arguments and
// folder to $OLVADO_TEST_REGISTRO, whole.
void RegistrarseYSalir() {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(Variable("DEMORA").c_str())));
    std::string texto;
    for (const auto& a : testing::internal::GetArgvs())
        texto += a + "\n";
    prueba::EscribirArchivo(Variable("REGISTRO") + ".tmp",
                            texto + "cwd=" + fs::current_path().string() + "\n");
    fs::rename(Variable("REGISTRO") + ".tmp", Variable("REGISTRO"));
    std::exit(0);
}

// The child's role, record and delay, set for this process (children inherit
// them); the filter that makes it run only the current test.
struct EntornoHijo {
    EntornoHijo(const fs::path& registro, const std::string& demora) {
        for (const auto& [n, v] : {std::pair{"ROL", std::string("registrar")},
                                   {"REGISTRO", registro.string()},
                                   {"DEMORA", demora}})
            platform::EstablecerVariableEntorno(std::string("OLVADO_TEST_") + n, v);
    }
    ~EntornoHijo() {
        for (const char* n : {"OLVADO_TEST_ROL", "OLVADO_TEST_REGISTRO", "OLVADO_TEST_DEMORA"})
            platform::EstablecerVariableEntorno(n, "");
    }
    const std::string filtro = std::string("--gtest_filter=LanzamientoTest.") +
                               testing::UnitTest::GetInstance()->current_test_info()->name();
};

bool Aparece(const fs::path& p) {
    for (int i = 0; i < 400 && !fs::exists(p); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fs::exists(p);
}

} // namespace

TEST(LanzamientoTest, PartirSepararYTextoDeError) {
    using V = std::vector<std::string>;
    EXPECT_EQ(PartirParametros(""), V{});
    EXPECT_EQ(PartirParametros("  /SILENT\t/SP-  "), (V{"/SILENT", "/SP-"}));
    EXPECT_EQ(PartirParametros("\"C:\\Archivos de programa\\a.exe\" x"), (V{"C:\\Archivos de programa\\a.exe", "x"}));
    EXPECT_EQ(PartirParametros(R"(a\\b "c\"d" e\\\"f "" g""h)"), (V{"a\\\\b", "c\"d", "e\\\"f", "", "gh"}));
    struct Caso {
        const char *entrada, *usuario, *dominio;
    } casos[] = {{"admin", "admin", ""},
                 {"OFICINA\\admin", "admin", "OFICINA"},
                 {"OFICINA\\admin\\x", "admin\\x", "OFICINA"},
                 {"\\admin\\x", "adminx", ""},
                 {"ñandú\\José", "José", "ñandú"},
                 {"", "", ""}};
    for (const auto& c : casos) {
        std::string u = "viejo", d = "viejo";
        SepararDominioUsuario(c.entrada, u, d);
        EXPECT_EQ(std::tie(u, d), std::tie(c.usuario, c.dominio)) << c.entrada;
    }
    // The system's own texts, line end included; none for an unknown code.
    for (int32_t codigo : {2, 5, 32, 267, 1326}) {
        std::string t = TextoErrorAPI(codigo);
        ASSERT_GE(t.size(), 3u) << codigo;
        EXPECT_EQ(t.substr(t.size() - 2), "\r\n") << codigo;
    }
    EXPECT_NE(TextoErrorAPI(2), TextoErrorAPI(5));
    EXPECT_EQ(TextoErrorAPI(0x7FFF1234), "");
}

// With an administrator's token the shell starts the package, waited for or
// not, from the bytes the check read.
TEST(LanzamientoTest, AdministradorArrancaConElShell) {
    if (prueba::RolHijo() == "registrar")
        RegistrarseYSalir();
    prueba::ArbolPrueba arbol;
    prueba::FichaFalsa ficha({"Administradores"});
    fs::path registro = arbol.Temporal() / "registro.txt";
    EntornoHijo hijo(registro, "300");
    const std::string yo = platform::RutaEjecutableActual();
    ASSERT_TRUE(EjecutarArchivoComoAdmin(0, yo, hijo.filtro + " /SILENT \"dos tres\"", "", "",
                                         arbol.Temporal().string(), true));
    // Waited for: the record is already there, with the arguments as given.
    std::string r = prueba::LeerArchivo(registro);
    EXPECT_NE(r.find("\n" + hijo.filtro + "\n/SILENT\ndos tres\ncwd="), std::string::npos) << r;

    // Without waiting the call returns while the child still sleeps.
    fs::remove(registro);
    platform::EstablecerVariableEntorno("OLVADO_TEST_DEMORA", "1500");
    ASSERT_TRUE(EjecutarArchivoComoAdmin(0, yo, hijo.filtro, "", "", "", false));
    EXPECT_FALSE(fs::exists(registro));
    EXPECT_TRUE(Aparece(registro));

    // A missing file fails, and the shell road reports nothing to the caller's log.
    std::vector<std::string> lineas;
    EXPECT_FALSE(EjecutarArchivoComoAdmin(0, (arbol.Temporal() / "no-existe.exe").string(), "", "", "", "",
                                          true, nullptr, [&](const std::string& t) { lineas.push_back(t); }));
    EXPECT_TRUE(lineas.empty());

    // The check has read the sealed package to its end; then someone puts
    // other bytes in its place (a script that would leave a mark). Whether
    // the system refuses the swap (Windows) or lets the path change (Linux),
    // the open file is what starts.
    fs::path paquete = arbol.Temporal() / "Olvado_Act.exe", otro = arbol.Temporal() / "otro.exe";
    fs::path marca = arbol.Temporal() / "cambiado.txt";
    fs::copy_file(yo, paquete);
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Abrir(paquete.string()));
    char buf[65536];
    while (sellado.Leer(buf, sizeof buf) > 0) {
    }
    prueba::EscribirArchivo(otro, "#!/bin/sh\necho cambiado > '" + marca.string() + "'\n");
    std::error_code ec;
    fs::rename(otro, paquete, ec);
    fs::permissions(paquete, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove(registro);
    platform::EstablecerVariableEntorno("OLVADO_TEST_DEMORA", "");
    ASSERT_TRUE(EjecutarArchivoComoAdmin(0, paquete.string(), hijo.filtro, "", "", "", true, &sellado));
    EXPECT_NE(prueba::LeerArchivo(registro).find(hijo.filtro), std::string::npos);
    EXPECT_FALSE(fs::exists(marca));

    // Before Windows 2000 the package is opened in a normal window, not waited
    // for, whatever account was stored.
    prueba::VersionFalsa nt4;
    nt4.registro.Major = 4;
    nt4.registro.Build = 1381;
    nt4.registro.Plataforma = 2;
    prueba::LanzadorFalso shell;
    EXPECT_TRUE(EjecutarArchivoComoAdmin(0, "C:\\Olvado_Act.exe", "/SILENT", "admin", "clave", "", true));
    ASSERT_EQ(shell.peticiones.size(), 1u);
    const auto& p = shell.peticiones[0];
    EXPECT_EQ(std::tie(p.verbo, p.archivo, p.mostrar, p.esperar),
              std::make_tuple("open", "C:\\Olvado_Act.exe", 1, false));
}
