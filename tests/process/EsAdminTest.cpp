// The administrator test over a fake token: the rule that decides, not the
// system calls (those are tested per system under tests/platform).
#include "platform/FichaAcceso.h"
#include "process/EsAdmin.h"

#include <gtest/gtest.h>

using namespace olvado;

namespace {

class FichaFalsa : public platform::IFichaAcceso {
public:
    bool tokenOk = true, nombreOk = true;
    std::vector<std::string> grupos, administradores{"Administradores"};
    bool GruposDelToken(std::vector<std::string>& g) override {
        g = grupos;
        return tokenOk;
    }
    bool NombresAdministradores(std::vector<std::string>& n) override {
        n = administradores;
        return nombreOk;
    }
};


} // namespace

TEST(EsAdminTest, DecidePorElNombreExactoDelGrupo) {
    FichaFalsa ficha;
    platform::IFichaAcceso::Reemplazo instalada(ficha);
    // Privileged groups of other names do not count; letter case matters.
    ficha.grupos = {"Todos", "Operadores de copia de seguridad", "administradores", "", "Usuarios"};
    EXPECT_FALSE(EsUsuarioAdministrador());
    // The alias anywhere in the list counts, whatever domain it came from.
    ficha.grupos.push_back("Administradores");
    EXPECT_TRUE(EsUsuarioAdministrador());
    // Any of several administrator names (the Linux stand-in has four).
    ficha.grupos = {"users", "wheel"};
    ficha.administradores = {"root", "sudo", "wheel", "admin"};
    EXPECT_TRUE(EsUsuarioAdministrador());
    // An unresolved group never matches, even against an unresolved name.
    ficha.grupos = {""};
    ficha.administradores = {""};
    EXPECT_FALSE(EsUsuarioAdministrador());

    // A token or a name that cannot be read is no administrator.
    ficha.grupos = ficha.administradores = {"Administradores"};
    ficha.nombreOk = false;
    EXPECT_FALSE(EsUsuarioAdministrador());
    ficha.nombreOk = true;
    ficha.tokenOk = false;
    EXPECT_FALSE(EsUsuarioAdministrador());
    ficha.tokenOk = true;
    EXPECT_TRUE(EsUsuarioAdministrador());
}
