#include "updater/Vigia.h"

#include "platform/Senales.h"

#include <optional>

namespace olvado {

Vigia::Vigia(std::shared_ptr<ado::LlamadasDriver> llamadas, Reloj::time_point fin, Terminar terminar,
             Reloj::duration gracia)
    : llamadas_(std::move(llamadas)), fin_(fin), terminar_(std::move(terminar)), gracia_(gracia) {
    hilo_ = std::thread([this] { Vigilar(); });
}

Vigia::~Vigia() {
    {
        std::lock_guard<std::mutex> l(m_);
        parar_ = true;
    }
    cv_.notify_all();
    if (hilo_.joinable())
        hilo_.join();
}

void Vigia::Vigilar() {
    uint64_t vista = 0; // the call asked to stop, and since when
    Reloj::time_point desde;
    std::unique_lock<std::mutex> l(m_);
    while (!cv_.wait_for(l, std::chrono::milliseconds(100), [this] { return parar_; })) {
        const int senal = platform::SenalPendiente();
        const bool vencido = Reloj::now() >= fin_;
        const uint64_t llamada = llamadas_->EnCurso();
        if (llamada == 0 || (!vencido && (senal == 0 || !llamadas_->SenalCorta()))) {
            vista = 0;
            continue;
        }
        if (llamada != vista) {
            vista = llamada;
            desde = Reloj::now();
            llamadas_->Cancelar(llamada);
            continue;
        }
        if (Reloj::now() - desde < gracia_ || !llamadas_->Retener(llamada))
            continue;
        // The call never comes back: the run ends. A package being written
        // leaves nothing (the held file reaches its path only when sealed).
        l.unlock();
        terminar_(senal != 0 ? senal : platform::SenalDelPlazo());
        return;
    }
}

} // namespace olvado
