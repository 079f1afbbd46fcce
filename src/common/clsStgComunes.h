// The common utilities shared by the family's programs: regional masks and
// separators, settings in the registry scoped to the company and product, the
// data folder, error boxes, the event log, small text rules and the rules of
// amount, number and code input boxes.
#pragma once

#include "common/ControlesComunes.h"
#include "common/ErroresEjecucion.h"
#include "common/Variante.h"
#include "common/cRegistry.h"
#include "platform/ConfiguracionRegional.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace olvado {

class clsFileLog;
namespace platform {
class ArchivoSellado;
}

// The separators that a sample formatted with "#,###.##" shows: the decimal
// one stands before the last two digits; the thousands one is the second
// character when the sample is eight characters long, else there is none.
void SeparadoresDesdeMuestra(const std::string& muestra, std::string& decimal, std::string& millar);

class clsStgComunes {
public:
    clsStgComunes();

    std::string sSepDecimal;
    std::string sSepMillar;
    std::string sDefaultMascaraNumero = "000000";
    std::string sDefaultMascaraMoneda = "#,##0.00";
    std::string sDefaultMascaraMonedaExt = "#,##0.00";
    std::string sDefaultMascaraFecha = "dd-mmm-yy Hh:Nn";
    Variante sDefaultMascaraFechaCorta = std::string("dd-mmm-yy");

    void EstablecerDatosCompania(const std::string& mCompania, const std::string& mProducto);
    const std::string& Compania() const { return compania_; }
    const std::string& Producto() const { return producto_; }

    // Registry, under SOFTWARE\<company>\<"Base" | product>\<SubClave>.
    bool Registro_GetValor(const std::string& SubClave, const std::string& NombreValor, Variante& Valor,
                           int32_t Tipo = 0, const Variante& PorDeFecto = Variante(),
                           int32_t RootKey = HKEY_LOCAL_MACHINE, bool EnBase = false);
    bool Registro_SetValor(const std::string& SubClave, const std::string& NombreValor, const Variante& Valor,
                           int32_t Tipo = 0, int32_t RootKey = HKEY_LOCAL_MACHINE, bool EnBase = false);
    bool Registro_GuardarCredenciales(const std::string& UsuarioEncriptado, const std::string& ClaveEncriptada);
    // Any key, through a cRegistry of the call's own; registry errors reach the caller.
    bool RegTool5_GetKeyValue(int32_t KeyRoot, const std::string& KeyName, const std::string& ValueName,
                              Variante& ValueData, const std::optional<Variante>& PorDeFecto = std::nullopt,
                              bool Buscar64Bit = false, int32_t Tipo = REG_SZ);
    bool RegTool5_UpdateKey(int32_t KeyRoot, const std::string& KeyName, const std::string& ValueName,
                            const Variante& ValueData, bool Buscar64Bit = false, int32_t Tipo = REG_SZ);
    bool RegTool5_DeleteKey(int32_t KeyRoot, const std::string& KeyName, bool Buscar64Bit = false);

    // The all-users (Comun) or per-user data folder + company + product, with a closing "\".
    std::string RutaArchivoDatos(bool Comun = false);
    // [NombreArchivo + " "] + "yyyymmdd hhnnss" + ["." + Extension].
    std::string NombreArchivoConFecha(const std::string& NombreArchivo = "", const std::string& Extension = "");
    // Kept for the family's callers: they do nothing and answer False.
    bool INI_LeerValorINI(const std::string& RutaArchivo, const std::string& Seccion, const std::string& Parametro,
                          std::string& Valor);
    bool INI_EscribirValorINI(const std::string& RutaArchivo, const std::string& Seccion,
                              const std::string& Parametro, const std::string& Valor);

    // Launch. EsAdministrador warns with a box (MensajeAvisarSiNoEs, else
    // the program's text 45212) when asked and the user is not one.
    bool EsAdministrador(bool AvisarSiNoEs = false, const std::string& MensajeAvisarSiNoEs = "");
    // EjecutarArchivoComoAdmin in the file's own folder, waiting for the end.
    // Paquete: the file held open since its digest was checked; Registrar:
    // the caller's log, which receives the system's text of a failed start.
    bool EjecutarComoAdmin(int32_t vHWND, const std::string& ArchivoEXE, const std::string& Argumentos = "",
                           const std::string& vForzarUsuario = "", const std::string& vForzarContrasena = "",
                           const platform::ArchivoSellado* Paquete = nullptr,
                           const std::function<void(const std::string&)>& Registrar = nullptr);
    // One shell start; the only launch member that shows its own error.
    bool EjecutarArchivo(const std::string& Ruta, const std::string& Argumentos = "", int32_t vHWND = 0,
                         bool Esperar = false, bool HabilitarRunAs = false);
    // The close-applications dialog, shown only when something must close:
    // True when nothing is left open, False when the user gave up.
    bool EsperarACerrar();

    bool version_EsWin2K_Superior() const;
    bool version_EsWinXP_Superior() const;
    Variante VB_EstaEnIDE() const { return false; }

    // The common error box: the description of Numero (the provider's own
    // text when Errores carries that number), after ExplicacionError + ":"
    // and a blank line when given; exclamation icon, OK, Fuente as title.
    void MostrarERRExt(int32_t Numero, const std::string& Fuente = "", const std::string& ExplicacionError = "",
                       const IErroresProveedor* Errores = nullptr);
    // The system's text for an error code ("" when it has none); with
    // MostrarMSG a found text is also shown, titled with the company.
    std::string ApiError(int32_t e, const std::string& Modulo = "", bool MostrarMSG = false);
    // The event log (syslog on Linux): 1 error, 2 warning, 4 information, other success.
    bool Eventos_RegistrarMensaje(int32_t eTipoEvento, const std::string& mensaje, const std::string& Origen = "");
    bool Eventos_Registrar(int32_t eTipoEvento, std::string Origen, int32_t idEvento,
                           const std::vector<uint8_t>& DatosBinarios, const std::vector<std::string>& Mensajes);
    // Opens a new mail to Direccion in the mail program.
    bool InvocarOutLook(const std::string& Direccion, const IFormulario& F);

    // Text rules.
    std::string TextoFecha();
    void AgregarLog(ICuadroTexto& TextBox, const std::string& Texto, bool NuevaLinea = false,
                    clsFileLog* FileLog = nullptr, bool AgregarFecha = false, bool LanzarDoEvents = false);
    std::string UnaLinea(const std::string& Texto, const std::string& vPlaceHolder = "") const;
    std::string TrimCRLF(const std::string& Entrada) const;
    std::string String_ExtraerLinea(std::string& Texto, const std::string& Delimitador = "",
                                    bool PreformatearTexto = false) const;
    std::string String_ExtraerPalabra(std::string& Texto, const std::string& Delimitador = "") const;
    void JustificarTexto(const std::string& Texto, int32_t Ancho, std::vector<std::string>& Lineas) const;
    std::string MainItem() const { return "DEF"; }
    // The program's string resource Valor, "" when there is none.
    std::string LRS(int32_t Valor) const;

    // Input boxes.
    void FormatoCampoMoneda(ICuadroTexto& Tvt, int32_t Decimales = 0);
    void CampoMonedaGotFocus(ICuadroTexto& T);
    void CampoMonedaLostFocus(ICuadroTexto& T);
    void Valor_CampoMoneda(ICuadroTexto& Txt, double Valor = 0);
    void CampoMonedaKeyPress(ICuadroTexto& T, int32_t& KeyAscii, bool& Modificado);
    void CampoNumeroKeyPress(ICuadroTexto& T, int32_t& KeyAscii, bool PermitirNegativo, bool& Modificado);
    bool Dev_CheckBox(const ICasilla& chk) const { return chk.value() == 1; }
    void Set_CheckBox(ICasilla& chk, bool Valor = false) { chk.value(Valor ? 1 : 0); }
    void TextBoxResaltar(ICuadroTexto& c);
    void AcomodarCodigo_STD(ICuadroTexto& c, int32_t Longitud = 0);
    void AcomodarCodigo_STD_Item(ICuadroTexto& c) { AcomodarCodigo_STD(c, 20); }
    std::string AcomodarCodigo_STD_String(const std::string& Codigo, int32_t Longitud = 0) const;
    void PopupMenuBoton_STD(const IBoton& b, IMenu& M, IFormulario& F);
    bool VideoColoresOK(const IFormulario& F, int32_t BPP, bool SoloEsteModo = false) const;
    void CargarPictureControles(int32_t ID, IControlImagen& Objeto);

private:
    bool TeclaMoneda(ICuadroTexto& T, int32_t& KeyAscii, bool decimal, bool negativo, bool& Modificado);

    std::string compania_;
    std::string producto_;
    platform::ConfiguracionRegional regional_;
};

} // namespace olvado
