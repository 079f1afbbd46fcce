// A private X display for the tests that look at windows: one Xvfb per test
// program on a display number it picks itself (-displayfd), given only to
// the processes a test starts with Entorno(), driven with xdotool.
// Screenshots are kept as the run's artefacts in <build>/capturas.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace olvado::prueba {

class PantallaPrueba {
  public:
    // Started on first use, ended with the test program; false (and the
    // test failed) when Xvfb does not start.
    static bool Iniciar();
    // DISPLAY for a child that must show its windows there.
    static std::pair<std::string, std::string> Entorno();
    // Runs xdotool; its standard output.
    static std::string Xdotool(const std::vector<std::string>& argumentos);
    // The id of a window titled exactly so, waiting up to segundos; "" when none came.
    static std::string EsperarVentana(const std::string& titulo, int segundos = 20);
    // True when no window so titled remains within segundos.
    static bool EsperarCierre(const std::string& titulo, int segundos = 20);
    // Focuses the window and types the keys (xdotool key names).
    static void Teclas(const std::string& ventana, const std::vector<std::string>& teclas);
    // The whole screen into <build>/capturas/<nombre>.png; the path.
    static std::string Capturar(const std::string& nombre);
};

} // namespace olvado::prueba
