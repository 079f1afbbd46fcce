// The C table between the program and its GUI module (libolvado-gui.so), which
// is loaded with dlopen only when a window must show: the everyday runs never
// map GTK or X11. Plain C types only: the module and the program may carry
// different C++ run-times. Texts are UTF-8.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define OLVADO_GUI_VERSION 1

// The close-applications window asks its owner after every event what to
// show: the list, the warning, and whether it is still visible.
typedef struct OlvadoEventosCerrar {
    void* contexto;
    int (*Elementos)(void* contexto);
    const char* (*Elemento)(void* contexto, int i);
    const char* (*Aviso)(void* contexto);
    int (*Visible)(void* contexto);
    void (*AlTemporizador)(void* contexto);
    void (*AlContinuar)(void* contexto);
    void (*AlCancelar)(void* contexto);
} OlvadoEventosCerrar;

typedef struct OlvadoTextosCerrar {
    const char* titulo;
    const char* etiqueta;
    const char* continuar; // "&" marks the access key, as on Windows
    const char* cancelar;
    unsigned intervalo_ms;
} OlvadoTextosCerrar;

typedef struct OlvadoGuiTabla {
    int version;
    // estilo and the answer as MessageBoxA has them.
    int (*Mensaje)(const char* texto, int estilo, const char* titulo);
    // Modal list; answers the index selected when the window was hidden.
    int (*Seleccion)(const char* titulo, const char* etiqueta, const char* boton, const char* const* elementos,
                     int cuantos, int indice);
    // Modal until the owner's Visible answers 0.
    void (*Cerrar)(const OlvadoTextosCerrar* textos, OlvadoEventosCerrar* eventos);
    void (*Pitido)(void);
    // The X11 window tree: 0 is "no window".
    unsigned long (*Raiz)(void);
    unsigned long (*PrimerHijo)(unsigned long ventana);
    unsigned long (*Siguiente)(unsigned long ventana);
    // Copies at most max-1 bytes and a NUL; answers the length copied.
    int (*Titulo)(unsigned long ventana, char* texto, int max);
    int (*Clase)(unsigned long ventana, char* texto, int max);
} OlvadoGuiTabla;

// The module's one export; NULL when the display cannot be opened.
typedef const OlvadoGuiTabla* (*OlvadoGuiIniciar)(void);
const OlvadoGuiTabla* olvado_gui_iniciar(void);

#ifdef __cplusplus
}
#endif
