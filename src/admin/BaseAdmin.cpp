#include "admin/BaseAdmin.h"

#include "admin/Ordenes.h"
#include "common/FileTool.h"
#include "common/IdentidadPrograma.h"
#include "platform/Consola.h"

namespace olvado::admin {

std::string CarpetaDatos() {
    // The same folder that the connection store reads first.
    FileTool ft;
    std::string compania = ObtenerIdentidadPrograma().Compania, producto = "Olvado";
    return ft.Ruta_ArchivoDeDatos(0, true, compania, producto);
}

std::string RutaAlmacen() { return CarpetaDatos() + "Conexiones.dat"; }

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
    if (tabla == "Valores")
        return "CREATE TABLE Valores (idVariable " + clave + " NOT NULL PRIMARY KEY, Tipo " + entero +
               " NOT NULL, ValorTexto " + texto + ", ValorLargo " + entero + " NOT NULL)";
    const std::string binario = d == 0   ? "LONGBINARY"
                                : d == 1 ? "VARBINARY(MAX)"
                                : d == 2 ? "LONGBLOB"
                                         : "BLOB";
    return "CREATE TABLE BinariosAct (Producto " + clave + " NOT NULL PRIMARY KEY, Major " + entero +
           " NOT NULL, Minor " + entero + " NOT NULL, Revision " + entero + " NOT NULL, MD5Hash " + texto +
           ", Binario " + binario + ")";
}

bool BaseAdmin::AsegurarTabla(const std::string& tabla) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (db_.AbrirRs(rs, "SELECT * FROM " + tabla + " WHERE 1 = 0", ado::adOpenStatic, ado::adLockOptimistic, -1,
                    false, n)) {
        rs->Close();
        return true;
    }
    if (!db_.EjecutarSQL(DefinicionTabla(tabla), nullptr, 0, false))
        return Fallar("no se pudo crear la tabla " + tabla + UltimoError()) == 0;
    platform::EscribirError("olvado-admin: tabla " + tabla + " creada\n");
    return true;
}

} // namespace olvado::admin
