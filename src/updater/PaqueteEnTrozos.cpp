#include "updater/PaqueteEnTrozos.h"

#include "base/ErrorOlvado.h"
#include "database/clsDB.h"

#include <cstdint>
#include <memory>

namespace olvado {
namespace {

// The statements' own errors are the preparation's reason, not a message.
bool Abrir(clsDB& db, std::unique_ptr<ado::Recordset>& rs, const std::string& sql) {
    int32_t n = -1;
    return db.AbrirRs(rs, sql, ado::adOpenForwardOnly, 1, -1, false, n);
}

} // namespace

std::optional<ado::Valor> ColumnaOpcional(clsDB& DB, const std::string& Columna, const std::string& Condicion) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!DB.AbrirRs(rs, "SELECT " + Columna + Condicion, 3, 3, -1, false, n))
        return std::nullopt;
    std::optional<ado::Valor> valor;
    try {
        if (!rs->Eof() && !rs->Fields(Columna).Value().EsNulo())
            valor = rs->Fields(Columna).Value();
        rs->Close();
    } catch (...) {
    }
    return valor;
}

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

int64_t PaqueteEnTrozos::LeerTrozo(int64_t i, int64_t Trozos, const std::string& Producto,
                                   const std::string& HashCifrado, uint8_t* destino, size_t n,
                                   std::string& Motivo) {
    const std::string trozo = "el trozo " + std::to_string(i) + " de " + std::to_string(Trozos);
    std::unique_ptr<ado::Recordset> rs;
    int64_t leidos = -1;
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
                // Straight from the driver into the caller's buffer.
                const auto m = static_cast<int64_t>(rs->Fields("Datos").GetChunk(destino, n));
                if (m == 0 || m > kTamanoTrozo || (m < kTamanoTrozo && i + 1 < Trozos))
                    Motivo = trozo + (m > kTamanoTrozo ? " tiene más de " + std::to_string(kTamanoTrozo)
                                                       : " tiene " + std::to_string(m)) +
                             " bytes";
                else
                    leidos = m;
            }
        }
        if (rs && rs->State() == 1)
            rs->Close();
    } catch (const ErrorOlvado& e) {
        Motivo = "no se pudo leer " + trozo + ": " + e.Descripcion();
        leidos = -1;
    }
    return leidos;
}

} // namespace olvado
