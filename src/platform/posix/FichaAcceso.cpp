// POSIX access token: the process's effective and supplementary groups.
#include "platform/FichaAcceso.h"

#include <grp.h>
#include <unistd.h>

namespace olvado::platform {
namespace {

// "" when the group has no entry in the group database.
std::string NombreGrupo(gid_t gid) {
    std::vector<char> buf(16384);
    group g{};
    group* r = nullptr;
    if (getgrgid_r(gid, &g, buf.data(), buf.size(), &r) != 0 || !r)
        return "";
    return r->gr_name;
}

class FichaPosix : public IFichaAcceso {
public:
    bool GruposDelToken(std::vector<std::string>& grupos) override {
        int n = ::getgroups(0, nullptr);
        if (n < 0)
            return false;
        std::vector<gid_t> ids(static_cast<size_t>(n));
        n = ::getgroups(n, ids.data());
        if (n < 0)
            return false;
        ids.resize(static_cast<size_t>(n));
        ids.insert(ids.begin(), ::getegid());
        if (::geteuid() == 0)
            ids.push_back(0);
        grupos.clear();
        for (gid_t g : ids)
            grupos.push_back(NombreGrupo(g));
        return true;
    }

    bool NombresAdministradores(std::vector<std::string>& nombres) override {
        std::string raiz = NombreGrupo(0);
        if (raiz.empty())
            return false;
        nombres = {raiz, "sudo", "wheel", "admin"};
        return true;
    }
};

} // namespace

IFichaAcceso& IFichaAcceso::DelSistema() {
    static FichaPosix ficha;
    return ficha;
}

} // namespace olvado::platform
