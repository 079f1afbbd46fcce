// The GUI module's entry: GTK 3 started on the program's display, message
// boxes and the system beep. Only GTK, GDK and Xlib code lives in this folder.
#include "platform/posix/gui/InterfazGui.h"
#include "platform/posix/gui/Widgets.h"

#include <gtk/gtk.h>

#include <cstdlib>

namespace {

GtkMessageType TipoMensaje(int estilo) {
    switch (estilo & 0x70) {
    case 16: return GTK_MESSAGE_ERROR;
    case 32: return GTK_MESSAGE_QUESTION;
    case 48: return GTK_MESSAGE_WARNING;
    case 64: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
    }
}

int Mensaje(const char* texto, int estilo, const char* titulo) {
    bool conCancelar = (estilo & 0x0F) == 1;
    GtkWidget* caja =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, TipoMensaje(estilo), GTK_BUTTONS_NONE, "%s", texto);
    // The buttons in Spanish whatever the locale: the texts name "ACEPTAR".
    if (conCancelar)
        gtk_dialog_add_button(GTK_DIALOG(caja), "_Cancelar", GTK_RESPONSE_CANCEL);
    gtk_dialog_add_button(GTK_DIALOG(caja), "_Aceptar", GTK_RESPONSE_OK);
    gtk_window_set_title(GTK_WINDOW(caja), titulo);
    gtk_window_set_position(GTK_WINDOW(caja), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(caja), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(caja), GTK_RESPONSE_OK);
    int respuesta = gtk_dialog_run(GTK_DIALOG(caja));
    olvado_gui::Destruir(caja);
    // Closing a box without Cancelar answers OK, as MessageBoxA does.
    return respuesta == GTK_RESPONSE_OK || !conCancelar ? 1 : 2;
}

void Pitido() { gdk_display_beep(gdk_display_get_default()); }

const OlvadoGuiTabla tabla = {
    OLVADO_GUI_VERSION,  Mensaje, olvado_gui::Seleccion, olvado_gui::Cerrar, Pitido,
    olvado_gui::Raiz,    olvado_gui::PrimerHijo, olvado_gui::Siguiente, olvado_gui::Titulo,
    olvado_gui::Clase,
};

} // namespace

extern "C" __attribute__((visibility("default"))) const OlvadoGuiTabla* olvado_gui_iniciar(void) {
    static int iniciado = -1;
    if (iniciado < 0) {
        // The accessibility bridge would look for a session bus that a
        // workstation run as administrator may not have.
        setenv("NO_AT_BRIDGE", "1", 0);
        iniciado = gtk_init_check(nullptr, nullptr) ? 1 : 0;
    }
    return iniciado ? &tabla : nullptr;
}
