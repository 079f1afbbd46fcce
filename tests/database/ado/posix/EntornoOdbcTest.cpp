// Root with a user's environment kept (sudo -E): the driver manager reads the
// system's configuration, not the one ODBCSYSINI names.
#include "database/ado/Connection.h"
#include "platform/Entorno.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;

TEST(EntornoOdbcTest, UnaCorridaPrivilegiadaNoTomaElOdbcinstDeOtro) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "hacen falta privilegios de root";
    prueba::ArbolPrueba arbol;
    const fs::path ajena = arbol.Raiz() / "ajena";
    fs::create_directories(ajena);
    ASSERT_EQ(::chown(ajena.c_str(), 65534, 65534), 0);
    // The user's odbcinst.ini names the system's SQLite driver by a library of its own.
    prueba::EscribirArchivo(ajena / "odbcinst.ini",
                            "[SQLite3]\nDriver=" + ajena.string() + "/libplantada.so\n");
    platform::EstablecerVariableEntorno("ODBCSYSINI", ajena.string());
    ado::Connection cnx;
    EXPECT_NO_THROW(cnx.Open("Driver=SQLite3;Database=" + (arbol.Raiz() / "x.db").string()));
    EXPECT_EQ(platform::LeerVariableEntorno("ODBCSYSINI"), "");
    platform::EstablecerVariableEntorno("ODBCSYSINI", "");
}
