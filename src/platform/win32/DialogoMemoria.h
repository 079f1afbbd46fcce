// Win32 only: modal dialogs without a resource script. The template carries
// the caption and no controls; the dialog procedure makes its controls in
// WM_INITDIALOG, placed in twips as a form designer gives them. The dialog
// manager still gives Tab, Enter (the default button, IDOK) and Escape and
// the close box (IDCANCEL).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace olvado::platform::win32 {

// Runs the dialog modally; lParam of WM_INITDIALOG is datos.
INT_PTR DialogoModal(const std::string& titulo, DLGPROC procedimiento, void* datos);

// After WM_INITDIALOG: twips to pixels of this screen.
int Pixeles(HWND dialogo, int twips);
// Sizes the dialog to a client area given in twips and centres it.
void AjustarCliente(HWND dialogo, int ancho, int alto);
// A child control at twips; texto in UTF-8; the font given to it.
HWND Control(HWND dialogo, const char* clase, const std::string& texto, DWORD estilo, int id, int izquierda,
             int arriba, int ancho, int alto, HFONT fuente);
// Grows a label to show its whole text in its own font: wider up to
// anchoMaximo, then taller (the text wrapped) up to altoMaximo, both in
// twips; never smaller than designed. The fonts that stand in for Calibri
// where it is missing (Wine) are wider than the form was drawn for.
void AjustarAlTexto(HWND etiqueta, int anchoMaximo, int altoMaximo);
// Calibri at the given size in hundredths of a point.
HFONT Fuente(HWND dialogo, int centesimas, bool negrita);
void LlenarLista(HWND lista, const std::vector<std::string>& elementos);

} // namespace olvado::platform::win32
