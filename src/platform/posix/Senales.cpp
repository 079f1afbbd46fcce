// POSIX: sigaction with a handler that only records the signal.
#include "platform/Senales.h"

#include <csignal>
#include <unistd.h>

namespace olvado::platform {
namespace {

constexpr int kSenales[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t pendiente = 0;
struct sigaction anteriores[3];
bool instaladas[3] = {};

extern "C" void Anotar(int senal) { pendiente = senal; }

} // namespace

SenalesDiferidas::SenalesDiferidas() {
    struct sigaction sa{};
    sa.sa_handler = Anotar;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: a blocked read comes back to the loop
    for (int i = 0; i < 3; ++i) {
        instaladas[i] = false;
        if (::sigaction(kSenales[i], nullptr, &anteriores[i]) != 0 || anteriores[i].sa_handler == SIG_IGN)
            continue;
        instaladas[i] = ::sigaction(kSenales[i], &sa, nullptr) == 0;
    }
}

SenalesDiferidas::~SenalesDiferidas() {
    for (int i = 0; i < 3; ++i)
        if (instaladas[i])
            ::sigaction(kSenales[i], &anteriores[i], nullptr);
}

int SenalPendiente() { return pendiente; }

int SenalDelPlazo() { return SIGALRM; }

void TerminarConSenal(int senal) {
    struct sigaction sa{};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    ::sigaction(senal, &sa, nullptr);
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, senal);
    ::sigprocmask(SIG_UNBLOCK, &s, nullptr);
    ::raise(senal);
    ::_exit(128 + senal); // a signal whose default is not to end (none of ours)
}

} // namespace olvado::platform
