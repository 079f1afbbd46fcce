// POSIX child processes: posix_spawn with an explicit environment.
#include "platform/ProcesoHijo.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace olvado::platform {

ProcesoHijo::~ProcesoHijo() {
    if (!terminado_)
        Terminar();
}

bool ProcesoHijo::Iniciar(const std::vector<std::string>& argumentos,
                          const std::vector<std::pair<std::string, std::string>>& entorno,
                          const std::string& carpeta) {
    if (argumentos.empty() || !terminado_)
        return false;
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        const char* igual = std::strchr(*e, '=');
        if (igual)
            vars[std::string(*e, static_cast<size_t>(igual - *e))] = igual + 1;
    }
    for (const auto& [n, v] : entorno) {
        if (v.empty())
            vars.erase(n);
        else
            vars[n] = v;
    }
    std::vector<std::string> envTexto;
    for (const auto& [n, v] : vars)
        envTexto.push_back(n + "=" + v);
    std::vector<char*> envp, argv;
    for (auto& s : envTexto)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argumentos;
    for (auto& s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    if (!carpeta.empty())
        posix_spawn_file_actions_addchdir_np(&acciones, carpeta.c_str());
    if (!salida_.empty())
        posix_spawn_file_actions_addopen(&acciones, STDOUT_FILENO, salida_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!error_.empty())
        posix_spawn_file_actions_addopen(&acciones, STDERR_FILENO, error_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int r = posix_spawn(&pid, args[0].c_str(), &acciones, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&acciones);
    if (r != 0)
        return false;
    id_ = pid;
    terminado_ = false;
    codigo_ = -1;
    return true;
}

int32_t ProcesoHijo::Esperar() {
    if (terminado_)
        return codigo_;
    int estado = 0;
    pid_t r;
    do {
        r = ::waitpid(static_cast<pid_t>(id_), &estado, 0);
    } while (r < 0 && errno == EINTR);
    terminado_ = true;
    if (r < 0)
        codigo_ = -1;
    else if (WIFEXITED(estado))
        codigo_ = WEXITSTATUS(estado);
    else
        codigo_ = 128 + WTERMSIG(estado);
    return codigo_;
}

bool ProcesoHijo::EnEjecucion() {
    if (terminado_)
        return false;
    int estado = 0;
    pid_t r = ::waitpid(static_cast<pid_t>(id_), &estado, WNOHANG);
    if (r == 0)
        return true;
    terminado_ = true;
    codigo_ = r < 0 ? -1 : WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
    return false;
}

bool ProcesoHijo::Terminar() {
    if (terminado_)
        return false;
    ::kill(static_cast<pid_t>(id_), SIGKILL);
    Esperar();
    return true;
}

std::string RutaEjecutableActual() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

} // namespace olvado::platform
