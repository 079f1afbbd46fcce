// A ring of buffers between a reader that takes the MD5 and a second thread
// that takes the SHA-256 for the signature: a buffer is filled again only once
// both digests are done with it, so the two never see different bytes,
// memory stays at kBuferes buffers, and a signed package costs about the time
// of the slower digest, not both.
#pragma once

#include "platform/FirmaEd25519.h"

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace olvado {

class FirmaEnParalelo {
  public:
    static constexpr size_t kBuferes = 4;

    FirmaEnParalelo(platform::FirmaEd25519& Firma, size_t TamanoBuffer);
    ~FirmaEnParalelo() { Terminar(); }
    FirmaEnParalelo(const FirmaEnParalelo&) = delete;
    FirmaEnParalelo& operator=(const FirmaEnParalelo&) = delete;

    // The next free buffer, waiting while the signature's thread still reads it.
    std::vector<uint8_t>& Libre();
    // Hands the buffer Libre gave, holding n bytes, to the signature's thread.
    void Entregar(size_t n);
    // Waits until every buffer handed over has been digested.
    void Terminar();

  private:
    void Consumir();

    platform::FirmaEd25519& firma_;
    std::array<std::vector<uint8_t>, kBuferes> buferes_;
    std::array<size_t, kBuferes> largos_{};
    std::mutex m_;
    std::condition_variable cambio_;
    uint64_t producidos_ = 0, consumidos_ = 0;
    bool fin_ = false;
    std::thread hilo_;
};

} // namespace olvado
