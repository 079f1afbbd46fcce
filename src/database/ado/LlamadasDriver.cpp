#include "database/ado/LlamadasDriver.h"

#include "platform/HiloSuelto.h"

namespace olvado::ado {

LlamadasDriver::Dentro::Dentro(LlamadasDriver& llamadas, void* sentencia, Cancelador cancelar) : l_(llamadas) {
    std::lock_guard<std::mutex> g(l_.m_);
    l_.sentencia_ = sentencia;
    l_.cancelar_ = cancelar;
    l_.numero_ = ++l_.ultimo_;
}

LlamadasDriver::Dentro::~Dentro() {
    std::unique_lock<std::mutex> g(l_.m_);
    l_.cv_.wait(g, [this] { return !l_.cancelando_ && !l_.retenida_; });
    l_.sentencia_ = nullptr;
    l_.numero_ = 0;
}

uint64_t LlamadasDriver::EnCurso() {
    std::lock_guard<std::mutex> g(m_);
    return numero_;
}

bool LlamadasDriver::Cancelar(uint64_t numero) {
    std::unique_lock<std::mutex> g(m_);
    if (numero == 0 || numero_ != numero)
        return false;
    if (cancelado_ == numero || !cancelar_)
        return true;
    cancelado_ = numero;
    cancelando_ = true;
    void* sentencia = sentencia_;
    Cancelador cancelar = cancelar_;
    g.unlock();
    const bool lanzado = platform::LanzarHiloSuelto([self = shared_from_this(), sentencia, cancelar] {
        cancelar(sentencia);
        std::lock_guard<std::mutex> l(self->m_);
        self->cancelando_ = false;
        self->cv_.notify_all();
    });
    if (!lanzado) {
        // No thread to spare: the watchdog's grace still ends the call.
        g.lock();
        cancelando_ = false;
        cv_.notify_all();
    }
    return true;
}

bool LlamadasDriver::Retener(uint64_t numero) {
    std::lock_guard<std::mutex> g(m_);
    if (numero == 0 || numero_ != numero)
        return false;
    retenida_ = true;
    return true;
}

void LlamadasDriver::PermitirTrasSenal(Reloj::time_point hasta) { trasSenal_ = hasta.time_since_epoch().count(); }

bool LlamadasDriver::SenalCorta() const {
    return Reloj::now().time_since_epoch().count() >= trasSenal_.load();
}

} // namespace olvado::ado
