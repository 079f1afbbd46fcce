#include "process/frmCerrarAplicaciones.h"

#include "platform/Consola.h"
#include "platform/Eventos.h"

namespace olvado {

namespace {

struct Busqueda {
    const char* clase;
    const char* titulo;
};

// In this order: the family's programs by the product names in their titles,
// then every Internet Explorer frame and every Word main window.
const Busqueda kBusquedas[] = {
    {"*ThunderRT6*", "*Olvado*"},        {"*ThunderRT6*", "*MKadrix*"}, {"*ThunderRT6*", "*Lumiko*"},
    {"*ThunderRT6*", "*Kardel Fiscal*"}, {"IEFrame", "*"},              {"OpusApp", "*"},
};

// Blanks (U+0020 only) removed at both ends.
std::string SinBlancos(const std::string& s) {
    size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(i, s.find_last_not_of(' ') - i + 1);
}

} // namespace

bool CoincidePatron(const std::string& texto, const std::string& patron) {
    // Greedy match with one back-tracking point: the last "*" seen.
    size_t t = 0, p = 0, estrella = std::string::npos, desde = 0;
    while (t < texto.size()) {
        if (p < patron.size() && patron[p] == '*') {
            estrella = p++;
            desde = t;
        } else if (p < patron.size() && patron[p] == texto[t]) {
            ++p;
            ++t;
        } else if (estrella != std::string::npos) {
            p = estrella + 1;
            t = ++desde;
        } else {
            return false;
        }
    }
    while (p < patron.size() && patron[p] == '*')
        ++p;
    return p == patron.size();
}

frmCerrarAplicaciones::frmCerrarAplicaciones() {
    ProgramasCerrados = false;
    ActualizarLista();
}

bool frmCerrarAplicaciones::TodoListo() const {
    if (list1_.empty())
        return true;
    return list1_.size() == 1 && SinBlancos(list1_[0]) == NombreProducto;
}

void frmCerrarAplicaciones::Show() {
    visible_ = true;
    platform::TextosCerrarAplicaciones textos{kCaption, kLabel1, "&Continuar", "&Cancelar", 2000};
    if (platform::MostrarCerrarAplicaciones(textos, *this))
        return;
    // No window system to show it on: nobody can close anything, so the
    // list goes to standard error and the answer is the cancel button's.
    std::string texto = std::string(kCaption) + "\n" + kLabel1 + "\n";
    for (const auto& e : list1_)
        texto += "  " + e + "\n";
    platform::EscribirError(texto + "\n");
    Command1_Click();
}

void frmCerrarAplicaciones::bContinuar_Click() {
    ProgramasCerrados = TodoListo();
    if (ProgramasCerrados) {
        visible_ = false;
    } else {
        platform::Pitido();
        label2_ = kAviso;
    }
}

void frmCerrarAplicaciones::ActualizarLista() {
    list1_.clear();
    for (const auto& b : kBusquedas)
        BuscarVentanas(0, b.titulo, b.clase);
    if (TodoListo())
        bContinuar_Click();
}

void frmCerrarAplicaciones::BuscarVentanas(platform::Ventana Padre, const std::string& Titulo,
                                           const std::string& Clase) {
    auto& sistema = platform::IVentanasSistema::Actual();
    if (profundidad_ == 0 && Padre == 0)
        Padre = sistema.Escritorio();
    ++profundidad_;
    // Depth first: a window's own children are listed before it.
    for (platform::Ventana h = sistema.Relacionada(Padre, platform::GW_CHILD); h != 0;
         h = sistema.Relacionada(h, platform::GW_HWNDNEXT)) {
        BuscarVentanas(h, Titulo, Clase);
        std::string titulo = sistema.Titulo(h);
        if (CoincidePatron(sistema.Clase(h), Clase) && CoincidePatron(titulo, Titulo))
            list1_.push_back(titulo);
    }
    --profundidad_;
}

} // namespace olvado
