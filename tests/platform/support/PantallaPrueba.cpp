#include "support/PantallaPrueba.h"

#include "platform/ProcesoHijo.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace olvado::prueba {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Servidor {
    platform::ProcesoHijo xvfb, otro;
    std::string display;
    // Not under $TMPDIR: the tests' trees change it and remove it.
    fs::path carpeta =
        fs::path("/tmp") /
        ("olvado-pantalla-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    ~Servidor() {
        xvfb.Terminar();
        otro.Terminar();
        std::error_code ec;
        fs::remove_all(carpeta, ec);
    }
};

Servidor* servidor = nullptr;

std::string Salida(const std::vector<std::string>& argumentos) {
    fs::path salida = servidor->carpeta / "salida.txt";
    platform::ProcesoHijo p;
    p.RedirigirSalidas(salida.string(), "");
    if (!p.Iniciar(argumentos, {PantallaPrueba::Entorno()}))
        return {};
    p.Esperar();
    std::string s = LeerArchivo(salida);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

// Starts Xvfb on the first free display number; the number, "" on failure.
std::string IniciarXvfb(platform::ProcesoHijo& xvfb, const fs::path& numero) {
    // The server writes the display number it took to descriptor 3.
    bool iniciado = xvfb.Iniciar(
        {"/bin/sh", "-c",
         "exec Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>\"$0\" 2>/dev/null",
         numero.string()});
    for (int i = 0; iniciado && i < 100 && LeerArchivo(numero).find('\n') == std::string::npos; ++i)
        std::this_thread::sleep_for(100ms);
    std::string n = LeerArchivo(numero);
    return n.find('\n') == std::string::npos ? std::string() : n.substr(0, n.find('\n'));
}

} // namespace

bool PantallaPrueba::Iniciar() {
    if (servidor)
        return true;
    static std::unique_ptr<Servidor> propio = std::make_unique<Servidor>();
    fs::create_directories(propio->carpeta);
    std::string n = IniciarXvfb(propio->xvfb, propio->carpeta / "display");
    if (n == "0") {
        // The search starts at 0, which on a desktop is the user's own
        // display: a server that lands there only holds the number while a
        // second one takes the next free one.
        n = IniciarXvfb(propio->otro, propio->carpeta / "display2");
        propio->xvfb.Terminar();
    }
    if (n.empty() || n == "0") {
        ADD_FAILURE() << "Xvfb no arrancó";
        return false;
    }
    servidor = propio.get();
    servidor->display = ":" + n;
    return true;
}

std::pair<std::string, std::string> PantallaPrueba::Entorno() {
    return {"DISPLAY", servidor->display};
}

std::string PantallaPrueba::Xdotool(const std::vector<std::string>& argumentos) {
    std::vector<std::string> a{"/usr/bin/xdotool"};
    a.insert(a.end(), argumentos.begin(), argumentos.end());
    return Salida(a);
}

namespace {

// Searches every 200 ms, up to segundos, until a window so titled is there
// (abierta) or is not; the first id of the last search.
std::string Buscar(const std::string& titulo, int segundos, bool abierta) {
    for (int i = 1;; ++i) {
        std::string id = PantallaPrueba::Xdotool({"search", "--onlyvisible", "--name", "^" + titulo + "$"});
        if (id.empty() != abierta || i >= segundos * 5)
            return id.substr(0, id.find('\n'));
        std::this_thread::sleep_for(200ms);
    }
}

} // namespace

std::string PantallaPrueba::EsperarVentana(const std::string& titulo, int segundos) {
    return Buscar(titulo, segundos, true);
}

bool PantallaPrueba::EsperarCierre(const std::string& titulo, int segundos) {
    return Buscar(titulo, segundos, false).empty();
}

void PantallaPrueba::Teclas(const std::string& ventana, const std::vector<std::string>& teclas) {
    Xdotool({"windowfocus", "--sync", ventana});
    for (const auto& t : teclas) {
        Xdotool({"key", "--clearmodifiers", t});
        std::this_thread::sleep_for(150ms);
    }
}

std::string PantallaPrueba::Capturar(const std::string& nombre) {
    fs::path carpeta = fs::path(OLVADO_BINARY_DIR) / "capturas";
    fs::create_directories(carpeta);
    std::string ruta = (carpeta / (nombre + ".png")).string();
    Salida({"/usr/bin/import", "-window", "root", ruta});
    return ruta;
}

} // namespace olvado::prueba
