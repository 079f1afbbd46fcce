// Win32 windows: the connection list and the close-applications dialog.
#include "platform/Dialogos.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/DialogoMemoria.h"

namespace olvado::platform {
namespace {

using namespace win32;

// --- the connection list -------------------------------------------------

enum { kLista = 102, kImagen = 103, kEtiqueta = 101 };

struct Seleccion {
    const TextosSeleccion* textos;
    const std::vector<std::string>* elementos;
    int32_t indice;
    HFONT fuente;
};

INT_PTR CALLBACK ProcSeleccion(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = reinterpret_cast<Seleccion*>(GetWindowLongPtrA(d, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        s = reinterpret_cast<Seleccion*>(lp);
        SetWindowLongPtrA(d, DWLP_USER, lp);
        s->fuente = Fuente(d, 900, false);
        AjustarCliente(d, 5100, 3300);
        HWND imagen = Control(d, "STATIC", "", SS_ICON, kImagen, 180, 180, 480, 480, s->fuente);
        SendMessageA(imagen, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
        Control(d, "STATIC", s->textos->Etiqueta, SS_LEFT, kEtiqueta, 840, 180, 4080, 255, s->fuente);
        HWND lista = Control(d, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                             kLista, 840, 540, 4080, 1980, s->fuente);
        Control(d, "BUTTON", s->textos->Boton, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 3480, 2700, 1440, 420, s->fuente);
        LlenarLista(lista, *s->elementos);
        SendMessageA(lista, LB_SETCURSEL, static_cast<WPARAM>(s->indice), 0);
        SendMessageA(d, DM_SETDEFID, IDOK, 0);
        SetForegroundWindow(d);
        SetFocus(lista);
        return FALSE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wp);
        // Aceptar, Enter, a double click, Escape and the close box all
        // leave with the entry selected then.
        if (id == IDOK || id == IDCANCEL || (id == kLista && HIWORD(wp) == LBN_DBLCLK)) {
            s->indice = static_cast<int32_t>(SendDlgItemMessageA(d, kLista, LB_GETCURSEL, 0, 0));
            EndDialog(d, IDOK);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        if (s && s->fuente)
            DeleteObject(s->fuente);
        return FALSE;
    }
    return FALSE;
}

// --- the close-applications dialog ----------------------------------------

enum { kLabel1 = 201, kList1 = 202, kLabel2 = 203, kTimer1 = 1 };

struct Cerrar {
    const TextosCerrarAplicaciones* textos;
    IEventosCerrarAplicaciones* eventos;
    HFONT fuente, negrita, aviso;
    std::string avisoMostrado;
};

void Mostrar(HWND d, Cerrar* c) {
    LlenarLista(GetDlgItem(d, kList1), c->eventos->Lista());
    if (c->eventos->Aviso() != c->avisoMostrado) {
        c->avisoMostrado = c->eventos->Aviso();
        SetDlgItemTextA(d, kLabel2, AAnsi(c->avisoMostrado).c_str());
        // Beside the buttons, down to the form's bottom edge.
        AjustarAlTexto(GetDlgItem(d, kLabel2), 4455, 3885 - 3180);
    }
    if (!c->eventos->Visible())
        EndDialog(d, IDOK);
}

INT_PTR CALLBACK ProcCerrar(HWND d, UINT msg, WPARAM wp, LPARAM lp) {
    auto* c = reinterpret_cast<Cerrar*>(GetWindowLongPtrA(d, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        c = reinterpret_cast<Cerrar*>(lp);
        SetWindowLongPtrA(d, DWLP_USER, lp);
        c->fuente = Fuente(d, 900, false);
        c->negrita = Fuente(d, 900, true);
        c->aviso = Fuente(d, 975, true);
        SendMessageA(d, WM_SETFONT, reinterpret_cast<WPARAM>(c->fuente), FALSE);
        AjustarCliente(d, 7995, 3885);
        // Positions and tab order as the form was designed.
        HWND label1 = Control(d, "STATIC", c->textos->Etiqueta, SS_LEFT, kLabel1, 180, 180, 6855, 255, c->negrita);
        AjustarAlTexto(label1, 7815 - 180, 600 - 180); // up to the list's right edge and its top
        Control(d, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, kList1, 120, 600,
                7695, 2370, c->fuente);
        Control(d, "BUTTON", c->textos->Continuar, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 4740, 3180, 1455, 495,
                c->fuente);
        Control(d, "BUTTON", c->textos->Cancelar, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 6360, 3180, 1455, 495,
                c->fuente);
        Control(d, "STATIC", "", SS_LEFT, kLabel2, 120, 3180, 4455, 495, c->aviso);
        SendMessageA(d, DM_SETDEFID, IDOK, 0);
        SetTimer(d, kTimer1, c->textos->IntervaloMs, nullptr);
        Mostrar(d, c);
        SetForegroundWindow(d);
        SetFocus(GetDlgItem(d, IDOK));
        return FALSE;
    }
    case WM_TIMER:
        c->eventos->AlTemporizador();
        Mostrar(d, c);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK)
            c->eventos->AlContinuar();
        else if (LOWORD(wp) == IDCANCEL) // also Escape and the close box
            c->eventos->AlCancelar();
        else
            return FALSE;
        Mostrar(d, c);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == GetDlgItem(d, kLabel2)) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, RGB(255, 0, 0));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_DESTROY:
        KillTimer(d, kTimer1);
        for (HFONT f : {c->fuente, c->negrita, c->aviso})
            if (f)
                DeleteObject(f);
        return FALSE;
    }
    return FALSE;
}

} // namespace

bool MostrarSeleccion(const TextosSeleccion& textos, const std::vector<std::string>& elementos, int32_t& indice) {
    Seleccion s{&textos, &elementos, indice, nullptr};
    if (DialogoModal(textos.Titulo, ProcSeleccion, &s) == -1)
        return false;
    indice = s.indice;
    return true;
}

bool MostrarCerrarAplicaciones(const TextosCerrarAplicaciones& textos, IEventosCerrarAplicaciones& eventos) {
    Cerrar c{&textos, &eventos, nullptr, nullptr, nullptr, {}};
    return DialogoModal(textos.Titulo, ProcCerrar, &c) != -1;
}

} // namespace olvado::platform
