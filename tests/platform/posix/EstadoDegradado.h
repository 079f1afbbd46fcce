// A caller that leaves its process in a state of its own choosing, and a
// program that reports the state it was started in: what the launches for
// another account or for root must not hand down.
#pragma once

#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olvado::prueba {

// umask 000, USR1 and TERM ignored, USR2 blocked, a descriptor 9, output and
// error to a file, a file-size soft limit of 100 KiB and, as modo asks, the
// hard one too ("duro") or nice 7 ("nice").
inline void Degradar(const std::string& modo, const std::string& salida) {
    ::umask(0);
    ::signal(SIGUSR1, SIG_IGN);
    ::signal(SIGTERM, SIG_IGN);
    sigset_t bloqueadas;
    sigemptyset(&bloqueadas);
    sigaddset(&bloqueadas, SIGUSR2);
    ::sigprocmask(SIG_BLOCK, &bloqueadas, nullptr);
    ::dup2(::open("/etc/hostname", O_RDONLY), 9);
    const int f = ::open(salida.c_str(), O_WRONLY | O_CREAT, 0600);
    ::dup2(f, 1);
    ::dup2(f, 2);
    rlimit limite{102400, modo == "duro" ? 102400 : RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limite);
    ::setpriority(PRIO_PROCESS, 0, modo == "nice" ? 7 : 0);
}

// A script that writes its state to registro and its descriptors to fds
// ("N -> target" each; find writes the file itself: a redirection would
// have the shell hold one more). The shell reads its own signals: a child
// could catch it blocking them all while it waits.
inline void EscribirGuionEstado(const std::filesystem::path& guion, const std::filesystem::path& registro,
                                const std::filesystem::path& fds) {
    EscribirArchivo(
        guion,
        "#!/bin/sh\nfind /proc/$$/fd -mindepth 1 -fprintf '" + fds.string() +
            "' '%f -> %l\\n'\n{ while read -r n v; do case $n in Sig[BI]*) printf '%s\\t%s\\n' $n $v;; esac; "
            "done < /proc/$$/status; echo \"umask=$(umask)\"; "
            "echo \"nice=$(sed 's/.*) //' /proc/$$/stat | cut -d' ' -f17)\"; "
            "echo \"fsize=$(ulimit -f)\"; echo \"cwd=$(pwd)\"; } > '" +
            registro.string() + "'\n");
    ::chmod(guion.c_str(), 0755);
}

// The known state: no ignored or blocked signal, umask 022, nice 0, no
// file-size limit, in carpeta, only 0, 1, 2 open (to /dev/null: the caller's
// are no terminal) besides the shell's own hold on its script.
inline void EsperarEstadoConocido(const std::filesystem::path& guion, const std::filesystem::path& registro,
                                  const std::filesystem::path& fds, const std::filesystem::path& carpeta) {
    EXPECT_EQ(LeerArchivo(registro), "SigBlk:\t0000000000000000\nSigIgn:\t0000000000000000\numask=0022\n"
                                     "nice=0\nfsize=unlimited\ncwd=" +
                                         carpeta.string() + "\n");
    std::istringstream lineas(LeerArchivo(fds));
    std::set<std::string> abiertos;
    for (std::string l; std::getline(lineas, l);)
        if (!l.ends_with(" -> " + guion.string()))
            abiertos.insert(l);
    EXPECT_EQ(abiertos, (std::set<std::string>{"0 -> /dev/null", "1 -> /dev/null", "2 -> /dev/null"}));
}

} // namespace olvado::prueba
