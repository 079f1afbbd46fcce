// Root with a user's environment kept (sudo -E): the driver manager reads
// the system's configuration, not the one the user's ODBCSYSINI names.
#include "database/ado/Connection.h"
#include "platform/Entorno.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace olvado;

TEST(EntornoOdbcTest, UnaCorridaPrivilegiadaNoLeeLaConfiguracionDelUsuario) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "hacen falta privilegios de root";
    prueba::ArbolPrueba arbol;
    // The user's odbcinst.ini names the system's SQLite driver by a library of its own.
    prueba::EscribirArchivo(arbol.Raiz() / "odbcinst.ini",
                            "[SQLite3]\nDriver=" + arbol.Raiz().string() + "/libplantada.so\n");
    platform::EstablecerVariableEntorno("ODBCSYSINI", arbol.Raiz().string());
    ado::Connection cnx;
    EXPECT_NO_THROW(cnx.Open("Driver=SQLite3;Database=" + (arbol.Raiz() / "x.db").string()));
    EXPECT_EQ(platform::LeerVariableEntorno("ODBCSYSINI"), "");
    platform::EstablecerVariableEntorno("ODBCSYSINI", "");
}
