#include "database/frmSeleccionarConexion.h"

#include "database/ConfigConexion.h"
#include "platform/Consola.h"

#include <iostream>
#include <string>

namespace olvado {

namespace {

// The stand-in without a window system: the list as a numbered prompt on
// standard error when standard input is a terminal; otherwise (or on an
// answer that is not an entry number) the selection stays as it is.
class VentanaSinPantalla : public IVentanaSeleccion {
public:
    void MostrarModal(frmSeleccionarConexion& v) override {
        if (!platform::EntradaEsTerminal())
            return;
        std::cerr << v.lblFavor << "\n";
        for (int32_t i = 0; i < v.liConexiones.ListCount(); ++i)
            std::cerr << "  " << (i + 1) << ". " << v.liConexiones.List(i) << "\n";
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

VentanaSinPantalla sinPantalla;
IVentanaSeleccion* actual = &sinPantalla;

} // namespace

void EstablecerVentanaSeleccion(IVentanaSeleccion* otra) { actual = otra ? otra : &sinPantalla; }

frmSeleccionarConexion::frmSeleccionarConexion(const ConfigConexion& almacen) {
    almacen.LlenarListaConexiones(liConexiones);
}

void frmSeleccionarConexion::Show() { actual->MostrarModal(*this); }

} // namespace olvado
