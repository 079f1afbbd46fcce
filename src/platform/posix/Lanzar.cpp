// POSIX process start: the system's helpers, a built environment, file kinds, fork/exec
// with an exec-failure pipe.
#include "platform/posix/Lanzar.h"

#include "platform/ErroresSistema.h"
#include "platform/posix/ErroresPosix.h"
#include "platform/posix/RasgosManejadores.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace olvado::platform {

namespace {

class ProgramasSistema final : public IProgramasSistema {
public:
    std::string Ruta(const std::string& nombre) override {
        const std::string todas = std::string(kPathSistema) + ":";
        for (size_t ini = 0, fin; (fin = todas.find(':', ini)) != std::string::npos; ini = fin + 1) {
            std::string cand = todas.substr(ini, fin - ini) + "/" + nombre;
            struct stat st {};
            if (::stat(cand.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(cand.c_str(), X_OK) == 0)
                return cand;
        }
        return "";
    }
};

// Where a child that runs as another account still needs ours: the display
// it may show on and the language it speaks.
bool DeLaSesion(const std::string& nombre) {
    for (const char* n : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "LANG", "LANGUAGE", "LC_ALL"})
        if (nombre == n)
            return true;
    return false;
}

} // namespace

IProgramasSistema& IProgramasSistema::DelSistema() {
    static ProgramasSistema p;
    return p;
}

std::vector<std::string> EntornoParaCuenta(const std::string& usuario) {
    std::vector<std::string> r = {std::string("PATH=") + kPathSistema, "TERM=dumb"};
    if (const passwd* pw = ::getpwnam(usuario.c_str()); pw && pw->pw_dir)
        r.push_back(std::string("HOME=") + pw->pw_dir);
    for (char** e = environ; *e; ++e) {
        const char* igual = std::strchr(*e, '=');
        if (igual && DeLaSesion(std::string(*e, static_cast<size_t>(igual - *e))))
            r.emplace_back(*e);
    }
    return r;
}

TipoArchivo TipoDeArchivo(const std::string& ruta, int fd) {
    unsigned char m[4] = {};
    ssize_t n;
    if (fd >= 0) {
        n = ::pread(fd, m, sizeof m, 0);
    } else {
        // A FIFO or a device named like the file must not block the open.
        ScopedFd f(::open(ruta.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        bool valido = f && ::fstat(f.Get(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
        n = valido && S_ISREG(st.st_mode) ? ::read(f.Get(), m, sizeof m) : -1;
        if (!valido)
            return TipoArchivo::NoExiste;
    }
    if (n >= 2 && m[0] == '#' && m[1] == '!')
        return TipoArchivo::Ejecutable;
    if (n >= 4 && std::memcmp(m, "\x7f" "ELF", 4) == 0)
        return TipoArchivo::Ejecutable;
    if (n >= 2 && m[0] == 'M' && m[1] == 'Z')
        return TipoArchivo::Windows;
    return TipoArchivo::Documento;
}

void HacerEjecutable(const std::string& ruta, int fd, bool paraTodos) {
    struct stat st {};
    if ((fd >= 0 ? ::fstat(fd, &st) : ::stat(ruta.c_str(), &st)) != 0)
        return;
    mode_t modo = st.st_mode | S_IXUSR;
    if (paraTodos)
        modo |= (st.st_mode & (S_IRGRP | S_IROTH)) >> 2;
    if ((modo & 07777) == (st.st_mode & 07777))
        return;
    // Failing (not the owner) leaves the exec to say "access denied".
    if (fd >= 0)
        (void)::fchmod(fd, modo & 07777);
    else
        (void)::chmod(ruta.c_str(), modo & 07777);
}

std::vector<std::string> ArgumentosParaArchivo(TipoArchivo tipo, const std::string& programa,
                                               const std::vector<std::string>& argumentos) {
    std::vector<std::string> r;
    if (tipo == TipoArchivo::Ejecutable) {
        r.push_back(programa);
    } else if (tipo == TipoArchivo::Windows) {
        std::string wine = IProgramasSistema::Actual().Ruta("wine");
        if (wine.empty())
            return {};
        r = {wine, programa};
    } else {
        return {};
    }
    r.insert(r.end(), argumentos.begin(), argumentos.end());
    return r;
}

namespace {

// The limits a child asentado gets, as /proc/1/limits names them; vital: one
// the caller could set low enough to stop an installer halfway.
struct Recurso {
    decltype(RLIMIT_CPU) id; // glibc's own enumeration in C++
    const char* nombre;
    bool vital;
};
constexpr Recurso kRecursos[] = {
    {RLIMIT_CPU, "Max cpu time", true},          {RLIMIT_FSIZE, "Max file size", true},
    {RLIMIT_DATA, "Max data size", true},        {RLIMIT_STACK, "Max stack size", true},
    {RLIMIT_CORE, "Max core file size", false},  {RLIMIT_RSS, "Max resident set", false},
    {RLIMIT_NPROC, "Max processes", true},       {RLIMIT_NOFILE, "Max open files", true},
    {RLIMIT_MEMLOCK, "Max locked memory", false}, {RLIMIT_AS, "Max address space", true},
    {RLIMIT_LOCKS, "Max file locks", false},     {RLIMIT_SIGPENDING, "Max pending signals", false},
    {RLIMIT_MSGQUEUE, "Max msgqueue size", false}, {RLIMIT_NICE, "Max nice priority", false},
    {RLIMIT_RTPRIO, "Max realtime priority", false}, {RLIMIT_RTTIME, "Max realtime timeout", false},
};
constexpr size_t kNumRecursos = sizeof kRecursos / sizeof kRecursos[0];
// What logins get for open files (select's FD_SETSIZE), whatever pid 1 keeps.
constexpr rlim_t kArchivosAbiertos = 1024;

using Limites = std::array<rlimit, kNumRecursos>;

rlim_t ValorLimite(const std::string& t) {
    return t == "unlimited" ? RLIM_INFINITY : static_cast<rlim_t>(std::stoull(t));
}

// Pid 1's limits; false when they cannot be read whole.
bool LimitesDeReferencia(Limites& r) {
    std::ifstream f("/proc/1/limits");
    std::array<bool, kNumRecursos> visto{};
    std::string linea;
    while (std::getline(f, linea)) {
        for (size_t i = 0; i < kNumRecursos; ++i) {
            const size_t n = std::strlen(kRecursos[i].nombre);
            if (linea.compare(0, n, kRecursos[i].nombre) != 0 || linea.size() <= n || linea[n] != ' ')
                continue;
            char blando[32] = {}, duro[32] = {};
            if (std::sscanf(linea.c_str() + n, "%31s %31s", blando, duro) != 2)
                return false;
            try {
                r[i] = {ValorLimite(blando), ValorLimite(duro)};
            } catch (const std::exception&) {
                return false;
            }
            if (kRecursos[i].id == RLIMIT_NOFILE)
                r[i].rlim_cur = std::min(r[i].rlim_cur, kArchivosAbiertos);
            visto[i] = true;
        }
    }
    return std::all_of(visto.begin(), visto.end(), [](bool v) { return v; });
}

[[noreturn]] void Fallar(int aviso, int32_t codigo) {
    (void)!::write(aviso, &codigo, sizeof codigo);
    ::_exit(127);
}

// Each limit at the reference; a hard limit we may not raise keeps ours when
// it still holds the reference's soft limit. False when a vital one does not.
bool AsentarLimites(const Limites& ref) {
    for (size_t i = 0; i < kNumRecursos; ++i) {
        const auto id = kRecursos[i].id;
        if (::setrlimit(id, &ref[i]) == 0)
            continue;
        rlimit actual{};
        if (::getrlimit(id, &actual) != 0)
            return false;
        if (actual.rlim_max < ref[i].rlim_cur && kRecursos[i].vital)
            return false;
        actual.rlim_cur = std::min(ref[i].rlim_cur, actual.rlim_max);
        if (::setrlimit(id, &actual) != 0)
            return false;
    }
    return true;
}

// Every descriptor above 2 but those in abiertos (ascending) closed.
void CerrarSalvo(const std::vector<int>& abiertos) {
    unsigned desde = 3;
    for (int fd : abiertos) {
        if (fd < static_cast<int>(desde))
            continue;
        if (static_cast<unsigned>(fd) > desde)
            ::close_range(desde, static_cast<unsigned>(fd) - 1, 0);
        desde = static_cast<unsigned>(fd) + 1;
    }
    ::close_range(desde, ~0U, 0);
}

// The known state of Lanzar.h, after the descriptors are in place.
void Asentar(const Limites& ref, const std::vector<int>& abiertos, int aviso) {
    ::umask(022);
    // Through the kernel: the C library's sigaction refuses the real-time
    // signals it keeps for itself, which a caller may have ignored too. An
    // all-zero record is the default action with no mask in every layout.
    const unsigned long defecto[8] = {};
    for (int s = 1; s < NSIG; ++s)
        if (s != SIGKILL && s != SIGSTOP)
            ::syscall(SYS_rt_sigaction, s, defecto, nullptr, NSIG / 8);
    sigset_t vacio;
    sigemptyset(&vacio);
    ::sigprocmask(SIG_SETMASK, &vacio, nullptr);
    for (int i = 0; i < 3; ++i) {
        if (::isatty(i))
            continue;
        int nulo = ::open("/dev/null", O_RDWR);
        if (nulo < 0)
            Fallar(aviso, kErrorGeneral);
        if (nulo != i) {
            ::dup2(nulo, i);
            ::close(nulo);
        }
    }
    CerrarSalvo(abiertos);
    ::setpriority(PRIO_PROCESS, 0, 0);
    errno = 0;
    if (::getpriority(PRIO_PROCESS, 0) != 0 || errno != 0 || !AsentarLimites(ref))
        Fallar(aviso, kErrorSinPrivilegio);
}

// In the child: only async-signal-safe calls from here on.
[[noreturn]] void Hijo(char* const* argv, char* const* envp, const OpcionesLanzar& op,
                       const std::vector<int>& temporales, int aviso, const Limites& ref,
                       const std::vector<int>& abiertos) {
    if (op.terminal >= 0) {
        ::setsid();
        if (::ioctl(op.terminal, TIOCSCTTY, 0) != 0)
            Fallar(aviso, CodigoDesdeErrno(errno));
        for (int i = 0; i < 3; ++i)
            ::dup2(op.terminal, i);
    }
    for (size_t i = 0; i < op.destinos.size(); ++i)
        ::dup2(temporales[i], op.destinos[i].second);
    if (op.heredado >= 0)
        ::fcntl(op.heredado, F_SETFD, 0);
    if (op.asentado)
        Asentar(ref, abiertos, aviso);
    if (!op.carpeta.empty() && ::chdir(op.carpeta.c_str()) != 0)
        Fallar(aviso, kErrorDirectorioNoValido);
    ::execve(argv[0], argv, envp ? envp : environ);
    Fallar(aviso, CodigoDesdeErrno(errno));
}

} // namespace

int32_t Lanzar(const std::vector<std::string>& argv, const OpcionesLanzar& op, pid_t& pid) {
    pid = -1;
    if (argv.empty())
        return kErrorArchivoNoEncontrado;
    std::vector<std::string> copia = argv;
    std::vector<char*> args;
    for (auto& s : copia)
        args.push_back(s.data());
    args.push_back(nullptr);
    std::vector<std::string> entorno = op.entorno ? *op.entorno : std::vector<std::string>();
    std::vector<char*> envp;
    for (auto& s : entorno)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    // Sources moved out of the way first, so that no dup2 overwrites another's source.
    std::vector<int> temporales;
    for (const auto& d : op.destinos)
        temporales.push_back(::fcntl(d.first, F_DUPFD_CLOEXEC, 64));
    const std::vector<ScopedFd> cierreTemporales(temporales.begin(), temporales.end());
    Limites ref{};
    if (op.asentado && !LimitesDeReferencia(ref))
        return kErrorSinPrivilegio;
    int tubo[2];
    int32_t codigo = kErrorGeneral;
    if (::pipe2(tubo, O_CLOEXEC) == 0) {
        ScopedFd lectura(tubo[0]), escritura(tubo[1]);
        // What the child keeps open besides 0, 1, 2, in order.
        std::vector<int> abiertos = {tubo[1], op.heredado};
        for (const auto& d : op.destinos)
            abiertos.push_back(d.second);
        std::sort(abiertos.begin(), abiertos.end());
        pid = ::fork();
        if (pid == 0) // never comes back: execve or _exit
            Hijo(args.data(), op.entorno ? envp.data() : nullptr, op, temporales, tubo[1], ref, abiertos);
        escritura.Reset(); // the child's copy alone keeps it open, until its exec
        if (pid > 0) {
            int32_t leido = 0;
            ssize_t n;
            do {
                n = ::read(lectura.Get(), &leido, sizeof leido);
            } while (n < 0 && errno == EINTR);
            codigo = n == sizeof leido ? leido : kErrorCorrecto;
            if (codigo != kErrorCorrecto) {
                EsperarPid(pid);
                pid = -1;
            }
        } else {
            codigo = CodigoDesdeErrno(errno);
        }
    }
    return codigo;
}

int EsperarPid(pid_t pid) {
    int estado = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &estado, 0);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return -1;
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
}

} // namespace olvado::platform
