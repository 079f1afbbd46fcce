// Windows only: what the launch routes share: the command-line rules of the
// C run-time, and the account routes (CuentaAjena.cpp).
#pragma once

#include "platform/Lanzador.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::platform {

// One argument as the C run-time's parser (and CommandLineToArgvW) reads it
// back: as it is when it has no blank, tab or quote, else in double quotes
// with the backslashes before a quote doubled and the quote escaped.
std::string CitarArgumento(const std::string& a);
// The arguments so quoted, one blank between them ("" for none).
std::string LineaArgumentos(const std::vector<std::string>& argumentos);

} // namespace olvado::platform
