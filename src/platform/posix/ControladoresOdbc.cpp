// POSIX: the drivers come from the tables of Debian's unixODBC packages
// (FreeTDS, MDB Tools); the environment the driver manager and the drivers read.
#include "platform/ControladoresOdbc.h"

#include <cstdlib>
#include <string_view>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace olvado::platform {

SistemaOdbc SistemaOdbcPropio() { return SistemaOdbc::Linux; }

void PrepararEntornoOdbc() {
    if (::geteuid() != 0 && ::geteuid() == ::getuid())
        return;
    static constexpr std::string_view kPrefijos[] = {"ODBC", "FREETDS", "TDS", "MYSQL", "MARIADB", "LIBMYSQL"};
    std::vector<std::string> quitar; // collected first: unsetenv changes environ
    for (char** e = environ; e && *e; ++e) {
        const std::string_view v(*e);
        const std::string_view nombre = v.substr(0, v.find('='));
        for (std::string_view p : kPrefijos)
            if (nombre.substr(0, p.size()) == p)
                quitar.emplace_back(nombre);
    }
    for (const auto& n : quitar)
        ::unsetenv(n.c_str());
}

} // namespace olvado::platform
