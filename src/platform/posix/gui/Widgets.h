// The pieces of the GUI module, shared between its files.
#pragma once

#include "platform/posix/gui/InterfazGui.h"

#include <string>

typedef struct _GtkWidget GtkWidget;

namespace olvado_gui {

// Windows marks access keys with "&", GTK with "_".
std::string Mnemonico(const char* texto);
// Applies a CSS text to one widget.
void Estilo(GtkWidget* w, const char* css);
// Destroys a window and lets the display see it go.
void Destruir(GtkWidget* ventana);

int Seleccion(const char* titulo, const char* etiqueta, const char* boton, const char* const* elementos, int cuantos,
              int indice);
void Cerrar(const OlvadoTextosCerrar* textos, OlvadoEventosCerrar* eventos);

unsigned long Raiz(void);
unsigned long PrimerHijo(unsigned long ventana);
unsigned long Siguiente(unsigned long ventana);
int Titulo(unsigned long ventana, char* texto, int max);
int Clase(unsigned long ventana, char* texto, int max);

} // namespace olvado_gui
