// The window that lets the user pick one of the store's entries. It cannot
// be left without a choice: accepting, a double click and closing it all
// take the entry selected then. It is the system's window (see
// IVentanaSeleccion); without a window system it is a numbered prompt on a
// terminal, and with no terminal the first entry stands.
#pragma once

#include "base/Servicio.h"
#include "database/ListaEnMemoria.h"

#include <functional>
#include <string>

namespace olvado {

class frmSeleccionarConexion;

// Shows the window modally and returns once it is hidden, with the chosen
// entry selected in liConexiones.
class IVentanaSeleccion : public Servicio<IVentanaSeleccion> {
public:
    static IVentanaSeleccion& DelSistema();
    virtual ~IVentanaSeleccion() = default;
    virtual void MostrarModal(frmSeleccionarConexion& ventana) = 0;
};

class frmSeleccionarConexion {
public:
    // Form_Initialize: the caller (the store) fills the list; the window
    // knows nothing of where its entries come from.
    explicit frmSeleccionarConexion(const std::function<void(ListaEnMemoria&)>& llenarLista);

    void Show();

    // Scripts and tests find the window by its caption.
    const std::string Caption = "Seleccionar Base de Datos";
    const std::string lblFavor = "Favor seleccione una Base de Datos:";
    const std::string bAceptar = "&Aceptar";
    ListaEnMemoria liConexiones;
};

} // namespace olvado
