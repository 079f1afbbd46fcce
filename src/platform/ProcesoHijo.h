// A child process started with an argument vector: the building block of the
// launchers and of the tests that need real processes (a test binary re-runs
// itself as the child with --gtest_filter and an environment variable).
// Both systems: Iniciar answers false when the program cannot be started;
// Esperar blocks without limit and answers the exit code (-1 when there is no
// child or it could not be waited for); the destructor kills a child still
// running, so a failing test leaves no process behind.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace olvado::platform {

class ProcesoHijo {
public:
    ProcesoHijo() = default;
    ~ProcesoHijo();
    ProcesoHijo(const ProcesoHijo&) = delete;
    ProcesoHijo& operator=(const ProcesoHijo&) = delete;

    // argumentos[0] is the program's path. entorno adds or replaces variables
    // of this process's environment (an empty value removes one). carpeta
    // empty: the current folder.
    bool Iniciar(const std::vector<std::string>& argumentos,
                 const std::vector<std::pair<std::string, std::string>>& entorno = {},
                 const std::string& carpeta = "");
    // Before Iniciar: the child's standard output and standard error go to
    // these files (created or emptied); an empty path leaves that one
    // inherited. Tests use it to read what a built program prints.
    void RedirigirSalidas(const std::string& salida, const std::string& error) {
        salida_ = salida;
        error_ = error;
    }
    int32_t Esperar();
    bool EnEjecucion();
    // Ends the child at once (SIGKILL / TerminateProcess) and reaps it.
    bool Terminar();
    int64_t Id() const { return id_; }

private:
    int64_t id_ = 0;
    void* handle_ = nullptr; // the process handle on Windows
    bool terminado_ = true;
    int32_t codigo_ = -1;
    std::string salida_, error_;
};

// The running program's own path.
std::string RutaEjecutableActual();

} // namespace olvado::platform
