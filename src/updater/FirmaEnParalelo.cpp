#include "updater/FirmaEnParalelo.h"

namespace olvado {

FirmaEnParalelo::FirmaEnParalelo(platform::FirmaEd25519& Firma, size_t TamanoBuffer) : firma_(Firma) {
    for (auto& b : buferes_)
        b.resize(TamanoBuffer);
    hilo_ = std::thread([this] { Consumir(); });
}

std::vector<uint8_t>& FirmaEnParalelo::Libre() {
    std::unique_lock<std::mutex> l(m_);
    cambio_.wait(l, [this] { return producidos_ - consumidos_ < kBuferes; });
    return buferes_[producidos_ % kBuferes];
}

void FirmaEnParalelo::Entregar(size_t n) {
    {
        std::lock_guard<std::mutex> l(m_);
        largos_[producidos_ % kBuferes] = n;
        ++producidos_;
    }
    cambio_.notify_all();
}

void FirmaEnParalelo::Terminar() {
    {
        std::lock_guard<std::mutex> l(m_);
        fin_ = true;
    }
    cambio_.notify_all();
    if (hilo_.joinable())
        hilo_.join();
}

void FirmaEnParalelo::Consumir() {
    for (;;) {
        size_t i = 0, n = 0;
        {
            std::unique_lock<std::mutex> l(m_);
            cambio_.wait(l, [this] { return consumidos_ < producidos_ || fin_; });
            if (consumidos_ == producidos_)
                return;
            i = consumidos_ % kBuferes;
            n = largos_[i];
        }
        firma_.Agregar(buferes_[i].data(), n);
        {
            std::lock_guard<std::mutex> l(m_);
            ++consumidos_;
        }
        cambio_.notify_all();
    }
}

} // namespace olvado
