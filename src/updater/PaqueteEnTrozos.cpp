#include "updater/PaqueteEnTrozos.h"

#include "base/ErrorOlvado.h"
#include "database/clsDB.h"
#include "platform/ArchivoNativo.h"
#include "platform/SistemaArchivos.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace olvado {
namespace {

// The statements' own errors are the preparation's reason, not a message.
bool Abrir(clsDB& db, std::unique_ptr<ado::Recordset>& rs, const std::string& sql) {
    int32_t n = -1;
    return db.AbrirRs(rs, sql, ado::adOpenForwardOnly, 1, -1, false, n);
}

} // namespace

std::string CondicionVersion(const std::string& ProductoSql, int32_t Major, int32_t Minor, int32_t Revision) {
    return " WHERE Producto = " + ProductoSql + " AND Major = " + std::to_string(Major) +
           " AND Minor = " + std::to_string(Minor) + " AND Revision = " + std::to_string(Revision);
}

PaqueteEnTrozos::PaqueteEnTrozos(clsDB& DB, std::string Tabla, std::string Condicion)
    : db_(DB), tabla_(std::move(Tabla)), condicion_(std::move(Condicion)) {}

int64_t PaqueteEnTrozos::Contar() {
    std::unique_ptr<ado::Recordset> rs;
    if (!Abrir(db_, rs, "SELECT COUNT(*) AS Trozos FROM " + tabla_ + condicion_))
        return 0;
    int64_t n = 0;
    try {
        n = rs->Eof() ? 0 : rs->Fields("Trozos").Value().AEntero();
        rs->Close();
    } catch (const ErrorOlvado&) {
        n = 0;
    }
    return n;
}

bool PaqueteEnTrozos::Escribir(const std::string& Ruta, int64_t Trozos, std::string& Motivo) {
    platform::ArchivoNativo f;
    if (!f.Abrir(Ruta, platform::ArchivoNativo::Modo::CrearNuevo)) {
        Motivo = "no se pudo crear " + Ruta;
        return false;
    }
    // One buffer for every piece, read into straight from the driver; its one
    // byte more tells a piece longer than a piece may be, whatever its size.
    std::vector<uint8_t> datos(static_cast<size_t>(kTamanoTrozo) + 1);
    for (int64_t i = 0; i < Trozos && Motivo.empty(); ++i) {
        const std::string trozo = "el trozo " + std::to_string(i) + " de " + std::to_string(Trozos);
        std::unique_ptr<ado::Recordset> rs;
        try {
            if (!Abrir(db_, rs, "SELECT Datos FROM " + tabla_ + condicion_ + " AND Trozo = " + std::to_string(i))) {
                Motivo = "no se pudo leer " + trozo;
            } else if (rs->Eof()) {
                Motivo = "falta " + trozo;
            } else {
                const auto n = static_cast<int64_t>(rs->Fields("Datos").GetChunk(datos.data(), datos.size()));
                if (n == 0 || n > kTamanoTrozo || (n < kTamanoTrozo && i + 1 < Trozos))
                    Motivo = trozo + (n > kTamanoTrozo ? " tiene más de " + std::to_string(kTamanoTrozo)
                                                         : " tiene " + std::to_string(n)) +
                             " bytes";
                else if (!f.Escribir(std::string_view(reinterpret_cast<const char*>(datos.data()),
                                                      static_cast<size_t>(n))))
                    Motivo = "no se pudo escribir " + Ruta;
            }
            if (rs)
                rs->Close();
        } catch (const ErrorOlvado& e) {
            Motivo = "no se pudo leer " + trozo + ": " + e.Descripcion();
        }
    }
    if (!f.Cerrar() && Motivo.empty())
        Motivo = "no se pudo escribir " + Ruta;
    if (Motivo.empty())
        return true;
    platform::BorrarArchivo(Ruta);
    return false;
}

} // namespace olvado
