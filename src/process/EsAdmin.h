// Whether the current user belongs to the built-in Administrators group.
// Shows nothing and logs nothing; the caller decides what to say.
#pragma once

namespace olvado {

// True when one of the groups of the current process's token has the same
// account name as the Administrators alias, compared exactly. Every group
// counts, also one held only for denial or disabled (a filtered token under
// user account control still answers true). False when the token, its
// groups or the Administrators name cannot be read.
bool EsUsuarioAdministrador();

} // namespace olvado
