#include "common/FirmaPaquete.h"

#include "platform/FirmaEd25519.h"

namespace olvado {

std::string TextoFirmadoPaquete(const std::string& Producto, int32_t Major, int32_t Minor, int32_t Revision,
                                const std::string& Sha256Hex) {
    return "Paquete firmado de OlvadoUpdater\nProducto: " + Producto + "\nVersion: " + std::to_string(Major) +
           "." + std::to_string(Minor) + "." + std::to_string(Revision) + "\nSHA-256: " + Sha256Hex + "\n";
}

std::string FirmarPaquete(platform::FirmaEd25519& Firma, const std::string& PrivadaHex,
                          const std::string& Producto, int32_t Major, int32_t Minor, int32_t Revision) {
    const std::string resumen = Firma.Sha256Hex();
    if (resumen.empty())
        return "";
    return platform::FirmaEd25519::FirmarMensaje(PrivadaHex,
                                                 TextoFirmadoPaquete(Producto, Major, Minor, Revision, resumen));
}

bool VerificarFirmaPaquete(platform::FirmaEd25519& Firma, const std::string& PublicaHex,
                           const std::string& FirmaHex, const std::string& Producto, int32_t Major,
                           int32_t Minor, int32_t Revision) {
    const std::string resumen = Firma.Sha256Hex();
    return !resumen.empty() &&
           platform::FirmaEd25519::VerificarMensaje(PublicaHex, FirmaHex,
                                                    TextoFirmadoPaquete(Producto, Major, Minor, Revision, resumen));
}

} // namespace olvado
