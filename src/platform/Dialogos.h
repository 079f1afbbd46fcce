// The two modal windows of the program, drawn by the system: the list that
// picks a connection and the window that asks to close other programs. Their
// behaviour lives with the forms that own them; these only show. Windows:
// dialogs of user32 built in memory. Linux: GTK 3 from the GUI module, which
// is loaded only here and in the message boxes, when $DISPLAY is set. Both
// answer false when no window system is there; the forms then use their
// headless forms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::platform {

struct TextosSeleccion {
    std::string Titulo;
    std::string Etiqueta;
    std::string Boton; // "&" marks the access key
};

// Shows the list modally with entry indice (from 0) selected; on return
// indice is the entry selected when the window was hidden.
bool MostrarSeleccion(const TextosSeleccion& textos, const std::vector<std::string>& elementos, int32_t& indice);

// What the close-applications window shows and where its events go. After
// every event the window shows the list and the warning again, and it ends
// when Visible answers false.
class IEventosCerrarAplicaciones {
public:
    virtual ~IEventosCerrarAplicaciones() = default;
    virtual const std::vector<std::string>& Lista() const = 0;
    virtual const std::string& Aviso() const = 0;
    virtual bool Visible() const = 0;
    virtual void AlTemporizador() = 0;
    virtual void AlContinuar() = 0; // also Enter
    virtual void AlCancelar() = 0;  // also Escape and the close box
};

struct TextosCerrarAplicaciones {
    std::string Titulo;
    std::string Etiqueta;
    std::string Continuar;
    std::string Cancelar;
    uint32_t IntervaloMs = 2000;
};

bool MostrarCerrarAplicaciones(const TextosCerrarAplicaciones& textos, IEventosCerrarAplicaciones& eventos);

} // namespace olvado::platform
