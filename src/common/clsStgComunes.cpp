// The common utilities: creation, registry, files, messages and the event log.
// Text rules in clsStgComunesTexto.cpp, input boxes in clsStgComunesControles.cpp.
#include "common/clsStgComunes.h"

#include "base/Texto.h"
#include "common/CoreComunes.h"
#include "common/FileTool.h"
#include "common/Formato.h"
#include "common/IdentidadPrograma.h"
#include "common/StgC_FuncionesRegistro.h"
#include "platform/ErroresSistema.h"
#include "platform/Eventos.h"
#include "platform/FechaHoraLocal.h"
#include "platform/MessageBox.h"
#include "process/EsWinSuperior.h"
#include "process/Lanzamiento.h"

#include <cstdio>

namespace olvado {

void SeparadoresDesdeMuestra(const std::string& muestra, std::string& decimal, std::string& millar) {
    int32_t largo = Len(muestra);
    decimal = Mid(muestra, largo - 2, 1);
    millar = largo == 8 ? Mid(muestra, 2, 1) : "";
}

clsStgComunes::clsStgComunes()
    : compania_(ObtenerIdentidadPrograma().Compania), producto_(ObtenerIdentidadPrograma().Producto), regional_(platform::LeerConfiguracionRegional()) {
    SeparadoresDesdeMuestra(FormatoNumero(1234.56, "#,###.##", regional_), sSepDecimal, sSepMillar);
}

void clsStgComunes::EstablecerDatosCompania(const std::string& mCompania, const std::string& mProducto) {
    compania_ = mCompania;
    producto_ = mProducto;
}

bool clsStgComunes::Registro_GetValor(const std::string& SubClave, const std::string& NombreValor, Variante& Valor,
                                      int32_t Tipo, const Variante& PorDeFecto, int32_t RootKey, bool EnBase) {
    return RegistroBase_GetValor(SubClave, NombreValor, Valor, Tipo, PorDeFecto, RootKey, compania_, producto_,
                                 EnBase);
}

bool clsStgComunes::Registro_SetValor(const std::string& SubClave, const std::string& NombreValor,
                                      const Variante& Valor, int32_t Tipo, int32_t RootKey, bool EnBase) {
    return RegistroBase_SetValor(SubClave, NombreValor, Valor, Tipo, RootKey, compania_, producto_, EnBase);
}

bool clsStgComunes::Registro_GuardarCredenciales(const std::string& UsuarioEncriptado,
                                                 const std::string& ClaveEncriptada) {
    return GuardarCredenciales(UsuarioEncriptado, ClaveEncriptada);
}

bool clsStgComunes::RegTool5_GetKeyValue(int32_t KeyRoot, const std::string& KeyName, const std::string& ValueName,
                                         Variante& ValueData, const std::optional<Variante>& PorDeFecto,
                                         bool Buscar64Bit, int32_t) {
    cRegistry reg;
    reg.Modo64(Buscar64Bit);
    reg.ClassKey(KeyRoot);
    reg.SectionKey(KeyName);
    reg.Default(PorDeFecto.value_or(Variante()));
    if (reg.KeyExists()) {
        reg.ValueKey(ValueName);
        ValueData = reg.value();
    } else if (PorDeFecto) {
        ValueData = *PorDeFecto;
    }
    return true;
}

bool clsStgComunes::RegTool5_UpdateKey(int32_t KeyRoot, const std::string& KeyName, const std::string& ValueName,
                                       const Variante& ValueData, bool Buscar64Bit, int32_t Tipo) {
    cRegistry reg;
    reg.Modo64(Buscar64Bit);
    reg.ClassKey(KeyRoot);
    reg.SectionKey(KeyName);
    if (!reg.KeyExists())
        reg.CreateKey();
    reg.ValueKey(ValueName);
    reg.ValueType(Tipo);
    reg.value(ValueData);
    return true;
}

bool clsStgComunes::RegTool5_DeleteKey(int32_t KeyRoot, const std::string& KeyName, bool Buscar64Bit) {
    cRegistry reg;
    reg.Modo64(Buscar64Bit);
    reg.ClassKey(KeyRoot);
    reg.SectionKey(KeyName);
    if (reg.KeyExists())
        reg.DeleteKey();
    return true;
}

std::string clsStgComunes::RutaArchivoDatos(bool Comun) {
    FileTool ft;
    ft.EstablecerDatosCompania(compania_, producto_);
    std::string compania = compania_, producto = producto_;
    return ft.Ruta_ArchivoDeDatos(0, Comun, compania, producto);
}

std::string clsStgComunes::NombreArchivoConFecha(const std::string& NombreArchivo, const std::string& Extension) {
    platform::FechaHoraLocal f = platform::AhoraLocal();
    char sello[32];
    std::snprintf(sello, sizeof sello, "%04d%02d%02d %02d%02d%02d", f.Anio, f.Mes, f.Dia, f.Hora, f.Minuto,
                  f.Segundo);
    std::string nombre = NombreArchivo.empty() ? "" : Trim(NombreArchivo) + " ";
    return nombre + sello + (Extension.empty() ? "" : "." + Trim(Extension));
}

bool clsStgComunes::INI_LeerValorINI(const std::string&, const std::string&, const std::string&, std::string&) {
    return false;
}

bool clsStgComunes::INI_EscribirValorINI(const std::string&, const std::string&, const std::string&,
                                         const std::string&) {
    return false;
}

bool clsStgComunes::version_EsWin2K_Superior() const { return EsWin2K_Superior(); }
bool clsStgComunes::version_EsWinXP_Superior() const { return EsWinXP_Superior(); }

void clsStgComunes::MostrarERRExt(int32_t Numero, const std::string& Fuente, const std::string& ExplicacionError,
                                  const IErroresProveedor* Errores) {
    std::string texto = DescripcionError(Numero, Errores);
    if (!ExplicacionError.empty())
        texto = ExplicacionError + ":" + std::string(vbCrLf) + std::string(vbCrLf) + texto;
    platform::MsgBox(texto, platform::vbOKOnly | platform::vbExclamation, Fuente);
}

std::string clsStgComunes::ApiError(int32_t e, const std::string& Modulo, bool MostrarMSG) {
    std::string texto = platform::TextoErrorApi(e, Modulo);
    if (MostrarMSG && !texto.empty())
        platform::MsgBox(texto, platform::vbOKOnly | platform::vbExclamation, compania_);
    return texto;
}

bool clsStgComunes::Eventos_RegistrarMensaje(int32_t eTipoEvento, const std::string& mensaje,
                                             const std::string& Origen) {
    int32_t id = eTipoEvento == 1 ? 3000 : eTipoEvento == 2 ? 2000 : 1000;
    return Eventos_Registrar(eTipoEvento, Origen, id, {}, {mensaje});
}

bool clsStgComunes::Eventos_Registrar(int32_t eTipoEvento, std::string Origen, int32_t idEvento,
                                      const std::vector<uint8_t>& DatosBinarios,
                                      const std::vector<std::string>& Mensajes) {
    if (Origen.empty())
        Origen = producto_.empty() ? "Aplicacion" : producto_;
    int32_t tipo = eTipoEvento == 1 || eTipoEvento == 2 || eTipoEvento == 4 ? eTipoEvento : 0;
    platform::Evento ev{Origen, tipo, 1, idEvento, Mensajes.empty() ? "" : Mensajes.front(), DatosBinarios};
    return platform::IEventos::Actual().Registrar(ev);
}

bool clsStgComunes::InvocarOutLook(const std::string& Direccion, const IFormulario& F) {
    std::string dir = Trim(Direccion);
    if (dir.empty()) {
        platform::Pitido();
        return false;
    }
    if (LCase(Left(dir, 7)) != "mailto:")
        dir = "mailto:" + dir;
    bool abierto = Lanzar(PeticionAbrir("open", dir, static_cast<int32_t>(F.hWnd()))) == 0;
    if (!abierto) {
        platform::MsgBox(LRS(10028), platform::vbOKOnly | platform::vbExclamation, F.Caption());
        return false;
    }
    return true;
}

std::string clsStgComunes::TextoFecha() {
    platform::FechaHoraLocal f = platform::AhoraLocal();
    return FormatoFecha(f.Anio, f.Mes, f.Dia, f.Hora, f.Minuto, f.Segundo, sDefaultMascaraFecha, regional_) +
           " > ";
}

std::string clsStgComunes::LRS(int32_t Valor) const {
    // The program's own string table: the two texts its members fall back on.
    switch (Valor) {
    case 45212:
        return "Esta operación requiere una cuenta con derechos de administrador de Windows.";
    case 10028:
        return "No se pudo abrir el programa de correo electrónico.";
    default:
        return "";
    }
}

} // namespace olvado
