#include "updater/DigestoSellado.h"

#include "common/clsMD5File.h"
#include "platform/ArchivoSellado.h"
#include "platform/FirmaEd25519.h"
#include "updater/FirmaEnParalelo.h"

#include <cstdint>
#include <vector>

namespace olvado {
namespace {
constexpr size_t kTamanoTrozo = size_t{1} << 20;
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
    FirmaEnParalelo anillo(*firma, kTamanoTrozo);
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
