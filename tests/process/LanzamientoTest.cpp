// The package launch with real processes (this test binary as the package)
// and its two helpers.
#include "common/clsMD5File.h"
#include "common/clsStgComunes.h"
#include "platform/ArchivoSellado.h"
#include "platform/Entorno.h"
#include "platform/FichaAcceso.h"
#include "platform/ProcesoHijo.h"
#include "platform/VersionSistema.h"
#include "process/Lanzamiento.h"
#include "support/ArbolPrueba.h"
#include "support/MensajesFalsos.h"
#include "support/ShellFalso.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

// The child: writes its arguments and folder to $OLVADO_TEST_REGISTRO, after
// $OLVADO_TEST_DEMORA milliseconds.
void RegistrarseYSalir() {
    std::string demora = platform::LeerVariableEntorno("OLVADO_TEST_DEMORA");
    if (!demora.empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(demora.c_str())));
    std::string texto;
    for (const auto& a : testing::internal::GetArgvs())
        texto += a + "\n";
    texto += "cwd=" + fs::current_path().string() + "\n";
    prueba::EscribirArchivo(platform::LeerVariableEntorno("OLVADO_TEST_REGISTRO") + ".tmp", texto);
    fs::rename(platform::LeerVariableEntorno("OLVADO_TEST_REGISTRO") + ".tmp",
               platform::LeerVariableEntorno("OLVADO_TEST_REGISTRO"));
    std::exit(0);
}

class FichaFija : public platform::IFichaAcceso {
public:
    explicit FichaFija(bool admin) : admin_(admin) {}
    Reemplazo enUso_{*this};
    bool GruposDelToken(std::vector<std::string>& g) override {
        g = {admin_ ? "Administradores" : "Usuarios"};
        return true;
    }
    bool NombresAdministradores(std::vector<std::string>& n) override {
        n = {"Administradores"};
        return true;
    }

private:
    bool admin_;
};

// The environment the child reads, set for this process (children inherit it).
struct EntornoHijo {
    EntornoHijo(const std::string& rol, const fs::path& registro, const std::string& demora = "") {
        platform::EstablecerVariableEntorno("OLVADO_TEST_ROL", rol);
        platform::EstablecerVariableEntorno("OLVADO_TEST_REGISTRO", registro.string());
        platform::EstablecerVariableEntorno("OLVADO_TEST_DEMORA", demora);
    }
    ~EntornoHijo() {
        for (const char* v : {"OLVADO_TEST_ROL", "OLVADO_TEST_REGISTRO", "OLVADO_TEST_DEMORA"})
            platform::EstablecerVariableEntorno(v, "");
    }
};

bool Aparece(const fs::path& p) {
    for (int i = 0; i < 400 && !fs::exists(p); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fs::exists(p);
}

} // namespace

TEST(LanzamientoTest, SepararDominioUsuario) {
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
        EXPECT_EQ(u, c.usuario) << c.entrada;
        EXPECT_EQ(d, c.dominio) << c.entrada;
    }
}

TEST(LanzamientoTest, TextoErrorAPI) {
    for (int32_t codigo : {2, 5, 267, 1326}) {
        std::string t = TextoErrorAPI(codigo);
        ASSERT_GE(t.size(), 3u) << codigo;
        EXPECT_EQ(t.substr(t.size() - 2), "\r\n") << codigo;
    }
    EXPECT_NE(TextoErrorAPI(2), TextoErrorAPI(5));
    EXPECT_EQ(TextoErrorAPI(0x7FFF1234), "");
}

TEST(LanzamientoTest, AdministradorArrancaConElShellYEspera) {
    if (prueba::RolHijo() == "registrar")
        RegistrarseYSalir();
    prueba::ArbolPrueba arbol;
    FichaFija ficha(true);
    fs::path registro = arbol.Temporal() / "registro.txt";
    EntornoHijo entorno("registrar", registro, "300");
    std::string filtro = "--gtest_filter=LanzamientoTest.AdministradorArrancaConElShellYEspera";
    ASSERT_TRUE(EjecutarArchivoComoAdmin(0, platform::RutaEjecutableActual(), filtro + " /SILENT \"dos tres\"", "",
                                         "", arbol.Temporal().string(), true));
    // Waited for: the record is already there, with the arguments as given.
    std::string r = prueba::LeerArchivo(registro);
    EXPECT_NE(r.find("\n" + filtro + "\n/SILENT\ndos tres\ncwd="), std::string::npos) << r;

    // Without waiting the call returns while the child still sleeps.
    fs::remove(registro);
    EntornoHijo lento("registrar", registro, "1500");
    ASSERT_TRUE(EjecutarArchivoComoAdmin(0, platform::RutaEjecutableActual(), filtro, "", "", "", false));
    EXPECT_FALSE(fs::exists(registro));
    EXPECT_TRUE(Aparece(registro));
}

TEST(LanzamientoTest, ArchivoInexistenteFalla) {
    prueba::ArbolPrueba arbol;
    std::vector<std::string> lineas;
    FichaFija ficha(true);
    EXPECT_FALSE(EjecutarArchivoComoAdmin(0, (arbol.Temporal() / "no-existe.exe").string(), "", "", "", "", true,
                                          nullptr, [&](const std::string& t) { lineas.push_back(t); }));
    // The shell road reports nothing to the caller's log.
    EXPECT_TRUE(lineas.empty());
}

TEST(LanzamientoTest, LosBytesVerificadosSonLosQueCorren) {
    if (prueba::RolHijo() == "registrar")
        RegistrarseYSalir();
    prueba::ArbolPrueba arbol;
    FichaFija ficha(true);
    fs::path paquete = arbol.Temporal() / "Olvado_Act.exe";
    fs::copy_file(platform::RutaEjecutableActual(), paquete);
    std::string esperado = clsMD5File().DigestFileToHexStr(paquete.string());

    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Abrir(paquete.string()));
    // The check: the digest of the bytes read through the open file.
    clsMD5File md5;
    md5.MD5Init();
    char buf[65536];
    for (int64_t n; (n = sellado.Leer(buf, sizeof buf)) > 0;)
        md5.MD5Update(static_cast<int32_t>(n), reinterpret_cast<const std::uint8_t*>(buf));
    md5.MD5Final();
    ASSERT_EQ(md5.GetValues(), esperado);
    EXPECT_EQ(sellado.Tamano(), static_cast<int64_t>(fs::file_size(paquete)));

    // Someone puts other bytes in its place (a script that would leave a
    // mark). Whether the system refuses the swap (Windows) or lets the path
    // change (Linux), the open file is what starts.
    fs::path marca = arbol.Temporal() / "cambiado.txt";
    fs::path otro = arbol.Temporal() / "otro.exe";
    prueba::EscribirArchivo(otro, "#!/bin/sh\necho cambiado > '" + marca.string() + "'\n");
    std::error_code ec;
    fs::rename(otro, paquete, ec);
    fs::permissions(paquete, fs::perms::owner_all, fs::perm_options::add, ec);

    fs::path registro = arbol.Temporal() / "registro.txt";
    EntornoHijo entorno("registrar", registro);
    ASSERT_TRUE(EjecutarArchivoComoAdmin(0, paquete.string(),
                                         "--gtest_filter=LanzamientoTest.LosBytesVerificadosSonLosQueCorren", "",
                                         "", "", true, &sellado));
    EXPECT_NE(prueba::LeerArchivo(registro).find("LosBytesVerificadosSonLosQueCorren"), std::string::npos);
    EXPECT_FALSE(fs::exists(marca));
}

TEST(LanzamientoTest, LosMiembrosDeLasUtilidadesComunes) {
    if (prueba::RolHijo() == "registrar")
        RegistrarseYSalir();
    prueba::ArbolPrueba arbol;
    prueba::MensajesFalsos mensajes;
    clsStgComunes comunes;
    {
        FichaFija ficha(false);
        EXPECT_FALSE(comunes.EsAdministrador());
        EXPECT_EQ(mensajes.Cantidad(), 0u);
        EXPECT_FALSE(comunes.EsAdministrador(true));
        ASSERT_EQ(mensajes.Cantidad(), 1u);
        EXPECT_EQ(mensajes.Ultimo().texto, comunes.LRS(45212));
        EXPECT_EQ(mensajes.Ultimo().estilo, 48);
        EXPECT_EQ(mensajes.Ultimo().titulo, comunes.Producto());
        EXPECT_FALSE(comunes.EsAdministrador(true, "Pida ayuda"));
        EXPECT_EQ(mensajes.Ultimo().texto, "Pida ayuda");
    }
    FichaFija ficha(true);
    EXPECT_TRUE(comunes.EsAdministrador(true));
    EXPECT_EQ(mensajes.Cantidad(), 2u);

    // EjecutarComoAdmin always waits: the slow child has written its record.
    fs::path carpeta = arbol.Temporal() / "Instalador con espacios";
    fs::create_directories(carpeta);
    fs::path programa = carpeta / fs::path(platform::RutaEjecutableActual()).filename();
    fs::copy_file(platform::RutaEjecutableActual(), programa);
    fs::path registro = arbol.Temporal() / "registro.txt";
    EntornoHijo entorno("registrar", registro, "300");
    const std::string filtro = "--gtest_filter=LanzamientoTest.LosMiembrosDeLasUtilidadesComunes";
    ASSERT_TRUE(comunes.EjecutarComoAdmin(0, programa.string(), filtro + " /SILENT"));
    EXPECT_NE(prueba::LeerArchivo(registro).find(filtro + "\n/SILENT\n"), std::string::npos);

    // EjecutarArchivo: a refused start is False without a box of its own.
    EXPECT_FALSE(comunes.EjecutarArchivo((carpeta / "no-existe.exe").string()));
    EXPECT_EQ(mensajes.Cantidad(), 2u);
    fs::remove(registro);
    ASSERT_TRUE(comunes.EjecutarArchivo(programa.string(), filtro, 0, true));
    EXPECT_TRUE(fs::exists(registro));
}

// The verb and window each launch asks the shell for, and where its faults go.
TEST(LanzamientoTest, VerboYVentanaDeCadaLanzamiento) {
    prueba::MensajesFalsos mensajes;
    prueba::ShellFalso shell;
    struct Formulario : IFormulario {
        std::string TypeName() const override { return "Form"; }
        intptr_t hWnd() const override { return 42; }
        std::string Caption() const override { return "Clientes"; }
        void PopupMenu(IMenu&, int32_t, int32_t) override {}
        int32_t BitsPorPixel() const override { return 32; }
    } f;
    clsStgComunes comunes;
    EXPECT_TRUE(comunes.InvocarOutLook(" ana@ejemplo.com ", f));
    ASSERT_EQ(shell.peticiones.size(), 1u);
    const auto& m = shell.peticiones[0];
    EXPECT_EQ(std::tie(m.verbo, m.archivo, m.ventana, m.mostrar),
              std::make_tuple("open", "mailto:ana@ejemplo.com", 42, 1));
    // A fault of the shell call itself is EjecutarArchivo's message.
    shell.falla = ErrorOlvado(7, "Shell", "Memoria insuficiente");
    EXPECT_FALSE(comunes.EjecutarArchivo("C:\\informe.txt"));
    ASSERT_EQ(mensajes.Cantidad(), 1u);
    EXPECT_EQ(mensajes.Ultimo().texto, "Ocurrio un error al intentar ejecutar C:\\informe.txt");

    // Before Windows 2000 the package is opened in a normal window, not waited
    // for, whatever account was stored.
    struct NT4 : platform::IVersionSistema {
        int32_t ObtenerVersion(platform::RegistroVersion& r) override {
            r.Major = 4, r.Minor = 0, r.Build = 1381, r.Plataforma = 2;
            return 1;
        }
        int32_t MetricaSistema(int32_t) override { return 0; }
    } nt4;
    platform::IVersionSistema::Reemplazo antes2000(nt4);
    shell.falla.reset();
    shell.peticiones.clear();
    const bool lanzado = EjecutarArchivoComoAdmin(0, "C:\\Olvado_Act.exe", "/SILENT", "admin", "clave", "", true);
    EXPECT_TRUE(lanzado);
    ASSERT_EQ(shell.peticiones.size(), 1u);
    const auto& p = shell.peticiones[0];
    EXPECT_EQ(std::tie(p.verbo, p.archivo, p.mostrar, p.esperar),
              std::make_tuple("open", "C:\\Olvado_Act.exe", 1, false));
}
