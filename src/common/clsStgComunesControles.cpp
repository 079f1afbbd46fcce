// The common utilities' rules for input boxes, check boxes, buttons and forms.
#include "common/clsStgComunes.h"

#include "base/Texto.h"
#include "common/Formato.h"
#include "platform/Eventos.h"
#include "platform/TextoAnsi.h"

namespace olvado {

void clsStgComunes::FormatoCampoMoneda(ICuadroTexto& Tvt, int32_t Decimales) {
    Tvt.Alignment(1);
    Tvt.DataField("#,##0." + std::string(static_cast<size_t>(std::max(Decimales, 0)), '0'));
}

void clsStgComunes::CampoMonedaGotFocus(ICuadroTexto& T) {
    double valor = 0;
    if (!LeerNumeroRegional(T.Text(), regional_, valor))
        return;
    std::string sin = sSepMillar.empty() ? T.Text() : Replace(T.Text(), sSepMillar, "");
    if (LeerNumeroRegional(sin, regional_, valor))
        T.Text(TextoMonedaRegional(valor, regional_));
}

void clsStgComunes::CampoMonedaLostFocus(ICuadroTexto& T) {
    double valor = 0;
    if (LeerNumeroRegional(T.Text(), regional_, valor)) // anything else is left as typed
        T.Text(FormatoNumero(valor, T.DataField(), regional_));
}

void clsStgComunes::Valor_CampoMoneda(ICuadroTexto& Txt, double Valor) {
    Txt.Text(FormatoNumero(Valor, Txt.DataField(), regional_));
}

bool clsStgComunes::TeclaMoneda(ICuadroTexto& T, int32_t& KeyAscii, bool decimal, bool negativo,
                                bool& Modificado) {
    if (KeyAscii == 13)
        return true;
    bool aceptada = false;
    unsigned char sep = sSepDecimal.empty() ? '.' : static_cast<unsigned char>(AAnsi(sSepDecimal)[0]);
    if (decimal && (KeyAscii == sep || KeyAscii == '.')) {
        aceptada = InStr(T.Text(), sSepDecimal) == 0;
        if (aceptada)
            KeyAscii = sep; // typed "." stands for the regional separator
    } else if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == 8) {
        aceptada = true;
    } else if (KeyAscii == '-') {
        std::string t = T.Text();
        aceptada = negativo && InStr(t, "-") == 0 && (t.empty() || T.SelLength() == Len(t));
    }
    if (!aceptada) {
        KeyAscii = 0;
        platform::Pitido();
        return false;
    }
    Modificado = true;
    return true;
}

void clsStgComunes::CampoMonedaKeyPress(ICuadroTexto& T, int32_t& KeyAscii, bool& Modificado) {
    TeclaMoneda(T, KeyAscii, true, true, Modificado);
}

void clsStgComunes::CampoNumeroKeyPress(ICuadroTexto& T, int32_t& KeyAscii, bool PermitirNegativo,
                                        bool& Modificado) {
    TeclaMoneda(T, KeyAscii, false, PermitirNegativo, Modificado);
}

void clsStgComunes::TextBoxResaltar(ICuadroTexto& c) {
    c.SelStart(0);
    c.SelLength(Len(c.Text()));
}

void clsStgComunes::AcomodarCodigo_STD(ICuadroTexto& c, int32_t Longitud) {
    c.Text(AcomodarCodigo_STD_String(c.Text(), Longitud));
}

void clsStgComunes::PopupMenuBoton_STD(const IBoton& b, IMenu& M, IFormulario& F) {
    const IContenedor& c = b.Container();
    bool enElFormulario = c.TypeName() == F.TypeName();
    int32_t x = b.Left() + (enElFormulario ? 0 : c.Left());
    int32_t y = b.Top() + b.Height() + (enElFormulario ? 0 : c.Top());
    F.PopupMenu(M, x, y);
}

bool clsStgComunes::VideoColoresOK(const IFormulario& F, int32_t BPP, bool SoloEsteModo) const {
    int32_t actual = F.BitsPorPixel();
    return SoloEsteModo ? actual == BPP : BPP <= actual;
}

// The program carries no bitmap resource: every load fails and the control
// receives an empty picture.
void clsStgComunes::CargarPictureControles(int32_t, IControlImagen& Objeto) {
    const Imagen imagen{};
    if (Objeto.TypeName() == "KewlButtons")
        Objeto.PictureNormal(imagen);
    else
        Objeto.Picture(imagen);
}

} // namespace olvado
