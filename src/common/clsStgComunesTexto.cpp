// The common utilities' text rules.
#include "common/clsStgComunes.h"

#include "base/Texto.h"
#include "common/clsFileLog.h"
#include "platform/MensajesPendientes.h"

namespace olvado {

void clsStgComunes::AgregarLog(ICuadroTexto& TextBox, const std::string& Texto, bool NuevaLinea,
                               clsFileLog* FileLog, bool AgregarFecha, bool LanzarDoEvents) {
    if (Len(TextBox.Text()) > 45000)
        TextBox.Text("");
    std::string prefijo = NuevaLinea && !TextBox.Text().empty() ? std::string(vbCrLf) : "";
    if (AgregarFecha)
        prefijo += TextoFecha();
    std::string linea = prefijo + Texto + (NuevaLinea ? "." : "");
    TextBox.SelStart(Len(TextBox.Text()));
    TextBox.SelLength(0);
    TextBox.SelText(linea);
    if (FileLog)
        FileLog->AgregarLog(Texto, NuevaLinea);
    if (LanzarDoEvents)
        platform::ProcesarMensajesPendientes();
}

std::string clsStgComunes::UnaLinea(const std::string& Texto, const std::string& vPlaceHolder) const {
    std::string r;
    for (char c : Texto)
        if (c == '\r' || c == '\n' || c == '\t')
            r += vPlaceHolder;
        else
            r.push_back(c);
    return r;
}

std::string clsStgComunes::TrimCRLF(const std::string& Entrada) const {
    std::string r = RTrim(Entrada);
    while (!r.empty() && (r.back() == '\r' || r.back() == '\n'))
        r.pop_back();
    return r;
}

std::string clsStgComunes::String_ExtraerLinea(std::string& Texto, const std::string& Delimitador,
                                               bool PreformatearTexto) const {
    if (PreformatearTexto) {
        Texto = Replace(Replace(Texto, "\n", "\r"), "\r\r", "\r");
        return "";
    }
    std::string delim = Delimitador.empty() ? "\r" : Delimitador;
    int32_t p = InStr(UCase(Texto), UCase(delim));
    if (p == 0) {
        std::string todo = Texto;
        Texto.clear();
        return todo;
    }
    std::string linea = Left(Texto, p - 1);
    Texto = Mid(Texto, p + Len(delim));
    return linea;
}

std::string clsStgComunes::String_ExtraerPalabra(std::string& Texto, const std::string& Delimitador) const {
    Texto = Trim(Texto);
    int32_t p = Delimitador.empty() ? 0 : InStr(Texto, Delimitador);
    if (p == 0) {
        std::string todo = Texto;
        Texto.clear();
        return todo;
    }
    std::string palabra = Left(Texto, p - 1);
    Texto = Mid(Texto, p + 1);
    return palabra;
}

// Lines break at the last blank that keeps them within Ancho; a word longer
// than Ancho is cut at Ancho; an empty line of the text stays an empty line.
void clsStgComunes::JustificarTexto(const std::string& Texto, int32_t Ancho, std::vector<std::string>& Lineas) const {
    Lineas.clear();
    std::string t = Replace(Texto, "\r\n", "\n");
    while (!t.empty() && (t.front() == '\r' || t.front() == '\n'))
        t.erase(0, 1);
    while (!t.empty() && (t.back() == '\r' || t.back() == '\n'))
        t.pop_back();
    if (t.empty())
        return;
    if (Ancho < 1)
        Ancho = 1;
    size_t i = 0;
    while (i <= t.size()) {
        size_t fin = t.find('\n', i);
        std::string parrafo = t.substr(i, fin == std::string::npos ? std::string::npos : fin - i);
        do {
            std::string resto;
            if (Len(parrafo) > Ancho) {
                int32_t corte = InStrRev(Left(parrafo, Ancho + 1), " ");
                if (corte > 1) {
                    resto = LTrim(Mid(parrafo, corte + 1));
                    parrafo = Left(parrafo, corte - 1);
                } else {
                    resto = LTrim(Mid(parrafo, Ancho + 1));
                    parrafo = Left(parrafo, Ancho);
                }
            }
            Lineas.push_back(RTrim(parrafo));
            parrafo = resto;
        } while (!parrafo.empty());
        if (fin == std::string::npos)
            break;
        i = fin + 1;
    }
}

std::string clsStgComunes::AcomodarCodigo_STD_String(const std::string& Codigo, int32_t Longitud) const {
    std::string r = Replace(Trim(Codigo), " ", "_");
    if (Longitud > 0)
        r = Left(r, Longitud);
    return UCase(r);
}

} // namespace olvado
