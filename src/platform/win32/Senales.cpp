// Win32: the console control handler records the event as the C runtime's
// signal number (Ctrl+C SIGINT, Ctrl+Break SIGBREAK, close, log-off and
// shut-down SIGTERM).
#include "platform/Senales.h"

#include <csignal>
#include <windows.h>

namespace olvado::platform {
namespace {

volatile LONG pendiente = 0;
HANDLE terminado = nullptr; // set when the process is about to end

BOOL WINAPI Control(DWORD evento) {
    LONG senal = SIGTERM;
    if (evento == CTRL_C_EVENT)
        senal = SIGINT;
    else if (evento == CTRL_BREAK_EVENT)
        senal = SIGBREAK;
    InterlockedExchange(&pendiente, senal);
    // The system ends the process once this returns from these events:
    // give the writer time to clean up and write its log.
    if (senal == SIGTERM && terminado)
        WaitForSingleObject(terminado, 4000);
    return TRUE;
}

} // namespace

SenalesDiferidas::SenalesDiferidas() {
    if (!terminado)
        terminado = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(Control, TRUE);
}

SenalesDiferidas::~SenalesDiferidas() { SetConsoleCtrlHandler(Control, FALSE); }

int SenalPendiente() { return static_cast<int>(InterlockedCompareExchange(&pendiente, 0, 0)); }

int SenalDelPlazo() { return 14; }

void TerminarConSenal(int) {
    if (terminado)
        SetEvent(terminado);
    ExitProcess(0xC000013AU); // STATUS_CONTROL_C_EXIT, as a console program ended by Ctrl+C
}

} // namespace olvado::platform
