// Win32 only: the in-memory dialog template and the control helpers.
#include "platform/win32/DialogoMemoria.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <algorithm>

namespace olvado::platform::win32 {

INT_PTR DialogoModal(const std::string& titulo, DLGPROC procedimiento, void* datos) {
    // DLGTEMPLATE, then no menu, the default class, the caption (UTF-16),
    // all on WORD boundaries in a DWORD-aligned block.
    std::vector<WORD> bloque(sizeof(DLGTEMPLATE) / sizeof(WORD) + 2, 0);
    auto* t = reinterpret_cast<DLGTEMPLATE*>(bloque.data());
    t->style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t->cx = 200;
    t->cy = 100;
    for (char16_t c : AUtf16(titulo))
        bloque.push_back(static_cast<WORD>(c));
    bloque.push_back(0);
    t = reinterpret_cast<DLGTEMPLATE*>(bloque.data());
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t, nullptr, procedimiento,
                                   reinterpret_cast<LPARAM>(datos));
}

int Pixeles(HWND dialogo, int twips) {
    HDC dc = GetDC(dialogo);
    int ppp = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(dialogo, dc);
    return MulDiv(twips, ppp, 1440);
}

void AjustarCliente(HWND dialogo, int ancho, int alto) {
    RECT r{0, 0, Pixeles(dialogo, ancho), Pixeles(dialogo, alto)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(dialogo, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialogo, GWL_EXSTYLE)));
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(dialogo, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2,
                 w, h, 0);
}

HWND Control(HWND dialogo, const char* clase, const std::string& texto, DWORD estilo, int id, int izquierda,
             int arriba, int ancho, int alto, HFONT fuente) {
    HWND c = CreateWindowExA(0, clase, AAnsi(texto).c_str(), WS_CHILD | WS_VISIBLE | estilo,
                             Pixeles(dialogo, izquierda), Pixeles(dialogo, arriba), Pixeles(dialogo, ancho),
                             Pixeles(dialogo, alto), dialogo, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(fuente), FALSE);
    return c;
}

void AjustarAlTexto(HWND etiqueta, int anchoMaximo, int altoMaximo) {
    HWND dialogo = GetParent(etiqueta);
    RECT r;
    GetWindowRect(etiqueta, &r);
    MapWindowPoints(nullptr, dialogo, reinterpret_cast<POINT*>(&r), 2);
    char texto[512];
    GetWindowTextA(etiqueta, texto, sizeof texto);
    HDC dc = GetDC(etiqueta);
    HGDIOBJ antes = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(etiqueta, WM_GETFONT, 0, 0)));
    int ancho = r.right - r.left, alto = r.bottom - r.top;
    RECT linea{0, 0, 0, 0};
    DrawTextA(dc, texto, -1, &linea, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ancho = std::max(ancho, std::min<int>(linea.right, Pixeles(dialogo, anchoMaximo)));
    RECT partido{0, 0, ancho, 0};
    DrawTextA(dc, texto, -1, &partido, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    alto = std::max(alto, std::min<int>(partido.bottom, Pixeles(dialogo, altoMaximo)));
    SelectObject(dc, antes);
    ReleaseDC(etiqueta, dc);
    SetWindowPos(etiqueta, nullptr, 0, 0, ancho, alto, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT Fuente(HWND dialogo, int centesimas, bool negrita) {
    HDC dc = GetDC(dialogo);
    int alto = -MulDiv(centesimas, GetDeviceCaps(dc, LOGPIXELSY), 7200);
    ReleaseDC(dialogo, dc);
    return CreateFontA(alto, 0, 0, 0, negrita ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Calibri");
}

void LlenarLista(HWND lista, const std::vector<std::string>& elementos) {
    SendMessageA(lista, WM_SETREDRAW, FALSE, 0);
    SendMessageA(lista, LB_RESETCONTENT, 0, 0);
    for (const auto& e : elementos)
        SendMessageA(lista, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AAnsi(e).c_str()));
    SendMessageA(lista, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(lista, nullptr, TRUE);
}

} // namespace olvado::platform::win32
