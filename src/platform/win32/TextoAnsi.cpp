// Win32 implementation of the ANSI code page: CP_ACP.
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {

std::string CodificarAnsi(std::u16string_view texto) {
    if (texto.empty())
        return {};
    auto w = reinterpret_cast<const wchar_t*>(texto.data());
    int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(texto.size()), nullptr, 0, nullptr, nullptr);
    std::string res(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(texto.size()), res.data(), n, nullptr, nullptr);
    return res;
}

std::u16string DecodificarAnsi(std::string_view bytes) {
    if (bytes.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string res(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                        reinterpret_cast<wchar_t*>(res.data()), n);
    return res;
}

} // namespace olvado::platform
