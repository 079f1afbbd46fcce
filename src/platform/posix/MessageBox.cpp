// POSIX message boxes: a GTK box from the GUI module when a display is there,
// else the headless form on standard error.
#include "platform/MessageBox.h"
#include "platform/posix/ModuloGui.h"

#include <cstdio>

namespace olvado::platform {
namespace {

class MessageBoxPosix : public IMessageBox {
public:
    int32_t Mostrar(const std::string& texto, int32_t estilo, const std::string& titulo) override {
        if (const OlvadoGuiTabla* gui = ModuloGui())
            return gui->Mensaje(texto.c_str(), estilo, titulo.c_str());
        std::fprintf(stderr, "%s\n%s\n\n", titulo.c_str(), texto.c_str());
        std::fflush(stderr);
        // No one can answer: a box that asks answers Cancel (No), never OK.
        return (estilo & 0xF) == vbOKOnly ? vbOK : vbCancel;
    }
};

} // namespace

IMessageBox& IMessageBox::DelSistema() {
    static MessageBoxPosix instancia;
    return instancia;
}

} // namespace olvado::platform
