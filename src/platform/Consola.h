// The command line and the standard streams of a console tool. Windows: the
// arguments come from GetCommandLineW, so any character survives, and text is
// written in the ANSI code page, as every text the system writes. Linux:
// UTF-8 both ways. DesdeConsola reads back what another program wrote that
// way (the tests of the tools use it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace olvado::platform {

// The program's arguments after its own name, as UTF-8 text. argv null: the
// running process's own, for code inside another program.
std::vector<std::string> ArgumentosPrograma(int argc, char** argv);
void EscribirSalida(std::string_view texto);
void EscribirError(std::string_view texto);
std::string DesdeConsola(std::string_view bytes);
// True when standard input is an interactive terminal (a console on
// Windows): the headless windows prompt only then.
bool EntradaEsTerminal();

} // namespace olvado::platform
