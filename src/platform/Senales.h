// Termination requests deferred while the updater writes a file, so that it
// can remove what it was writing and write its run log before it ends.
//
// While a SenalesDiferidas lives, SIGTERM, SIGINT and SIGHUP (Windows: the
// console's Ctrl+C, Ctrl+Break, close, log-off and shut-down events) are only
// recorded: the handler stores the signal's number in a sig_atomic_t and does
// nothing else (no allocation, no lock, nothing that is not async-signal
// safe). It has no SA_RESTART, so a blocking read returns early where the
// library lets it. A signal that the process ignored when the window opened
// stays ignored (nohup). Closing the window puts the previous handlers back;
// the recorded signal stays in SenalPendiente for the caller, who stops its
// work at its next check and, once its log is written, ends with
// TerminarConSenal. Windows: a close, log-off or shut-down event holds the
// handler's thread up to four seconds for that (the system ends the process
// when the handler returns).
#pragma once

namespace olvado::platform {

class SenalesDiferidas {
public:
    SenalesDiferidas();
    ~SenalesDiferidas();
    SenalesDiferidas(const SenalesDiferidas&) = delete;
    SenalesDiferidas& operator=(const SenalesDiferidas&) = delete;
};

// The signal recorded by a window (the last one), 0 when none came.
int SenalPendiente();
// What a run ended by its own deadline reports and ends with, as if its alarm
// had rung: SIGALRM (Windows has none; the log shows 14, its POSIX number).
int SenalDelPlazo();
// Ends the process as the signal would have: its default action, so the
// parent sees the signal's status. Windows: STATUS_CONTROL_C_EXIT.
[[noreturn]] void TerminarConSenal(int senal);

} // namespace olvado::platform
