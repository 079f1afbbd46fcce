// Modal message boxes. Windows: MessageBoxA with the style as given. Linux: a
// small X11 box when $DISPLAY is set (added with the dialogs); otherwise the
// title, the text and a blank line on standard error, answered OK when OK is
// the only button and Cancel when the box asks: where no one can answer, a
// question answers No. Tests put a fake in place (base/Servicio.h).
#pragma once

#include "base/Servicio.h"

#include <cstdint>
#include <string>

namespace olvado::platform {

// Styles as MsgBox / MessageBoxA take them.
inline constexpr int32_t vbOKOnly = 0;
inline constexpr int32_t vbOKCancel = 1;
inline constexpr int32_t vbCritical = 16;
inline constexpr int32_t vbQuestion = 32;
inline constexpr int32_t vbExclamation = 48;
inline constexpr int32_t vbInformation = 64;
// Answers.
inline constexpr int32_t vbOK = 1;
inline constexpr int32_t vbCancel = 2;

class IMessageBox : public Servicio<IMessageBox> {
public:
    static IMessageBox& DelSistema();
    virtual ~IMessageBox() = default;
    // texto and titulo are UTF-8; answers the button pressed (vbOK, vbCancel).
    virtual int32_t Mostrar(const std::string& texto, int32_t estilo, const std::string& titulo) = 0;
};

inline int32_t MsgBox(const std::string& texto, int32_t estilo, const std::string& titulo) {
    return IMessageBox::Actual().Mostrar(texto, estilo, titulo);
}

} // namespace olvado::platform
