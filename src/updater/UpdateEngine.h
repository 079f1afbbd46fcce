// The update engine: is the installed product behind the package stored in
// the shared database (table BinariosAct), and if so, the package written to
// disk, its digest checked and the installer handed back (updater mode) or
// started (interactive mode, used by the family's main programs).
#pragma once

#include "base/Servicio.h"
#include "updater/Paquete.h"

#include <cstdint>
#include <string>

namespace olvado {

class clsDB;
class clsSqlSyntaxEngine;
namespace platform {
class ArchivoSellado;
}

// What the engine asks of the rest of the program: the pending-update marks,
// the stored credentials' registry copy, the close-applications dialog, the
// interactive launch and the command line. The running program's is bound to
// the process-wide common utilities; tests put a fake in its place.
class IEntornoActualizacion : public Servicio<IEntornoActualizacion> {
public:
    static IEntornoActualizacion& DelSistema(); // UpdateEngineEntorno.cpp
    virtual ~IEntornoActualizacion() = default;
    virtual bool ChequearActualizacionPendiente() = 0;
    virtual void MarcarActualizacionPendiente() = 0;
    virtual void LimpiarActualizacionPendiente() = 0;
    virtual bool Registro_GuardarCredenciales(const std::string& UsuarioCifrado,
                                              const std::string& ContrasenaCifrada) = 0;
    // False when the user gave up closing the family's programs.
    virtual bool EsperarACerrar() = 0;
    // The common utilities' EjecutarComoAdmin; Paquete is the file held open
    // since its digest was checked (see platform/ArchivoSellado.h).
    virtual bool EjecutarComoAdmin(int32_t hWnd, const std::string& Archivo, const std::string& Parametros,
                                   const std::string& Usuario, const std::string& Contrasena,
                                   const platform::ArchivoSellado* Paquete) = 0;
    // The program's command line after its name ("" without arguments).
    virtual std::string LineaDeComandos() = 0;
    // The hexadecimal Ed25519 key that packages must be signed with
    // (registry value "ClavePublicaPaquetes"); Clave "" (no such value)
    // starts unsigned packages. False when the registry cannot tell (Motivo
    // says why): then no package starts.
    virtual bool ClavePublicaPaquetes(std::string& Clave, std::string& Motivo) = 0;
};

// The command line that the program's own collaborators answer (main sets it).
void EstablecerLineaDeComandos(const std::string& linea);

// Installer switches of each mode.
inline constexpr const char* kParametrosActualizador = "/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-";
inline constexpr const char* kParametrosInteractivo = "/SILENT /SUPPRESSMSGBOXES /NOCANCEL";

// Where the package is written: the common data folder + "DB" + product +
// "_Act.exe". The family's installation creates that folder; the engine does not.
std::string RutaPaquete();

// The process-wide package of the engine (Servicios().Paquete), made on
// first use: its module state (SinMensajes, Resultado, the compared version)
// and, after a preparation, the held file.
Paquete& PaqueteActual();

// True: nothing to install (up to date, or no package for the product; the
// pending mark is cleared). False with Ejecutar: a newer package must be
// prepared (also when the query did not open). False without Ejecutar: the
// product is newer than the package. With VersionExterna the given version is
// the installed one, otherwise this program's own.
bool ActualizarVersionDistribucion(bool& Ejecutar, bool ModoActualizador, bool VersionExterna, int32_t Major,
                                   int32_t Minor, int32_t Revision);

// The version check against the product's BinariosAct row. DB and SQL null:
// the process-wide ones. False when the query did not open (nothing set), when
// the other side is newer (MasReciente) or the package is newer; true for
// equal versions and for no row (SinPaquete).
bool VerificarVersionPaquete(bool& SinPaquete, bool& MasReciente, clsDB* DB, clsSqlSyntaxEngine* SQL,
                             bool SinMensajes, int32_t& PaqMajor, int32_t& PaqMinor, int32_t& PaqRevision,
                             std::string& HashCifrado, bool VersionExterna, int32_t Major, int32_t Minor,
                             int32_t Revision);

// Writes the package of the compared version (a caller that made no check gets
// one, silent, first), verifies it and (interactive mode) starts it. In updater
// mode Archivo and Parametros are set only when a verified package exists;
// then PaqueteActual().Sellado() holds the very bytes that were written and
// checked, and the caller starts it from there. Every failure ends without a
// package and, in updater mode, without a message.
void PrepararPaqueteActualizacion(bool ModoActualizador, std::string& Archivo, std::string& Parametros);

// The package's digest against HashCifrado (enciphered). An empty or
// undecipherable digest answers false and leaves the file; a mismatch deletes
// it (and in interactive mode says so). The package PaqueteActual() has just
// written at Archivo is checked by the digests taken while it was written;
// any other file is held and read once, and one that cannot be opened or read
// is deleted too and raises ErrorOlvado (75, 57). The held file stays held on
// success. With a package key configured, the row's signature must also
// verify over the same bytes as the product's package of the compared version
// (common/FirmaPaquete.h); otherwise the file is deleted and the log says so.
bool VerificarAutenticidadPaquete(const std::string& Archivo, const std::string& HashCifrado,
                                  bool ModoActualizador);

// Interactive launch under the stored account (or the current one); the file
// PaqueteActual() holds for Archivo starts from there.
bool EjecutarPaqueteActualizacion(const std::string& Archivo, int32_t hWnd, const std::string& Parametros);

// The stored administrator account ("EXU", "EXC"), deciphered, after handing
// the enciphered texts to the registry. Both empty when either is missing.
void ObtenerCredencialesEjecucion(std::string& Usuario, std::string& Contrasena);

} // namespace olvado
