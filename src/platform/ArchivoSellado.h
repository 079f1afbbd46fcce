// A package file held so that the bytes whose digest was checked are the
// bytes that run: open it once, digest it through Leer, start it from the
// same object (the launchers take it), and keep it alive until the started
// process has begun (or ended, when the launch waits).
//
// Windows: the file is open for reading without write or delete sharing, so
// nobody can write, truncate, rename, delete or replace it while it is held;
// the launch names its path.
// Linux: Abrir copies the file (never through a link, never a FIFO or
// device) into an anonymous memory file and seals it against writing,
// shrinking and growing; Leer reads that sealed copy and the launch starts it
// through its descriptor (/proc/self/fd/N, which an interpreter re-opens as
// /dev/fd/N). Rewriting the file in place, replacing or renaming it changes
// nothing, whoever owns it. The copy costs the package's size in memory
// while it is held.
//
// The updater writes a package once, straight into the held file: Crear,
// Escribir buffer by buffer, Sellar; afterwards the object is as after Abrir.
// Until Sellar the package is absent for everyone else, and Cerrar (or the
// process dying) leaves nothing at its path: a package is whole or absent.
// Windows: the new file's DACL lets only this account and SYSTEM change it
// and the Administrators read it, and it is marked for deletion until Sellar.
// Linux: the bytes go into the memory file; Sellar seals it and only then
// links a copy into the path (the launchers, the tests and later runs read
// it there), made by the kernel from the sealed bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace olvado::platform {

class ArchivoSellado {
public:
    ArchivoSellado() = default;
    ~ArchivoSellado() { Cerrar(); }
    ArchivoSellado(const ArchivoSellado&) = delete;
    ArchivoSellado& operator=(const ArchivoSellado&) = delete;

    // False when the file cannot be opened or held as described.
    bool Abrir(const std::string& ruta);
    // A file an earlier run left at ruta (or anyone planted there), held as
    // Abrir holds it; only a plain file with one name (no link of either
    // kind, no device) is taken.
    bool AbrirPrevio(const std::string& ruta);
    // After AbrirPrevio: frees ruta for a new file while the held bytes stay
    // readable (Mapear); nothing of them is left once the object lets go,
    // also when the process is killed. Linux: the name is removed (the bytes
    // are the sealed copy). Windows: the same file (checked by its identity)
    // is opened again with delete access, renamed aside and marked for
    // deletion. False when the name cannot be freed.
    bool SoltarRuta();
    // The held (sealed) bytes as one read-only view, valid until Cerrar;
    // empty when they cannot be mapped or there are none.
    std::string_view Mapear();

    // Creates the package at `ruta` as a new file (never through a link, never
    // over anything that is there: a file, FIFO, device or link already at
    // `ruta` is a failure) and holds it for writing.
    bool Crear(const std::string& ruta);
    // Appends n bytes; false on failure (the caller then calls Cerrar, which removes the file).
    bool Escribir(const void* datos, size_t n);
    // Instead of Escribir: the new file gets exactly n bytes and a writable
    // view of them (valid until Sellar or Cerrar) into which the caller
    // writes the package; empty on failure.
    std::span<char> Reservar(uint64_t n);
    // Pages of that view before byte hasta, already written and read, leave
    // this process's memory (Linux: their content stays in the file; elsewhere
    // nothing happens): the view costs what is being written, not the package.
    void SoltarPaginas(uint64_t hasta);
    // Ends the writing: afterwards the object is exactly as after a successful
    // Abrir(ruta) (Leer from the start after Rebobinar, Tamano, RutaLectura,
    // Nativo for the launchers). False on failure (nothing is held then and
    // the file is gone).
    bool Sellar();

    // Up to n bytes from the current position: the count, 0 at the end, -1 on failure.
    int64_t Leer(void* destino, size_t n);
    bool Rebobinar();
    int64_t Tamano() const;
    // A file created and not sealed is removed.
    void Cerrar();

    // A name that reads the held bytes, for a writer that opens by name (the
    // publisher's upload): Linux /proc/self/fd/N of the sealed copy; Windows
    // the file's own path, which nobody can write while it is held.
    std::string RutaLectura() const;

    bool Abierto() const { return nativo_ != kInvalido; }
    const std::string& Ruta() const { return ruta_; }
    // The descriptor (Linux) or HANDLE (Windows), for the launchers.
    intptr_t Nativo() const { return nativo_; }

private:
    static constexpr intptr_t kInvalido = -1;
    intptr_t nativo_ = kInvalido;
    std::string ruta_;
    bool creando_ = false; // between Crear and Sellar
    bool previo_ = false;  // held by AbrirPrevio
    // A view of the file (Mapear or Reservar) and, on Windows, its section.
    char* vista_ = nullptr;
    size_t tamanoVista_ = 0;
    intptr_t seccion_ = kInvalido;
    // Windows: the file's identity when AbrirPrevio held it (volume, index).
    uint64_t volumen_ = 0, indice_ = 0;
    // Maps the first n bytes of the file, writable or not, as the view.
    std::span<char> MapearVista(uint64_t n, bool escritura);
    void Desmapear();
};

inline std::string_view ArchivoSellado::Mapear() {
    if (vista_ || creando_ || !Abierto())
        return {vista_, tamanoVista_};
    const int64_t n = Tamano();
    if (n <= 0 || static_cast<uint64_t>(n) > SIZE_MAX)
        return {};
    const std::span<char> v = MapearVista(static_cast<uint64_t>(n), false);
    return {v.data(), v.size()};
}

} // namespace olvado::platform
