#include "updater/PaqueteEnTrozos.h"

#include "base/ErrorOlvado.h"
#include "database/clsDB.h"
#include "platform/Senales.h"

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

// SQLite keeps a piece written as text as text, and its ODBC driver measures
// a text up to its first NUL: the piece is asked for as the bytes it is.
PaqueteEnTrozos::PaqueteEnTrozos(clsDB& DB, std::string Tabla, std::string Condicion)
    : db_(DB), tabla_(std::move(Tabla)), condicion_(std::move(Condicion)),
      datos_(DB.SintaxisSQL() == 3 ? "CAST(Datos AS BLOB) AS Datos" : "Datos") {}

namespace {

// A piece row of Producto's package of digest HashCifrado, compared here,
// byte for byte, not by the server's collation.
bool Propia(ado::Recordset& rs, const std::string& Producto, const std::string& HashCifrado) {
    const ado::Valor p = rs.Fields("Producto").Value(), h = rs.Fields("MD5Hash").Value();
    return !p.EsNulo() && !h.EsNulo() && p.ATexto() == Producto && h.ATexto() == HashCifrado;
}

// The database's own words for a statement that did not open.
std::string ErrorDe(clsDB& db) {
    ado::Connection* cnx = db.Conexion();
    return cnx && cnx->Errors().Count() > 0 ? ": " + cnx->Errors()(0).Description : "";
}

} // namespace

int64_t PaqueteEnTrozos::Contar(const std::string& Producto, const std::string& HashCifrado, std::string& Motivo) {
    std::unique_ptr<ado::Recordset> rs;
    if (HashCifrado.empty())
        return 0;
    if (!Abrir(db_, rs, "SELECT Producto, MD5Hash FROM " + tabla_ + condicion_)) {
        Motivo = "no se pudieron leer los trozos de " + tabla_ + ErrorDe(db_);
        return 0;
    }
    int64_t n = 0;
    try {
        for (; !rs->Eof(); rs->MoveNext())
            n += Propia(*rs, Producto, HashCifrado) ? 1 : 0;
        rs->Close();
    } catch (const ErrorOlvado& e) {
        Motivo = "no se pudieron leer los trozos de " + tabla_ + ": " + e.Descripcion();
        n = 0;
    }
    return n;
}

bool PaqueteEnTrozos::Leer(const std::string& Producto, const std::string& HashCifrado, int64_t Trozos,
                           const std::function<bool(const uint8_t*, size_t, std::string&)>& Destino,
                           std::string& Motivo) {
    // One buffer for every piece, read into straight from the driver; its one
    // byte more tells a piece longer than a piece may be, whatever its size.
    std::vector<uint8_t> datos(static_cast<size_t>(kTamanoTrozo) + 1);
    for (int64_t i = 0; i < Trozos && Motivo.empty(); ++i) {
        if (const int senal = platform::SenalPendiente()) {
            Motivo = "interrumpido por la señal " + std::to_string(senal);
            break;
        }
        const std::string trozo = "el trozo " + std::to_string(i) + " de " + std::to_string(Trozos);
        std::unique_ptr<ado::Recordset> rs;
        try {
            if (!Abrir(db_, rs, "SELECT Producto, MD5Hash, " + datos_ + " FROM " + tabla_ + condicion_ +
                                    " AND Trozo = " + std::to_string(i))) {
                Motivo = "no se pudo leer " + trozo + ErrorDe(db_);
            } else {
                while (!rs->Eof() && !Propia(*rs, Producto, HashCifrado))
                    rs->MoveNext();
                if (rs->Eof()) {
                    Motivo = "falta " + trozo;
                } else {
                    const auto n = static_cast<int64_t>(rs->Fields("Datos").GetChunk(datos.data(), datos.size()));
                    if (n == 0 || n > kTamanoTrozo || (n < kTamanoTrozo && i + 1 < Trozos))
                        Motivo = trozo + (n > kTamanoTrozo ? " tiene más de " + std::to_string(kTamanoTrozo)
                                                             : " tiene " + std::to_string(n)) +
                                 " bytes";
                    else if (!Destino(datos.data(), static_cast<size_t>(n), Motivo) && Motivo.empty())
                        Motivo = "no se pudo escribir " + trozo;
                }
            }
            if (rs && rs->State() == 1)
                rs->Close();
        } catch (const ErrorOlvado& e) {
            Motivo = "no se pudo leer " + trozo + ": " + e.Descripcion();
        }
    }
    return Motivo.empty();
}

} // namespace olvado
