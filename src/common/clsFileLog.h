// clsFileLog: the run log. Entries are collected in memory (a cStringBuilder)
// and written in one piece by Escribir, which the destructor calls: the file
// is touched once, at the end of the run. Each entry added with NuevaLinea is
// CR LF + local date and time + " -- " + text, so a file begins with CR LF and
// ends with its last entry's text. The log never stops the program: every
// failure is swallowed (a message box only with AvisarError). Entries and
// writes may come from two threads (the run's watchdog ends a run from its
// own): one lock orders them.
#pragma once

#include "common/cStringBuilder.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace olvado {

class clsFileLog {
public:
    std::string ArchivoDestino;             // full path of the log file
    bool ModoAppend = true;                 // add to an existing file
    int32_t TamanoMaxArchivoAppend = 409600; // bytes; 0 or less: no limit
    bool AvisarError = false;

    // The destination starts as Documents + "OlvadoSystems_Log.txt".
    clsFileLog();
    // Writes what is pending; a failed write is lost.
    ~clsFileLog();
    clsFileLog(const clsFileLog&) = delete;
    clsFileLog& operator=(const clsFileLog&) = delete;

    // ArchivoDestino = the Documents folder with its separator + Nombre. The
    // folder is neither checked nor created; without one it is "\" + Nombre,
    // which no write finds.
    void EstablecerNombreArchivoDestinoEnMisDocumentos(const std::string& Nombre);
    void AgregarLog(const std::string& Texto, bool NuevaLinea = false);
    // True when nothing was pending or the write completed; the text stays
    // pending when it was skipped or failed.
    bool Escribir();
    // AgregarLog (NuevaLinea) and Escribir in one hold of the lock, waiting
    // for it at most Espera (false, nothing done, when another thread keeps it).
    bool AgregarYEscribir(const std::string& Texto, std::chrono::milliseconds Espera);

private:
    void Agregar(const std::string& Texto, bool NuevaLinea);
    bool EscribirPendiente();

    std::timed_mutex cerrojo_;
    std::unique_ptr<cStringBuilder> buffer_;
};

} // namespace olvado
