// The close-applications window. It holds no state of its own: after every
// event (timer, Continuar, Cancelar or Escape, the close box) it shows what
// its owner answers and ends once the owner says it is hidden.
#include "platform/posix/gui/Widgets.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <string>

namespace olvado_gui {
namespace {

struct Estado {
    OlvadoEventosCerrar* ev;
    GMainLoop* bucle;
    GtkWidget* ventana;
    GtkListStore* modelo;
    GtkWidget* aviso;
    std::string avisoMostrado;
};

void Mostrar(Estado* e) {
    void* c = e->ev->contexto;
    gtk_list_store_clear(e->modelo);
    for (int i = 0, n = e->ev->Elementos(c); i < n; ++i)
        gtk_list_store_insert_with_values(e->modelo, nullptr, -1, 0, e->ev->Elemento(c, i), -1);
    std::string aviso = e->ev->Aviso(c);
    if (aviso != e->avisoMostrado) {
        gtk_label_set_text(GTK_LABEL(e->aviso), aviso.c_str());
        e->avisoMostrado = aviso;
    }
    if (!e->ev->Visible(c)) {
        gtk_widget_hide(e->ventana);
        g_main_loop_quit(e->bucle);
    }
}

gboolean AlTemporizador(gpointer p) {
    auto* e = static_cast<Estado*>(p);
    e->ev->AlTemporizador(e->ev->contexto);
    Mostrar(e);
    return G_SOURCE_CONTINUE;
}
void AlContinuar(GtkWidget*, gpointer p) {
    auto* e = static_cast<Estado*>(p);
    e->ev->AlContinuar(e->ev->contexto);
    Mostrar(e);
}
void AlCancelar(GtkWidget*, gpointer p) {
    auto* e = static_cast<Estado*>(p);
    e->ev->AlCancelar(e->ev->contexto);
    Mostrar(e);
}
gboolean AlCerrarVentana(GtkWidget* w, GdkEvent*, gpointer p) {
    AlCancelar(w, p);
    return TRUE;
}
gboolean AlTecla(GtkWidget* w, GdkEventKey* tecla, gpointer p) {
    if (tecla->keyval != GDK_KEY_Escape)
        return FALSE;
    AlCancelar(w, p);
    return TRUE;
}
void AlActivarFila(GtkTreeView* w, GtkTreePath*, GtkTreeViewColumn*, gpointer p) { AlContinuar(GTK_WIDGET(w), p); }

GtkWidget* Boton(const char* texto, GtkWidget* caja) {
    GtkWidget* b = gtk_button_new_with_mnemonic(Mnemonico(texto).c_str());
    gtk_widget_set_size_request(b, 97, 33);
    gtk_widget_set_valign(b, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(caja), b, FALSE, FALSE, 0);
    return b;
}

} // namespace

void Cerrar(const OlvadoTextosCerrar* t, OlvadoEventosCerrar* ev) {
    Estado e{ev, g_main_loop_new(nullptr, FALSE), gtk_window_new(GTK_WINDOW_TOPLEVEL),
             gtk_list_store_new(1, G_TYPE_STRING), nullptr, {}};
    GtkWindow* v = GTK_WINDOW(e.ventana);
    gtk_window_set_title(v, t->titulo);
    gtk_window_set_modal(v, TRUE);
    gtk_window_set_position(v, GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(v, FALSE);
    gtk_window_set_keep_above(v, TRUE);
    Estilo(e.ventana, "* { font-family: Calibri, sans-serif; font-size: 9pt; }");

    // The form's client area is 7,995 x 3,885 twips: 533 x 259 pixels at 96 dpi.
    GtkWidget* caja = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(caja), 8);
    gtk_widget_set_size_request(caja, 533, 259);
    gtk_container_add(GTK_CONTAINER(e.ventana), caja);

    GtkWidget* label1 = gtk_label_new(t->etiqueta);
    gtk_label_set_xalign(GTK_LABEL(label1), 0);
    Estilo(label1, "label { font-weight: bold; }");
    gtk_box_pack_start(GTK_BOX(caja), label1, FALSE, FALSE, 0);

    GtkWidget* desplazable = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(desplazable), GTK_SHADOW_IN);
    GtkWidget* list1 = gtk_tree_view_new_with_model(GTK_TREE_MODEL(e.modelo));
    g_object_unref(e.modelo);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(list1), FALSE);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(list1), -1, "", gtk_cell_renderer_text_new(), "text",
                                                0, nullptr);
    gtk_container_add(GTK_CONTAINER(desplazable), list1);
    gtk_box_pack_start(GTK_BOX(caja), desplazable, TRUE, TRUE, 0);

    GtkWidget* pie = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 11);
    gtk_box_pack_start(GTK_BOX(caja), pie, FALSE, FALSE, 0);
    e.aviso = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(e.aviso), 0);
    gtk_label_set_line_wrap(GTK_LABEL(e.aviso), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(e.aviso), 40);
    gtk_widget_set_size_request(e.aviso, 297, 33);
    Estilo(e.aviso, "label { color: #ff0000; font-weight: bold; font-size: 9.75pt; }");
    gtk_box_pack_start(GTK_BOX(pie), e.aviso, TRUE, TRUE, 0);
    GtkWidget* bContinuar = Boton(t->continuar, pie);
    GtkWidget* command1 = Boton(t->cancelar, pie);
    gtk_widget_set_can_default(bContinuar, TRUE);
    gtk_window_set_default(v, bContinuar);

    g_signal_connect(bContinuar, "clicked", G_CALLBACK(AlContinuar), &e);
    g_signal_connect(command1, "clicked", G_CALLBACK(AlCancelar), &e);
    g_signal_connect(list1, "row-activated", G_CALLBACK(AlActivarFila), &e);
    g_signal_connect(e.ventana, "delete-event", G_CALLBACK(AlCerrarVentana), &e);
    g_signal_connect(e.ventana, "key-press-event", G_CALLBACK(AlTecla), &e);

    Mostrar(&e);
    guint temporizador = g_timeout_add(t->intervalo_ms, AlTemporizador, &e);
    if (gtk_widget_get_visible(e.ventana) || ev->Visible(ev->contexto)) {
        gtk_widget_show_all(e.ventana);
        gtk_widget_grab_focus(bContinuar);
        gtk_window_present(v);
        g_main_loop_run(e.bucle);
    }
    g_source_remove(temporizador);
    Destruir(e.ventana);
    g_main_loop_unref(e.bucle);
}

} // namespace olvado_gui
