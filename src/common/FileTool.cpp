#include "common/FileTool.h"

#include "BuildInfo.h"
#include "base/Texto.h"
#include "common/IdentidadPrograma.h"
#include "common/clsMD5File.h"
#include "platform/ArchivoNativo.h"
#include "platform/ArchivosTemporales.h"
#include "platform/CarpetasEspeciales.h"
#include "platform/ErroresSistema.h"
#include "platform/FechaHoraLocal.h"
#include "platform/MessageBox.h"
#include "platform/Rutas.h"
#include "platform/SistemaArchivos.h"
#include "platform/TextoAnsi.h"

#include <cmath>

namespace olvado {
namespace {

bool TerminaEnSeparador(const std::string& s) { return !s.empty() && platform::EsSeparadorRuta(s.back()); }

// The common error message of the temporary-file members.
void MostrarErrorSistema(int32_t codigo) {
    platform::MsgBox(platform::TextoErrorSistema(codigo), platform::vbExclamation, "Error");
}

std::string ABytes(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

} // namespace

FileTool::FileTool()
    : compania_(ObtenerIdentidadPrograma().Compania), producto_(ObtenerIdentidadPrograma().Producto) {}

// ---- Paths and names ----

std::string FileTool::Ruta_ObtenerNombreArchivo(const std::string& sPath, bool ConExtension) const {
    std::string nombre = platform::RutaNombreArchivo(sPath);
    return ConExtension ? nombre : platform::RutaSinExtension(nombre);
}

std::string FileTool::Ruta_ExtraerRuta(const std::string& FullPath) const {
    std::string r = Trim(FullPath);
    size_t ultimo = std::string::npos;
    for (size_t i = 0; i < r.size(); ++i)
        if (platform::EsSeparadorRuta(r[i]))
            ultimo = i;
    if (ultimo == std::string::npos)
        return "";
    return r.substr(0, ultimo + 1);
}

std::string FileTool::Ruta_CalificarRuta(const std::string& sPath) const {
    if (sPath.empty())
        return "\\"; // on Linux too: a name under "\" is never found, as on Windows
    if (TerminaEnSeparador(sPath))
        return sPath;
    return sPath + platform::SeparadorParaRuta(sPath);
}

std::string FileTool::Ruta_ObtenerExtension(const std::string& sPath, bool SinElPunto) const {
    std::string ext = platform::RutaExtension(sPath);
    if (SinElPunto && !ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    return ext;
}

std::string FileTool::Ruta_ObtenerRaiz(const std::string& sPath) const {
    std::string raiz = platform::RutaRaiz(sPath);
    if (raiz.size() < sPath.size() && !raiz.empty())
        raiz = Left(raiz, Len(raiz) - 1);
    return raiz;
}

std::string FileTool::Ruta_QuitarRaiz(const std::string& sPath) const {
    bool hayRaiz = false;
    std::string resto = platform::RutaTrasRaiz(sPath, hayRaiz);
    return hayRaiz ? resto : "";
}

bool FileTool::UNC_EsRutaUNCValida(const std::string& sPath) const { return platform::RutaEsUNC(sPath); }

std::string FileTool::LimpiarNombreArchivo(const std::string& NombreArchivo, bool ReemplazarEspacios,
                                           bool OmitirPunto) const {
    if (NombreArchivo.empty())
        return "";
    std::string r = NombreArchivo;
    if (ReemplazarEspacios)
        r = Replace(r, " ", "_");
    r = Replace(r, ":", "");
    if (!OmitirPunto)
        r = Replace(r, ".", "_");
    for (const char* c : {"/", ";", "=", ",", "[", "]", "\\", "?", "*", "\""})
        r = Replace(r, c, "_");
    return Trim(r);
}

std::string FileTool::Ruta_RutaCompactada(intptr_t vhDC, double AnchoControlTwips, const std::string& Ruta) const {
    // CLng rounding: to the nearest integer, halves to the even one.
    auto pixeles = static_cast<int32_t>(std::nearbyint(AnchoControlTwips / platform::TwipsPorPixel()));
    return platform::RutaCompactada(vhDC, Ruta, pixeles);
}

// ---- Special folders ----

std::string FileTool::Ruta_RutaEspecial(intptr_t hWnd, int32_t Tipo) const {
    return platform::RutaEspecial(hWnd, Tipo);
}

std::string FileTool::Ruta_MisDocumentos() const { return Ruta_RutaEspecial(0, platform::CSIDL_PERSONAL); }
std::string FileTool::Ruta_System() const { return Ruta_RutaEspecial(0, platform::CSIDL_SYSTEM); }

std::string FileTool::Ruta_ArchivoDeDatos(intptr_t hWnd, bool Comun, std::string& NombreCompania,
                                          std::string& NombreProducto) const {
    std::string carpeta =
        Ruta_RutaEspecial(hWnd, Comun ? platform::CSIDL_COMMON_APPDATA : platform::CSIDL_APPDATA);
    if (NombreCompania.empty())
        NombreCompania = compania_;
    if (NombreProducto.empty())
        NombreProducto = producto_;
    return Ruta_CalificarRuta(Ruta_CalificarRuta(Ruta_CalificarRuta(carpeta) + NombreCompania) + NombreProducto);
}

std::string FileTool::Ruta_ArchivoDeDatos(intptr_t hWnd, bool Comun) const {
    std::string compania, producto;
    return Ruta_ArchivoDeDatos(hWnd, Comun, compania, producto);
}

void FileTool::EstablecerDatosCompania(const std::string& mCompania, const std::string& mProducto) {
    compania_ = mCompania;
    producto_ = mProducto;
}

// ---- Temporary files and folders ----

std::string FileTool::RutaTemporal() const { return platform::CarpetaTemporal(); }

bool FileTool::NombreNuevoArchivoTemporal(std::string& Resultado) const {
    std::string carpeta = platform::CarpetaTemporal();
    std::string ruta;
    if (carpeta.empty() || !platform::CrearArchivoTemporal(carpeta, producto_, ruta))
        return false;
    Resultado = Trim(ruta);
    return true;
}

bool FileTool::NombreNuevaRutaTemporal(std::string& Resultado) const {
    std::string ruta;
    if (!NombreNuevoArchivoTemporal(ruta))
        return false;
    if (!platform::BorrarArchivo(ruta) || !platform::CrearCarpeta(ruta)) {
        platform::MsgBox(platform::TextoErrorSistema(platform::UltimoErrorSistema()), platform::vbOKOnly,
                         std::string(build::NombreEjecutable));
        return false;
    }
    Resultado = Ruta_CalificarRuta(ruta);
    return true;
}

bool FileTool::ArchivoTemporal_Abrir(std::string& RutaArchivo, platform::ArchivoNativo& NF, bool) const {
    if (!platform::HayManejadorLibre())
        return false;
    std::string ruta;
    if (!NombreNuevoArchivoTemporal(ruta))
        return false;
    RutaArchivo = ruta;
    return NF.Abrir(ruta, platform::ArchivoNativo::Modo::Crear);
}

bool FileTool::ArchivoTemporal_Escribir(const std::vector<uint8_t>& BytesArchivo, platform::ArchivoNativo& NF) const {
    if (NF.Escribir(ABytes(BytesArchivo)))
        return true;
    MostrarErrorSistema(NF.UltimoError());
    return false;
}

bool FileTool::ArchivoTemporal_Cerrar(platform::ArchivoNativo& NF) const {
    bool abierto = NF.Abierto();
    if (NF.Cerrar())
        return true;
    MostrarErrorSistema(abierto ? NF.UltimoError() : platform::kErrorManejadorNoValido);
    return false;
}

bool FileTool::WriteFileTemporal(const std::vector<uint8_t>& BytesArchivo, std::string& RutaArchivo) const {
    if (!platform::HayManejadorLibre() || !NombreNuevoArchivoTemporal(RutaArchivo))
        return false;
    platform::ArchivoNativo f;
    return f.Abrir(RutaArchivo, platform::ArchivoNativo::Modo::Crear) && f.Escribir(ABytes(BytesArchivo)) &&
           f.Cerrar();
}

// ---- Whole files ----

bool FileTool::ReadFileToBytes(const std::string& RutaArchivo, std::vector<uint8_t>& BytesArchivo) const {
    if (!FileExist(RutaArchivo) || !platform::HayManejadorLibre())
        return false;
    platform::ArchivoNativo f;
    if (!f.Abrir(RutaArchivo, platform::ArchivoNativo::Modo::Leer))
        return false;
    int64_t tamano = f.Tamano();
    if (tamano < 0)
        return false;
    std::vector<uint8_t> leido(static_cast<size_t>(tamano));
    size_t n = 0;
    if (!f.Leer(reinterpret_cast<char*>(leido.data()), leido.size(), n) || n != leido.size())
        return false;
    BytesArchivo = std::move(leido);
    return true;
}

bool FileTool::Archivo_EscribirString(const std::string& TodoArchivo_String, const std::string& RutaArchivo,
                                      bool SobreEscribir, bool UsarShellTemporal) const {
    bool append = false;
    return Archivo_EscribirString(TodoArchivo_String, RutaArchivo, SobreEscribir, UsarShellTemporal, append);
}

bool FileTool::Archivo_EscribirString(const std::string& TodoArchivo_String, const std::string& RutaArchivo,
                                      bool SobreEscribir, bool UsarShellTemporal, bool& Append,
                                      int32_t TamanoAppendReiniciar, bool InsertarTimeStampAppend) const {
    using Modo = platform::ArchivoNativo::Modo;
    if (Append && !FileExist(RutaArchivo))
        Append = false;
    if (!platform::HayManejadorLibre())
        return false;
    const std::string bytes = AAnsi(TodoArchivo_String);
    platform::ArchivoNativo f;
    if (UsarShellTemporal) {
        std::string temporal;
        if (!NombreNuevoArchivoTemporal(temporal))
            return false;
        bool escrito = f.Abrir(temporal, Modo::Crear) && f.Escribir(bytes) && f.Cerrar();
        if (escrito && SH_MoverArchivo(temporal, RutaArchivo))
            return true;
        f.Cerrar();
        platform::BorrarArchivo(temporal);
        return false;
    }
    if (!FolderExist(Ruta_ExtraerRuta(RutaArchivo)))
        return false;
    if (SobreEscribir && FileExist(RutaArchivo) && !Append)
        platform::BorrarArchivo(RutaArchivo);
    if (Append) {
        if (TamanoAppendReiniciar > 0 && platform::TamanoArchivo(RutaArchivo) > TamanoAppendReiniciar)
            platform::BorrarArchivo(RutaArchivo);
        Append = FileExist(RutaArchivo);
    }
    if (Append) {
        // Print # of a text file: every line ends with CR LF; the stamp's own
        // text starts and ends with one, so a blank line follows it.
        std::string texto;
        if (InsertarTimeStampAppend)
            texto = std::string(vbCrLf) + "*** Fecha y Hora: " +
                    platform::TextoFechaHora(platform::AhoraLocal()) + " ***" + std::string(vbCrLf) +
                    std::string(vbCrLf);
        texto = AAnsi(texto) + bytes + std::string(vbCrLf);
        return f.Abrir(RutaArchivo, Modo::LeerEscribir) && f.IrAlFinal() && f.Escribir(texto) && f.Cerrar();
    }
    return f.Abrir(RutaArchivo, Modo::EscribirDesdeInicio) && f.Escribir(bytes) && f.Cerrar();
}

// ---- Checks ----

bool FileTool::FileExist(const std::string& sSource) const { return platform::BuscarPrimero(sSource); }

bool FileTool::FolderExist(const std::string& sFolder) const {
    std::string r = Trim(sFolder);
    if (TerminaEnSeparador(r))
        r.pop_back();
    platform::EntradaBuscada e;
    return platform::BuscarPrimero(r, &e) && e.EsCarpeta;
}

bool FileTool::Archivo_ArchivoYaEstaAbierto(const std::string& FileName) const {
    return platform::ArchivoAbiertoPorOtro(FileName);
}

// ---- Moving and deleting ----

bool FileTool::SH_MoverArchivo(const std::string& NombreOrigen, const std::string& NombreDestino) const {
    bool abortado = false;
    return platform::MoverConShell(NombreOrigen, NombreDestino, abortado) == 0 && !abortado;
}

bool FileTool::Ruta_EliminarRuta(const std::string&) const { return false; }
bool FileTool::Ruta_Borrar(const std::string&) const { return false; }

// ---- MD5 digests ----

std::string FileTool::MD5ObtenerHash(const std::string& RutaArchivo) const {
    clsMD5File md5;
    return md5.DigestFileToHexStr(RutaArchivo);
}

bool FileTool::MD5VerificarHash(const std::string& RutaArchivo, const std::string& Hash) const {
    if (Trim(Hash).empty())
        return false;
    return UCase(Trim(Hash)) == UCase(MD5ObtenerHash(RutaArchivo));
}

} // namespace olvado
