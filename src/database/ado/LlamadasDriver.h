// The conversation's driver calls as another thread sees them: the call that
// is inside the driver now, a way to ask the driver to stop it, and until
// when a statement may still be sent once a termination signal is pending.
// One per run, shared by every connection of the conversation and by the
// run's watchdog (updater/Vigia.h), which asks from its own thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace olvado::ado {

class LlamadasDriver : public std::enable_shared_from_this<LlamadasDriver> {
public:
    using Reloj = std::chrono::steady_clock;
    // What stops a call of that statement from another thread (ODBC: SQLCancel).
    using Cancelador = void (*)(void* sentencia);

    // A call into the driver, on the conversation's thread, for its lifetime.
    // Leaving waits for a cancel of it still running (it uses the statement)
    // and, once the watchdog has held the call, forever: the watchdog is
    // ending the process.
    class Dentro {
    public:
        Dentro(LlamadasDriver& llamadas, void* sentencia, Cancelador cancelar);
        ~Dentro();
        Dentro(const Dentro&) = delete;
        Dentro& operator=(const Dentro&) = delete;

    private:
        LlamadasDriver& l_;
    };

    // The number of the call inside the driver (or whose cancel still runs),
    // 0 when none: each call has its own.
    uint64_t EnCurso();
    // Asks the driver, on a helper thread (a cancel may block too), to stop
    // call `numero` once. False when that call is no longer inside.
    bool Cancelar(uint64_t numero);
    // True when call `numero` (or its cancel) is still inside: from then on
    // it never comes back to its caller.
    bool Retener(uint64_t numero);

    // Until `hasta`, a pending signal does not fail the calls (the
    // conversation's deadline still does): the run's last row after a signal.
    void PermitirTrasSenal(Reloj::time_point hasta);
    // True while a pending signal must fail the calls.
    bool SenalCorta() const;

private:
    std::mutex m_;
    std::condition_variable cv_;
    void* sentencia_ = nullptr;
    Cancelador cancelar_ = nullptr;
    uint64_t numero_ = 0, ultimo_ = 0, cancelado_ = 0;
    bool cancelando_ = false, retenida_ = false;
    std::atomic<Reloj::rep> trasSenal_{Reloj::time_point::min().time_since_epoch().count()};
};

} // namespace olvado::ado
