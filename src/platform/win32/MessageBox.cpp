// Win32 message boxes: MessageBoxA with ANSI texts.
#include "platform/MessageBox.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {
namespace {

class MessageBoxWin32 : public IMessageBox {
public:
    int32_t Mostrar(const std::string& texto, int32_t estilo, const std::string& titulo) override {
        return MessageBoxA(nullptr, AAnsi(texto).c_str(), AAnsi(titulo).c_str(),
                           static_cast<UINT>(estilo) | MB_TASKMODAL);
    }
};

} // namespace

IMessageBox& IMessageBox::DelSistema() {
    static MessageBoxWin32 instancia;
    return instancia;
}

} // namespace olvado::platform
