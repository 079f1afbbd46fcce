// POSIX windows: the GUI module's GTK windows, when it loads.
#include "platform/Dialogos.h"
#include "platform/posix/ModuloGui.h"

namespace olvado::platform {

bool MostrarSeleccion(const TextosSeleccion& t, const std::vector<std::string>& elementos, int32_t& indice) {
    const OlvadoGuiTabla* gui = ModuloGui();
    if (!gui)
        return false;
    std::vector<const char*> textos;
    for (const auto& e : elementos)
        textos.push_back(e.c_str());
    indice = gui->Seleccion(t.Titulo.c_str(), t.Etiqueta.c_str(), t.Boton.c_str(), textos.data(),
                            static_cast<int>(textos.size()), indice);
    return true;
}

namespace {

IEventosCerrarAplicaciones& De(void* c) { return *static_cast<IEventosCerrarAplicaciones*>(c); }

} // namespace

bool MostrarCerrarAplicaciones(const TextosCerrarAplicaciones& t, IEventosCerrarAplicaciones& eventos) {
    const OlvadoGuiTabla* gui = ModuloGui();
    if (!gui)
        return false;
    OlvadoTextosCerrar textos{t.Titulo.c_str(), t.Etiqueta.c_str(), t.Continuar.c_str(), t.Cancelar.c_str(),
                              t.IntervaloMs};
    OlvadoEventosCerrar ev{
        &eventos,
        [](void* c) { return static_cast<int>(De(c).Lista().size()); },
        [](void* c, int i) { return De(c).Lista()[size_t(i)].c_str(); },
        [](void* c) { return De(c).Aviso().c_str(); },
        [](void* c) { return De(c).Visible() ? 1 : 0; },
        [](void* c) { De(c).AlTemporizador(); },
        [](void* c) { De(c).AlContinuar(); },
        [](void* c) { De(c).AlCancelar(); },
    };
    gui->Cerrar(&textos, &ev);
    return true;
}

} // namespace olvado::platform
