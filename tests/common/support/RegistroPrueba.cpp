#include "support/RegistroPrueba.h"

#include "common/cRegistry.h"
#include "platform/ProcesoHijo.h"

#include <atomic>
#include <chrono>

namespace olvado::prueba {

RegistroPrueba::RegistroPrueba(std::string compania) : compania_(std::move(compania)) {
    static std::atomic<int> contador{0};
    if (compania_.empty())
        compania_ = "OlvadoPrueba " +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 100000000) +
                    "-" + std::to_string(contador++);
    else
        // A key named by the caller is shared: start without what another test left.
        BorrarArbolRegistro(HKEY_LOCAL_MACHINE, Ruta());
}

RegistroPrueba::~RegistroPrueba() {
    try {
        BorrarArbolRegistro(HKEY_LOCAL_MACHINE, Ruta());
    } catch (...) {
    }
}

void BorrarArbolRegistro(int32_t raiz, const std::string& ruta) {
    cRegistry reg;
    reg.ClassKey(raiz);
    reg.SectionKey(ruta);
    if (!reg.KeyExists())
        return;
    std::vector<std::string> subs;
    int32_t n = 0;
    reg.EnumerateSections(subs, n);
    for (const auto& s : subs)
        BorrarArbolRegistro(raiz, ruta + "\\" + s);
    reg.SectionKey(ruta);
    reg.DeleteKey();
}

} // namespace olvado::prueba
