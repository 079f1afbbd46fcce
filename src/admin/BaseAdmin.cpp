#include "admin/BaseAdmin.h"

#include "admin/Ordenes.h"
#include "admin/VersionesGuardadas.h"
#include "common/FileTool.h"
#include "database/ConfigConexion.h"
#include "platform/Consola.h"
#include "updater/HistorialAct.h"
#include "updater/PaqueteAnillo.h"
#include "updater/PaqueteEnTrozos.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace olvado::admin {

std::string CarpetaDatos() { return ConfigConexion::CarpetaAlmacen(); }

std::string RutaAlmacen() { return ConfigConexion::RutaAlmacen(); }

BaseAdmin::BaseAdmin() : db_(this) {}

bool BaseAdmin::Abrir() {
    // Quiet while opening: the check of a database in the middle of an
    // update reads Valores, which a new database does not have yet.
    silencio_ = true;
    const bool abierta = db_.AbrirDB(true, false);
    silencio_ = false;
    if (abierta)
        return true;
    FileTool ft;
    if (!ft.FileExist(RutaAlmacen()))
        Fallar("no hay almacén de conexiones en " + RutaAlmacen() +
               " (créelo con «olvado-admin conexion agregar»)");
    else
        Fallar("no se pudo abrir la base de datos del almacén " + RutaAlmacen() + UltimoError());
    return false;
}

std::string BaseAdmin::UltimoError() {
    ado::Connection* c = db_.Conexion();
    if (!c || c->Errors().Count() == 0)
        return {};
    return ": " + c->Errors()(c->Errors().Count() - 1).Description;
}

void BaseAdmin::MostrarERRExt(int32_t Numero, const std::string& Fuente, const std::string& ExplicacionError) {
    if (silencio_)
        return;
    std::string texto = "error " + std::to_string(Numero) + " (" + Fuente + ")";
    if (!ExplicacionError.empty())
        texto += ": " + ExplicacionError;
    platform::EscribirError("olvado-admin: " + texto + UltimoError() + "\n");
}

std::string BaseAdmin::DefinicionTabla(const std::string& tabla) const {
    // Types per dialect: 0 Access, 1 SQL Server, 2 MySQL/MariaDB, 3 SQLite.
    const int32_t d = db_.SintaxisSQL();
    const std::string clave = d == 0 ? "TEXT(50)" : d == 3 ? "TEXT" : "VARCHAR(50)";
    const std::string texto = d == 0 ? "TEXT(255)" : d == 3 ? "TEXT" : "VARCHAR(255)";
    const std::string entero = d == 0 ? "LONG" : "INTEGER";
    if (tabla == "HistorialAct")
        return "CREATE TABLE HistorialAct (Estacion " + texto + " NOT NULL, Usuario " + texto + ", Producto " + clave +
               " NOT NULL, Major " + entero + ", Minor " + entero + ", Revision " + entero + ", Resultado " + clave +
               " NOT NULL, Fecha " + (d == 3 ? "TEXT" : "DATETIME") + " NOT NULL)";
    if (tabla == "Valores")
        return "CREATE TABLE Valores (idVariable " + clave + " NOT NULL PRIMARY KEY, Tipo " + entero +
               " NOT NULL, ValorTexto " + texto + ", ValorLargo " + entero + " NOT NULL)";
    const std::string binario = d == 0   ? "LONGBINARY"
                                : d == 1 ? "VARBINARY(MAX)"
                                : d == 2 ? "LONGBLOB"
                                         : "BLOB";
    if (tabla == PaqueteEnTrozos::kTabla)
        return "CREATE TABLE " + tabla + " (Producto " + clave + " NOT NULL, Major " + entero + " NOT NULL, Minor " +
               entero + " NOT NULL, Revision " + entero + " NOT NULL, Trozo " + entero + " NOT NULL, MD5Hash " + texto +
               " NOT NULL, Datos " + binario + " NOT NULL, PRIMARY KEY (Producto, Major, Minor, Revision, Trozo))";
    if (tabla == kTablaDeltas)
        return "CREATE TABLE " + tabla + " (Producto " + clave + " NOT NULL, MD5Base " + texto +
               " NOT NULL, Major " + entero + " NOT NULL, Minor " + entero + " NOT NULL, Revision " + entero +
               " NOT NULL, MD5Hash " + texto + " NOT NULL, Tamano " + (d == 0 ? "DOUBLE" : "BIGINT") +
               " NOT NULL, Trozo " + entero + " NOT NULL, Datos " + binario +
               " NOT NULL, PRIMARY KEY (Producto, MD5Base, Major, Minor, Revision, Trozo))";
    if (tabla == kTablaAnillo)
        return "CREATE TABLE " + tabla + " (Anillo " + clave + " NOT NULL, Producto " + clave + " NOT NULL, Major " +
               entero + " NOT NULL, Minor " + entero + " NOT NULL, Revision " + entero + " NOT NULL, MD5Hash " +
               texto + ", Firma " + texto + ", Binario " + binario + ", PRIMARY KEY (Producto, Anillo))";
    // Binario last: SQLite streams a package into its row only when no
    // column after it holds data (else the row is built in memory).
    return "CREATE TABLE BinariosAct (Producto " + clave + " NOT NULL PRIMARY KEY, Major " + entero +
           " NOT NULL, Minor " + entero + " NOT NULL, Revision " + entero + " NOT NULL, MD5Hash " + texto +
           ", Firma " + texto + ", Binario " + binario + ")";
}

bool BaseAdmin::TieneColumna(const std::string& tabla, const std::string& columna) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!db_.AbrirRs(rs, "SELECT " + columna + " FROM " + tabla + " WHERE 1 = 0", ado::adOpenStatic,
                     ado::adLockOptimistic, -1, false, n))
        return false;
    rs->Close();
    return true;
}

bool BaseAdmin::AsegurarColumna(const std::string& tabla, const std::string& columna, Tipo tipo) {
    if (TieneColumna(tabla, columna))
        return true;
    const int32_t d = db_.SintaxisSQL();
    // Access has no 64-bit integer a driver of its age knows: its doubles
    // hold every byte count exactly up to 2^53.
    const std::string texto = tipo == Tipo::Entero   ? (d == 0 ? "LONG" : "INTEGER")
                              : tipo == Tipo::Grande ? (d == 0 ? "DOUBLE" : "BIGINT")
                              : d == 0               ? "TEXT(255)"
                              : d == 3               ? "TEXT"
                                                     : "VARCHAR(255)";
    if (!db_.EjecutarSQL("ALTER TABLE " + tabla + " ADD " + columna + " " + texto, nullptr, 0, false))
        return Fallar("no se pudo añadir la columna " + columna + " a " + tabla + UltimoError()) == 0;
    platform::EscribirError("olvado-admin: columna " + tabla + "." + columna + " creada\n");
    return db_.SintaxisSQL() != 3 || BinarioAlFinal(tabla);
}

// SQLite adds a column at the end, after Binario, and then builds each new
// row whole in memory instead of streaming the package into it. The table is
// made again with the same columns, keys, values and indexes, Binario last,
// in one transaction.
bool BaseAdmin::BinarioAlFinal(const std::string& tabla) {
    struct Columna {
        std::string nombre, definicion;
        int64_t clave = 0;
    };
    std::vector<Columna> columnas;
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!db_.AbrirRs(rs, "PRAGMA table_info(" + tabla + ")", ado::adOpenStatic, ado::adLockOptimistic, -1, false, n))
        return Fallar("no se pudieron leer las columnas de " + tabla + UltimoError()) == 0;
    for (; !rs->Eof(); rs->MoveNext()) {
        Columna c{rs->Fields("name").Value().ATexto(), "", rs->Fields("pk").Value().AEntero()};
        c.definicion = "\"" + c.nombre + "\" " + rs->Fields("type").Value().ATexto();
        if (rs->Fields("notnull").Value().AEntero() != 0)
            c.definicion += " NOT NULL";
        const ado::Valor omision = rs->Fields("dflt_value").Value();
        if (!omision.EsNulo())
            c.definicion += " DEFAULT " + omision.ATexto();
        columnas.push_back(std::move(c));
    }
    rs->Close();
    auto binario = std::find_if(columnas.begin(), columnas.end(), [](const Columna& c) { return c.nombre == "Binario"; });
    if (binario == columnas.end() || binario + 1 == columnas.end())
        return true;
    std::rotate(binario, binario + 1, columnas.end());

    std::vector<std::string> indices;
    if (db_.AbrirRs(rs, "SELECT sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL AND tbl_name = " +
                            sql_.Strg(tabla),
                    ado::adOpenStatic, ado::adLockOptimistic, -1, false, n)) {
        for (; !rs->Eof(); rs->MoveNext())
            indices.push_back(rs->Fields("sql").Value().ATexto());
        rs->Close();
    }
    std::string definiciones, nombres, claves;
    std::vector<const Columna*> porClave;
    for (const Columna& c : columnas) {
        definiciones += (definiciones.empty() ? "" : ", ") + c.definicion;
        nombres += (nombres.empty() ? "\"" : ", \"") + c.nombre + "\"";
        if (c.clave > 0)
            porClave.push_back(&c);
    }
    std::sort(porClave.begin(), porClave.end(), [](const Columna* a, const Columna* b) { return a->clave < b->clave; });
    for (const Columna* c : porClave)
        claves += (claves.empty() ? "\"" : ", \"") + c->nombre + "\"";
    if (!claves.empty())
        definiciones += ", PRIMARY KEY (" + claves + ")";

    const std::string nueva = tabla + "_Orden";
    std::vector<std::string> pasos = {"DROP TABLE IF EXISTS " + nueva,
                                      "CREATE TABLE " + nueva + " (" + definiciones + ")",
                                      "INSERT INTO " + nueva + " (" + nombres + ") SELECT " + nombres + " FROM " + tabla,
                                      "DROP TABLE " + tabla, "ALTER TABLE " + nueva + " RENAME TO " + tabla};
    pasos.insert(pasos.end(), indices.begin(), indices.end());
    if (!db_.vBeginTrans())
        return Fallar("no se pudo iniciar la transacción" + UltimoError()) == 0;
    for (const std::string& paso : pasos) {
        if (!db_.EjecutarSQL(paso, nullptr, 0, false)) {
            const std::string error = UltimoError();
            db_.vRollBackTrans();
            return Fallar("no se pudo ordenar las columnas de " + tabla + error) == 0;
        }
    }
    return db_.vCommitTrans(true);
}

bool BaseAdmin::AsegurarTabla(const std::string& tabla) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (db_.AbrirRs(rs, "SELECT * FROM " + tabla + " WHERE 1 = 0", ado::adOpenStatic, ado::adLockOptimistic, -1,
                    false, n)) {
        rs->Close();
        return tabla != "HistorialAct" || AsegurarIndiceHistorial();
    }
    if (!db_.EjecutarSQL(DefinicionTabla(tabla), nullptr, 0, false))
        return Fallar("no se pudo crear la tabla " + tabla + UltimoError()) == 0;
    platform::EscribirError("olvado-admin: tabla " + tabla + " creada\n");
    return tabla != "HistorialAct" || AsegurarIndiceHistorial();
}

bool BaseAdmin::AsegurarHistorial() {
    return AsegurarTabla("HistorialAct") && AsegurarColumna("HistorialAct", kValorAnillo) &&
           AsegurarColumna("HistorialAct", kColumnaVia) &&
           AsegurarColumna("HistorialAct", kColumnaBytesLeidos, Tipo::Grande);
}

std::string BaseAdmin::SqlUltimas(const std::string& producto, const std::string& columnas,
                                  const std::string& condicion, const std::string& agregados) const {
    const std::string u = "(SELECT Estacion, MAX(Fecha) AS Ultima" + agregados +
                          " FROM HistorialAct WHERE Producto = " + producto + " GROUP BY Estacion) AS u";
    // SQLite and MariaDB would walk every row of h and look each up in u:
    // their CROSS JOIN / STRAIGHT_JOIN keeps the grouped side outside, one
    // lookup per workstation.
    const int32_t d = db_.SintaxisSQL();
    const std::string enlace = "h.Estacion = u.Estacion AND h.Fecha = u.Ultima";
    const std::string origen =
        d == 3   ? u + " CROSS JOIN HistorialAct AS h WHERE " + enlace + " AND"
        : d == 2 ? u + " STRAIGHT_JOIN HistorialAct AS h ON (" + enlace + ") WHERE"
                 : "HistorialAct AS h INNER JOIN " + u + " ON (" + enlace + ") WHERE";
    return "SELECT " + columnas + " FROM " + origen + " h.Producto = " + producto + " " + condicion +
           " ORDER BY h.Estacion, h.Major DESC, h.Minor DESC, h.Revision DESC, h.Resultado, h.Usuario";
}

bool BaseAdmin::AsegurarIndiceHistorial() {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    silencio_ = true; // no table is the caller's to report
    const bool hayTabla =
        db_.AbrirRs(rs, "SELECT Estacion FROM HistorialAct WHERE 1 = 0", ado::adOpenStatic, 1, -1, false, n);
    silencio_ = false;
    if (!hayTabla)
        return false;
    rs->Close();
    // Each engine's own catalogue; Access shows its indexes to no query, so
    // there the statement itself is the test (a second one fails, quietly).
    const int32_t d = db_.SintaxisSQL();
    const std::string nombre = sql_.Strg(kIndiceHistorial);
    const std::string catalogo =
        d == 3   ? "SELECT name FROM sqlite_master WHERE type = 'index' AND name = " + nombre
        : d == 2 ? "SELECT INDEX_NAME FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE() AND "
                   "TABLE_NAME = 'HistorialAct' AND INDEX_NAME = " + nombre
        : d == 1 ? "SELECT name FROM sys.indexes WHERE object_id = OBJECT_ID('HistorialAct') AND name = " + nombre
                 : "";
    if (!catalogo.empty() && db_.AbrirRs(rs, catalogo, ado::adOpenStatic, 1, -1, false, n)) {
        const bool existe = !rs->Eof();
        rs->Close();
        if (existe)
            return true;
    }
    silencio_ = d == 0;
    const bool creado = db_.EjecutarSQL(std::string("CREATE INDEX ") + kIndiceHistorial +
                                            " ON HistorialAct (Producto, Estacion, Fecha, Major, Minor, Revision)",
                                        nullptr, 0, false);
    silencio_ = false;
    if (!creado)
        return d == 0 || Fallar("no se pudo crear el índice " + std::string(kIndiceHistorial) + " de HistorialAct" +
                                UltimoError()) == 0;
    platform::EscribirError("olvado-admin: índice " + std::string(kIndiceHistorial) + " de HistorialAct creado\n");
    return true;
}

} // namespace olvado::admin
