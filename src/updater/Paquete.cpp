#include "updater/Paquete.h"

#include "base/ErrorOlvado.h"
#include "common/DescompresorZstd.h"
#include "common/FileTool.h"
#include "common/FirmaPaquete.h"
#include "common/clsMD5File.h"
#include "platform/FirmaEd25519.h"
#include "platform/Senales.h"
#include "platform/SistemaArchivos.h"
#include "updater/DigestoSellado.h"
#include "updater/FirmaEnParalelo.h"

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

namespace olvado {

void Paquete::Empezar(const std::string& Ruta) {
    sellado_->Cerrar();
    CerrarPrevio();
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
    if (!sellado_->Crear(ruta_)) {
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
            if (!sellado_->Escribir(buffer.data(), static_cast<size_t>(n))) {
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
    if (ok && !sellado_->Sellar()) {
        Motivo = "no se pudo escribir " + ruta_;
        ok = false;
    }
    if (!ok) {
        // Not sealed: closing it leaves nothing at its path.
        sellado_->Cerrar();
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
    Abierto = sellado_->Abrir(Ruta);
    if (!Abierto)
        return false;
    platform::FirmaEd25519 firma;
    md5_ = DigestoSellado(*sellado_, clave_.empty() ? nullptr : &firma);
    if (!clave_.empty() && !md5_.empty())
        sha256_ = firma.Sha256Hex();
    return !md5_.empty();
}

bool Paquete::RetenerPrevio() {
    CerrarPrevio();
    if (!previo_->AbrirPrevio(ruta_))
        return false;
    platform::FirmaEd25519 firma;
    md5Previo_ = DigestoSellado(*previo_, clave_.empty() ? nullptr : &firma);
    if (md5Previo_.empty()) {
        previo_->Cerrar();
        return false;
    }
    if (!clave_.empty())
        sha256Previo_ = firma.Sha256Hex();
    return true;
}

void Paquete::UsarPrevio() {
    std::swap(sellado_, previo_);
    md5_ = md5Previo_;
    sha256_ = sha256Previo_;
    CerrarPrevio();
}

bool Paquete::LiberarRuta() {
    if (previo_->Abierto())
        return previo_->SoltarRuta();
    return !FileTool().FileExist(ruta_) || platform::BorrarArchivo(ruta_);
}

void Paquete::CerrarPrevio() {
    previo_->Cerrar();
    md5Previo_.clear();
    sha256Previo_.clear();
}

bool Paquete::Reconstruir(std::string_view Base, int64_t Tamano, const Fuente& Delta, const std::string& Md5,
                          std::string& Motivo) {
    md5_.clear();
    sha256_.clear();
    if (Tamano <= 0 || DescompresorZstd::VentanaLogDelta(Base.size(), static_cast<uint64_t>(Tamano)) == 0) {
        Motivo = "el delta declara un paquete de " + std::to_string(Tamano) + " bytes";
        return false;
    }
    if (!sellado_->Crear(ruta_)) {
        Motivo = "no se pudo crear " + ruta_;
        return false;
    }
    const std::span<char> destino = sellado_->Reservar(static_cast<uint64_t>(Tamano));
    if (destino.empty()) {
        sellado_->Cerrar();
        Motivo = "no se pudo preparar " + ruta_ + " para el delta";
        return false;
    }
    clsMD5File md5;
    md5.MD5Init();
    platform::FirmaEd25519 firma;
    uint64_t digeridos = 0, soltados = 0;
    // Each part is digested as it is written; what lies behind leaves this
    // process's memory every few MiB (the decoder may read it back: it is
    // still in the file).
    DescompresorZstd zstd(Base, destino, [&](std::string_view parte) {
        md5.MD5Update(static_cast<int32_t>(parte.size()), reinterpret_cast<const uint8_t*>(parte.data()));
        if (!clave_.empty())
            firma.Agregar(parte.data(), parte.size());
        digeridos += parte.size();
        if (digeridos - soltados >= kSoltarCada) {
            sellado_->SoltarPaginas(digeridos);
            soltados = digeridos;
        }
        return true;
    });
    std::vector<uint8_t> buffer(kTamanoBuffer);
    bool ok = !zstd.Fallido();
    for (int64_t n = 1; ok && n > 0;) {
        if (const int senal = platform::SenalPendiente()) {
            Motivo = "interrumpido por la señal " + std::to_string(senal);
            ok = false;
            break;
        }
        n = Delta(buffer.data(), buffer.size(), Motivo);
        ok = n >= 0;
        // Fed a slice at a time, so that what one call writes stays small.
        for (int64_t i = 0; ok && i < n; i += kTajadaDelta)
            ok = zstd.Alimentar(std::string_view(reinterpret_cast<const char*>(buffer.data()) + i,
                                                 static_cast<size_t>(std::min<int64_t>(kTajadaDelta, n - i))));
    }
    if (ok && !zstd.Terminar())
        ok = false;
    if (!ok && Motivo.empty())
        Motivo = "el delta no se pudo aplicar: " + zstd.Error();
    if (ok) {
        md5.MD5Final();
        if (md5.GetValues() != Md5) {
            Motivo = "el paquete rehecho con el delta no tiene el digesto publicado";
            ok = false;
        }
    }
    if (!ok || !sellado_->Sellar()) {
        if (ok)
            Motivo = "no se pudo escribir " + ruta_;
        sellado_->Cerrar();
        return false;
    }
    md5_ = md5.GetValues();
    if (!clave_.empty())
        sha256_ = firma.Sha256Hex();
    return true;
}

bool Paquete::FirmaValida(const std::string& Producto) {
    return Version && !sha256_.empty() &&
           platform::FirmaEd25519::VerificarMensaje(
               clave_, Firma,
               TextoFirmadoPaquete(Producto, Version->Major, Version->Minor, Version->Revision, sha256_));
}

} // namespace olvado
