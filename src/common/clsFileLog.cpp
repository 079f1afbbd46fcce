#include "common/clsFileLog.h"

#include "base/Texto.h"
#include "common/FileTool.h"
#include "platform/ErroresSistema.h"
#include "platform/FechaHoraLocal.h"
#include "platform/MessageBox.h"

#include <chrono>
#include <thread>

namespace olvado {

clsFileLog::clsFileLog() { EstablecerNombreArchivoDestinoEnMisDocumentos("OlvadoSystems_Log.txt"); }

clsFileLog::~clsFileLog() {
    try {
        Escribir();
    } catch (...) {
        // A destructor of the log must never end the program.
    }
    buffer_.reset();
}

void clsFileLog::EstablecerNombreArchivoDestinoEnMisDocumentos(const std::string& Nombre) {
    FileTool ft;
    ArchivoDestino = ft.Ruta_CalificarRuta(ft.Ruta_RutaEspecial(0, 5)) + Nombre;
}

void clsFileLog::AgregarLog(const std::string& Texto, bool NuevaLinea) {
    std::lock_guard<std::timed_mutex> l(cerrojo_);
    Agregar(Texto, NuevaLinea);
}

bool clsFileLog::Escribir() {
    std::lock_guard<std::timed_mutex> l(cerrojo_);
    return EscribirPendiente();
}

bool clsFileLog::AgregarYEscribir(const std::string& Texto, std::chrono::milliseconds Espera) {
    std::unique_lock<std::timed_mutex> l(cerrojo_, Espera);
    if (!l.owns_lock())
        return false;
    Agregar(Texto, true);
    return EscribirPendiente();
}

void clsFileLog::Agregar(const std::string& Texto, bool NuevaLinea) {
    if (!buffer_)
        buffer_ = std::make_unique<cStringBuilder>();
    if (NuevaLinea)
        buffer_->Append(std::string(vbCrLf) + platform::TextoFechaHora(platform::AhoraLocal()) + " -- " + Texto);
    else
        buffer_->Append(Texto);
}

bool clsFileLog::EscribirPendiente() {
    if (!buffer_)
        return true;
    int32_t codigo = 0;
    auto r = EscribirTextoAnsi(buffer_->Unidades(), ArchivoDestino, ModoAppend, TamanoMaxArchivoAppend, codigo);
    // Another run appending at the same moment holds the file for an instant:
    // wait for it, a bounded time, rather than lose this run's entries.
    auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (r == ResultadoEscritura::Fallido && codigo == platform::kErrorArchivoEnUso &&
           std::chrono::steady_clock::now() < limite) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        r = EscribirTextoAnsi(buffer_->Unidades(), ArchivoDestino, ModoAppend, TamanoMaxArchivoAppend, codigo);
    }
    if (r == ResultadoEscritura::Escrito) {
        buffer_.reset();
        return true;
    }
    if (r == ResultadoEscritura::Fallido && AvisarError) {
        std::string crlf2 = std::string(vbCrLf) + std::string(vbCrLf);
        platform::MsgBox("No se pudo escribir archivo de log: " + crlf2 + ArchivoDestino + crlf2 +
                             platform::TextoErrorSistema(codigo),
                         platform::vbExclamation, "Error");
    }
    return false;
}

} // namespace olvado
