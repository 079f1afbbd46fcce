#include "updater/DigestoSellado.h"

#include "common/clsMD5File.h"
#include "platform/ArchivoSellado.h"
#include "platform/FirmaEd25519.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace olvado {
namespace {

// A ring of buffers between the reader (MD5) and the signature's thread. A
// buffer is read into again only once both digests are done with it, so the
// two never see different bytes and memory stays at kTrozos * kTamanoTrozo.
constexpr size_t kTrozos = 4, kTamanoTrozo = size_t{1} << 20;

class Anillo {
public:
    explicit Anillo(platform::FirmaEd25519& firma) : firma_(firma) {
        for (auto& t : trozos_)
            t.resize(kTamanoTrozo);
        hilo_ = std::thread([this] { Consumir(); });
    }
    ~Anillo() { Terminar(); }
    Anillo(const Anillo&) = delete;
    Anillo& operator=(const Anillo&) = delete;

    // The next free buffer, waiting while the signature's thread still reads it.
    std::vector<uint8_t>& Libre() {
        std::unique_lock<std::mutex> l(m_);
        cambio_.wait(l, [this] { return producidos_ - consumidos_ < kTrozos; });
        return trozos_[producidos_ % kTrozos];
    }
    // Hands the buffer Libre gave, holding n bytes, to the signature's thread.
    void Entregar(size_t n) {
        {
            std::lock_guard<std::mutex> l(m_);
            largos_[producidos_ % kTrozos] = n;
            ++producidos_;
        }
        cambio_.notify_all();
    }
    // Waits until every buffer handed over has been digested.
    void Terminar() {
        {
            std::lock_guard<std::mutex> l(m_);
            fin_ = true;
        }
        cambio_.notify_all();
        if (hilo_.joinable())
            hilo_.join();
    }

private:
    void Consumir() {
        for (;;) {
            size_t i = 0, n = 0;
            {
                std::unique_lock<std::mutex> l(m_);
                cambio_.wait(l, [this] { return consumidos_ < producidos_ || fin_; });
                if (consumidos_ == producidos_)
                    return;
                i = consumidos_ % kTrozos;
                n = largos_[i];
            }
            firma_.Agregar(trozos_[i].data(), n);
            {
                std::lock_guard<std::mutex> l(m_);
                ++consumidos_;
            }
            cambio_.notify_all();
        }
    }

    platform::FirmaEd25519& firma_;
    std::array<std::vector<uint8_t>, kTrozos> trozos_;
    std::array<size_t, kTrozos> largos_{};
    std::mutex m_;
    std::condition_variable cambio_;
    uint64_t producidos_ = 0, consumidos_ = 0;
    bool fin_ = false;
    std::thread hilo_;
};

} // namespace

std::string DigestoSellado(platform::ArchivoSellado& paquete, platform::FirmaEd25519* firma) {
    if (!paquete.Rebobinar())
        return "";
    clsMD5File md5;
    md5.MD5Init();
    if (!firma) {
        std::vector<uint8_t> trozo(kTamanoTrozo);
        for (int64_t n; (n = paquete.Leer(trozo.data(), trozo.size())) != 0;) {
            if (n < 0)
                return "";
            md5.MD5Update(static_cast<int32_t>(n), trozo.data());
        }
        md5.MD5Final();
        return md5.GetValues();
    }
    Anillo anillo(*firma);
    for (;;) {
        std::vector<uint8_t>& trozo = anillo.Libre();
        int64_t n = paquete.Leer(trozo.data(), trozo.size());
        if (n < 0)
            return ""; // the ring's destructor ends the thread
        if (n == 0)
            break;
        anillo.Entregar(static_cast<size_t>(n));
        md5.MD5Update(static_cast<int32_t>(n), trozo.data());
    }
    anillo.Terminar();
    md5.MD5Final();
    return md5.GetValues();
}

} // namespace olvado
