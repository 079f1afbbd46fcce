// The run's watchdog over its database conversation. Once the conversation's
// deadline has passed, or a termination signal is pending (and the calls do
// not allow one: ado::LlamadasDriver::PermitirTrasSenal), a call still inside
// the driver is asked to stop: the driver's cancel, on a thread of its own,
// since a hostile server can stall a cancel too (the MariaDB driver's opens
// a second connection to kill the query). A call still inside `gracia` later
// is not waited for: the watchdog removes the file being written, and
// Terminar ends the run as a signal ends it. One per run, from the creation
// of the objects to their release; its thread only looks, ten times a second.
#pragma once

#include "database/ado/LlamadasDriver.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace olvado {

class Vigia {
public:
    using Reloj = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kGracia{5};
    // Called on the watchdog's thread with the signal pending, or
    // platform::SenalDelPlazo() for the deadline; it must end the process.
    using Terminar = std::function<void(int senal)>;

    Vigia(std::shared_ptr<ado::LlamadasDriver> llamadas, Reloj::time_point fin, Terminar terminar,
          Reloj::duration gracia = kGracia);
    // Stops the thread; one that is ending the run ends the process meanwhile.
    ~Vigia();
    Vigia(const Vigia&) = delete;
    Vigia& operator=(const Vigia&) = delete;

private:
    void Vigilar();

    std::shared_ptr<ado::LlamadasDriver> llamadas_;
    Reloj::time_point fin_;
    Terminar terminar_;
    Reloj::duration gracia_;
    std::mutex m_;
    std::condition_variable cv_;
    bool parar_ = false;
    std::thread hilo_;
};

} // namespace olvado
