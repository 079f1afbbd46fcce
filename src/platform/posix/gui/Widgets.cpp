// Small GTK helpers of the module.
#include "platform/posix/gui/Widgets.h"

#include <gtk/gtk.h>

namespace olvado_gui {

std::string Mnemonico(const char* texto) {
    std::string r;
    for (const char* p = texto; *p; ++p) {
        if (*p == '&' && p[1] == '&')
            r += *++p;
        else if (*p == '&')
            r += '_';
        else if (*p == '_')
            r += "__";
        else
            r += *p;
    }
    return r;
}

void Estilo(GtkWidget* w, const char* css) {
    GtkCssProvider* proveedor = gtk_css_provider_new();
    gtk_css_provider_load_from_data(proveedor, css, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(w), GTK_STYLE_PROVIDER(proveedor),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(proveedor);
}

void Destruir(GtkWidget* ventana) {
    gtk_widget_destroy(ventana);
    while (gtk_events_pending())
        gtk_main_iteration();
    gdk_display_flush(gdk_display_get_default());
}

} // namespace olvado_gui
