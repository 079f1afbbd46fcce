// The family's named mutexes: every program of the family holds the base name
// while it runs; the updater holds it with the suffix "Updater". Each name has
// a global form ("Global\" + base, visible across sessions) and a local one.
#pragma once

#include <string>

namespace olvado {

inline constexpr const char* kMutexBase = "OlvadoSystems-9E2B64A8-EF85-46D1-9561-11A2FF589935";

std::string MutexNombreBase(bool Global);
// Both forms, each followed by "-" + Sufijo when Sufijo is not empty.
void MutexNombres(std::string& NombreGlobal, std::string& NombreLocal, const std::string& Sufijo);
// The global form exists, or (Global true) the local one does.
bool MutexExiste(const std::string& Sufijo, bool Global);
// Holds the local form and, with Global, the global one (open to everyone)
// until the process ends. False only when Verificar finds them already there;
// a creation that fails is not reported.
bool CrearMutex(const std::string& Sufijo, bool Global, bool Verificar);

} // namespace olvado
