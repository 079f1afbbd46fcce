#include "database/frmSeleccionarConexion.h"

#include "base/Texto.h"
#include "platform/Consola.h"
#include "platform/Dialogos.h"

#include <iostream>
#include <string>
#include <vector>

namespace olvado {

namespace {

// The system's window; without a window system, a numbered prompt on
// standard error when standard input is a terminal; otherwise (or on an
// answer that is not an entry number) the selection stays as it is.
class VentanaSistema : public IVentanaSeleccion {
public:
    void MostrarModal(frmSeleccionarConexion& v) override {
        std::vector<std::string> nombres;
        for (int32_t i = 0; i < v.liConexiones.ListCount(); ++i)
            nombres.push_back(v.liConexiones.List(i));
        int32_t indice = v.liConexiones.ListIndex();
        if (platform::MostrarSeleccion({v.Caption, v.lblFavor, v.bAceptar}, nombres, indice)) {
            if (indice >= 0)
                v.liConexiones.SetListIndex(indice);
            return;
        }
        if (!platform::EntradaEsTerminal())
            return;
        std::cerr << v.lblFavor << "\n";
        for (int32_t i = 0; i < v.liConexiones.ListCount(); ++i)
            std::cerr << "  " << (i + 1) << ". " << EscaparControles(v.liConexiones.List(i)) << "\n";
        std::cerr << "[" << (v.liConexiones.ListIndex() + 1) << "]: " << std::flush;
        std::string linea;
        if (!std::getline(std::cin, linea))
            return;
        try {
            int n = std::stoi(linea);
            if (n >= 1 && n <= v.liConexiones.ListCount())
                v.liConexiones.SetListIndex(n - 1);
        } catch (...) {
        }
    }
};

} // namespace

IVentanaSeleccion& IVentanaSeleccion::DelSistema() {
    static VentanaSistema sistema;
    return sistema;
}

frmSeleccionarConexion::frmSeleccionarConexion(const std::function<void(ListaEnMemoria&)>& llenarLista) {
    llenarLista(liConexiones);
}

void frmSeleccionarConexion::Show() { IVentanaSeleccion::Actual().MostrarModal(*this); }

} // namespace olvado
