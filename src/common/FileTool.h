// FileTool: path splitting and joining, special folders, temporary files and
// folders, whole-file reads and writes, existence checks, the shell's move and
// file-name cleaning. Created where needed, used for a few calls, released.
// Folder paths that it returns end with a separator (Ruta_CalificarRuta is the
// one place that adds it); failures answer false or "", and no member throws
// but the MD5 wrappers, whose file errors reach the caller.
// On Linux "/" counts as a separator beside "\" (see platform/Rutas.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace olvado {
namespace platform {
class ArchivoNativo;
}

class FileTool {
public:
    // Company and product from the program's own identity (its version
    // resource; the build configuration where there is none).
    FileTool();

    // Paths and names.
    std::string Ruta_ObtenerNombreArchivo(const std::string& sPath, bool ConExtension = false) const;
    std::string Ruta_ExtraerRuta(const std::string& FullPath) const;
    std::string Ruta_CalificarRuta(const std::string& sPath) const;
    std::string Ruta_ObtenerExtension(const std::string& sPath, bool SinElPunto = false) const;
    std::string Ruta_ObtenerRaiz(const std::string& sPath) const;
    std::string Ruta_QuitarRaiz(const std::string& sPath) const;
    bool UNC_EsRutaUNCValida(const std::string& sPath) const;
    std::string LimpiarNombreArchivo(const std::string& NombreArchivo, bool ReemplazarEspacios = false,
                                     bool OmitirPunto = false) const;
    // The control's width is given in twips (its Width property).
    std::string Ruta_RutaCompactada(intptr_t vhDC, double AnchoControlTwips, const std::string& Ruta) const;

    // Special folders.
    std::string Ruta_RutaEspecial(intptr_t hWnd, int32_t Tipo = 0) const;
    std::string Ruta_MisDocumentos() const;
    std::string Ruta_System() const;
    // Empty names are replaced by the program's and written back.
    std::string Ruta_ArchivoDeDatos(intptr_t hWnd, bool Comun, std::string& NombreCompania,
                                    std::string& NombreProducto) const;
    std::string Ruta_ArchivoDeDatos(intptr_t hWnd, bool Comun = false) const;
    void EstablecerDatosCompania(const std::string& mCompania, const std::string& mProducto);

    // Temporary files and folders.
    std::string RutaTemporal() const;
    bool NombreNuevoArchivoTemporal(std::string& Resultado) const;
    bool NombreNuevaRutaTemporal(std::string& Resultado) const;
    bool ArchivoTemporal_Abrir(std::string& RutaArchivo, platform::ArchivoNativo& NF, bool SobreEscribir) const;
    bool ArchivoTemporal_Escribir(const std::vector<uint8_t>& BytesArchivo, platform::ArchivoNativo& NF) const;
    bool ArchivoTemporal_Cerrar(platform::ArchivoNativo& NF) const;
    bool WriteFileTemporal(const std::vector<uint8_t>& BytesArchivo, std::string& RutaArchivo) const;

    // Whole files.
    bool ReadFileToBytes(const std::string& RutaArchivo, std::vector<uint8_t>& BytesArchivo) const;
    // Append is the caller's variable: it sees the changes of the rules.
    bool Archivo_EscribirString(const std::string& TodoArchivo_String, const std::string& RutaArchivo,
                                bool SobreEscribir, bool UsarShellTemporal, bool& Append,
                                int32_t TamanoAppendReiniciar = 0, bool InsertarTimeStampAppend = false) const;
    bool Archivo_EscribirString(const std::string& TodoArchivo_String, const std::string& RutaArchivo,
                                bool SobreEscribir = false, bool UsarShellTemporal = false) const;

    // Checks.
    bool FileExist(const std::string& sSource) const;
    bool FolderExist(const std::string& sFolder) const;
    bool Archivo_ArchivoYaEstaAbierto(const std::string& FileName) const;

    // Moving and deleting.
    bool SH_MoverArchivo(const std::string& NombreOrigen, const std::string& NombreDestino) const;
    // Kept for callers of the interface: they do nothing and answer false.
    bool Ruta_EliminarRuta(const std::string& Ruta) const;
    bool Ruta_Borrar(const std::string& Ruta) const;

    // MD5 digests of packages, by a clsMD5File made for the call. A file that
    // cannot be opened or read raises ErrorOlvado to the caller.
    std::string MD5ObtenerHash(const std::string& RutaArchivo) const;
    // False for a blank Hash, without reading the file; otherwise true when
    // Hash upper-cased and trimmed equals the upper-cased digest exactly.
    bool MD5VerificarHash(const std::string& RutaArchivo, const std::string& Hash) const;

private:
    std::string compania_;
    std::string producto_;
};

} // namespace olvado
