#include "updater/Paquete.h"

#include "base/ErrorOlvado.h"
#include "common/FirmaPaquete.h"
#include "common/clsMD5File.h"
#include "platform/FirmaEd25519.h"
#include "platform/Senales.h"
#include "updater/DigestoSellado.h"
#include "updater/FirmaEnParalelo.h"

#include <memory>
#include <vector>

namespace olvado {

void Paquete::Empezar(const std::string& Ruta) {
    sellado_.Cerrar();
    ruta_ = Ruta;
    Via = kViaNinguna;
    BytesLeidos = 0;
    HashCifrado.clear();
    Firma.clear();
    md5_.clear();
    sha256_.clear();
    clave_.clear();
    claveLeida_ = false;
}

bool Paquete::Clave(std::string& Clave, std::string& Motivo,
                    const std::function<bool(std::string&, std::string&)>& Leer) {
    if (!claveLeida_) {
        if (!Leer(clave_, Motivo))
            return false;
        claveLeida_ = true;
    }
    Clave = clave_;
    return true;
}

bool Paquete::Escribir(const Fuente& Origen, std::string& Motivo) {
    md5_.clear();
    sha256_.clear();
    if (!sellado_.Crear(ruta_)) {
        Motivo = "no se pudo crear " + ruta_;
        return false;
    }
    clsMD5File md5;
    md5.MD5Init();
    platform::FirmaEd25519 firma;
    // The signature's digest runs on its own thread over the same buffers;
    // without a key there is one buffer and no thread.
    std::unique_ptr<FirmaEnParalelo> paralelo;
    std::vector<uint8_t> unico;
    if (clave_.empty())
        unico.resize(kTamanoBuffer);
    else
        paralelo = std::make_unique<FirmaEnParalelo>(firma, kTamanoBuffer);
    bool ok = true;
    try {
        for (;;) {
            if (const int senal = platform::SenalPendiente()) {
                Motivo = "interrumpido por la señal " + std::to_string(senal);
                ok = false;
                break;
            }
            std::vector<uint8_t>& buffer = paralelo ? paralelo->Libre() : unico;
            const int64_t n = Origen(buffer.data(), buffer.size(), Motivo);
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            if (!sellado_.Escribir(buffer.data(), static_cast<size_t>(n))) {
                Motivo = "no se pudo escribir " + ruta_;
                ok = false;
                break;
            }
            if (paralelo)
                paralelo->Entregar(static_cast<size_t>(n));
            md5.MD5Update(static_cast<int32_t>(n), buffer.data());
        }
    } catch (const ErrorOlvado& e) {
        Motivo = e.Descripcion();
        ok = false;
    } catch (...) {
        Motivo = "no se pudo escribir " + ruta_;
        ok = false;
    }
    if (paralelo)
        paralelo->Terminar();
    if (ok && !sellado_.Sellar()) {
        Motivo = "no se pudo escribir " + ruta_;
        ok = false;
    }
    if (!ok) {
        // Not sealed: closing it leaves nothing at its path.
        sellado_.Cerrar();
        return false;
    }
    md5.MD5Final();
    md5_ = md5.GetValues();
    if (paralelo)
        sha256_ = firma.Sha256Hex();
    return true;
}

bool Paquete::Leer(const std::string& Ruta, bool& Abierto) {
    ruta_ = Ruta;
    md5_.clear();
    sha256_.clear();
    Abierto = sellado_.Abrir(Ruta);
    if (!Abierto)
        return false;
    platform::FirmaEd25519 firma;
    md5_ = DigestoSellado(sellado_, clave_.empty() ? nullptr : &firma);
    if (!clave_.empty() && !md5_.empty())
        sha256_ = firma.Sha256Hex();
    return !md5_.empty();
}

bool Paquete::FirmaValida(const std::string& Producto) {
    return Version && !sha256_.empty() &&
           platform::FirmaEd25519::VerificarMensaje(
               clave_, Firma,
               TextoFirmadoPaquete(Producto, Version->Major, Version->Minor, Version->Revision, sha256_));
}

} // namespace olvado
