// The shared database as the publisher's tool reaches it: opened from the
// connection store exactly as the updater opens it, with the database
// object's messages written on standard error, and the two tables that the
// tool writes created when the database lacks them.
#pragma once

#include "database/clsDB.h"
#include "database/clsSqlSyntaxEngine.h"

#include <string>

namespace olvado::admin {

// The product's machine-wide data folder, where the store lives (ends with
// a separator).
std::string CarpetaDatos();
// CarpetaDatos() + "Conexiones.dat".
std::string RutaAlmacen();

class BaseAdmin : private IMostrarErrores {
public:
    BaseAdmin();
    // Opens the database of the store (the selection window when it holds
    // several entries). False with the reason on standard error.
    bool Abrir();
    // Creates BinariosAct / Valores / HistorialAct in the engine's types when a query of
    // the table does not open (HistorialAct with its index, added when
    // missing). False with the reason on standard error.
    bool AsegurarTabla(const std::string& tabla);
    // The index of HistorialAct by product, workstation, date and version,
    // which answers each workstation's first and last runs without reading
    // the table's rows;
    // added to a table made without it. False, quietly, when there is no
    // table; false with the reason on standard error when the index cannot
    // be made.
    bool AsegurarIndiceHistorial();
    // HistorialAct with its index and the column Anillo (the ring of a run,
    // written by the workstations of a ring only), each added when missing.
    bool AsegurarHistorial();
    static constexpr const char* kIndiceHistorial = "HistorialActEstacion";
    // The statement of each workstation's last run of producto (an SQL text)
    // in one grouped pass over that index, not a search per row: the columns
    // of h given (and of u, the workstation's group, with agregados: ", MIN(x)
    // AS y"), condicion ("" or "AND ...") on them. Two rows of the same second
    // both come, in the order to keep the first of (the highest version, the
    // same on every engine).
    std::string SqlUltimas(const std::string& producto, const std::string& columnas, const std::string& condicion,
                           const std::string& agregados = "") const;
    enum class Tipo { Texto, Entero, Grande /* 64 bits: byte counts */ };
    // Adds a column of that type to the table when a query of it does not
    // open (before Binario on SQLite, so packages still stream into their
    // rows).
    bool AsegurarColumna(const std::string& tabla, const std::string& columna, Tipo tipo = Tipo::Texto);
    bool TieneColumna(const std::string& tabla, const std::string& columna);

    clsDB& DB() { return db_; }
    const clsSqlSyntaxEngine& SQL() const { return sql_; }
    // The last error of the connection ("" when there is none).
    std::string UltimoError();

private:
    void MostrarERRExt(int32_t Numero, const std::string& Fuente, const std::string& ExplicacionError) override;
    std::string DefinicionTabla(const std::string& tabla) const;
    bool BinarioAlFinal(const std::string& tabla);

    clsSqlSyntaxEngine sql_;
    clsDB db_;
    bool silencio_ = false;
};

} // namespace olvado::admin
