// The connection list window: label, list, "Aceptar" and a picture. Accepting,
// a double click or Enter on the list and the close box all hide it with the
// selection then current: it cannot be left without a choice.
#include "platform/posix/gui/Widgets.h"

#include <gtk/gtk.h>

namespace olvado_gui {
namespace {

struct Estado {
    GMainLoop* bucle;
    GtkWidget* ventana;
};

void Ocultar(Estado* e) {
    gtk_widget_hide(e->ventana);
    g_main_loop_quit(e->bucle);
}

void AlAceptar(GtkButton*, gpointer e) { Ocultar(static_cast<Estado*>(e)); }
void AlActivarFila(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer e) { Ocultar(static_cast<Estado*>(e)); }
gboolean AlCerrar(GtkWidget*, GdkEvent*, gpointer e) {
    Ocultar(static_cast<Estado*>(e));
    return TRUE; // hidden, not destroyed
}

GtkWidget* Lista(const char* const* elementos, int cuantos, int indice) {
    GtkListStore* modelo = gtk_list_store_new(1, G_TYPE_STRING);
    for (int i = 0; i < cuantos; ++i)
        gtk_list_store_insert_with_values(modelo, nullptr, -1, 0, elementos[i], -1);
    GtkWidget* lista = gtk_tree_view_new_with_model(GTK_TREE_MODEL(modelo));
    g_object_unref(modelo);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(lista), FALSE);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(lista), -1, "", gtk_cell_renderer_text_new(), "text",
                                                0, nullptr);
    if (indice >= 0 && indice < cuantos) {
        GtkTreePath* ruta = gtk_tree_path_new_from_indices(indice, -1);
        gtk_tree_view_set_cursor(GTK_TREE_VIEW(lista), ruta, nullptr, FALSE);
        gtk_tree_path_free(ruta);
    }
    return lista;
}

int Seleccionado(GtkWidget* lista) {
    GtkTreeModel* modelo = nullptr;
    GtkTreeIter fila;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(lista)), &modelo, &fila))
        return -1;
    GtkTreePath* ruta = gtk_tree_model_get_path(modelo, &fila);
    int i = gtk_tree_path_get_indices(ruta)[0];
    gtk_tree_path_free(ruta);
    return i;
}

} // namespace

int Seleccion(const char* titulo, const char* etiqueta, const char* boton, const char* const* elementos, int cuantos,
              int indice) {
    Estado e{g_main_loop_new(nullptr, FALSE), gtk_window_new(GTK_WINDOW_TOPLEVEL)};
    GtkWindow* v = GTK_WINDOW(e.ventana);
    gtk_window_set_title(v, titulo);
    gtk_window_set_modal(v, TRUE);
    gtk_window_set_position(v, GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(v, FALSE);
    gtk_window_set_keep_above(v, TRUE);

    GtkWidget* rejilla = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(rejilla), 8);
    gtk_grid_set_column_spacing(GTK_GRID(rejilla), 12);
    gtk_container_set_border_width(GTK_CONTAINER(rejilla), 12);
    gtk_container_add(GTK_CONTAINER(e.ventana), rejilla);

    GtkWidget* imagen = gtk_image_new_from_icon_name("network-server", GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(imagen, GTK_ALIGN_START);
    gtk_grid_attach(GTK_GRID(rejilla), imagen, 0, 0, 1, 2);
    GtkWidget* lblFavor = gtk_label_new(etiqueta);
    gtk_label_set_xalign(GTK_LABEL(lblFavor), 0);
    gtk_grid_attach(GTK_GRID(rejilla), lblFavor, 1, 0, 1, 1);

    GtkWidget* desplazable = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(desplazable), GTK_SHADOW_IN);
    gtk_widget_set_size_request(desplazable, 300, 140);
    GtkWidget* liConexiones = Lista(elementos, cuantos, indice);
    gtk_container_add(GTK_CONTAINER(desplazable), liConexiones);
    gtk_grid_attach(GTK_GRID(rejilla), desplazable, 1, 1, 1, 1);

    GtkWidget* bAceptar = gtk_button_new_with_mnemonic(Mnemonico(boton).c_str());
    gtk_widget_set_halign(bAceptar, GTK_ALIGN_END);
    gtk_widget_set_size_request(bAceptar, 100, -1);
    gtk_widget_set_can_default(bAceptar, TRUE);
    gtk_grid_attach(GTK_GRID(rejilla), bAceptar, 1, 2, 1, 1);
    gtk_window_set_default(v, bAceptar);

    g_signal_connect(bAceptar, "clicked", G_CALLBACK(AlAceptar), &e);
    g_signal_connect(liConexiones, "row-activated", G_CALLBACK(AlActivarFila), &e);
    g_signal_connect(e.ventana, "delete-event", G_CALLBACK(AlCerrar), &e);

    gtk_widget_show_all(e.ventana);
    gtk_widget_grab_focus(liConexiones);
    gtk_window_present(v);
    g_main_loop_run(e.bucle);

    int elegido = Seleccionado(liConexiones);
    Destruir(e.ventana);
    g_main_loop_unref(e.bucle);
    return elegido;
}

} // namespace olvado_gui
