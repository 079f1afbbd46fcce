// Small Access 2000 (Jet 4) files, for reading a real Access database through
// the MDB Tools ODBC driver: no tool on Linux writes one. Tables without
// indexes, each holding at most one data page of rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace olvado::prueba {

// Column types: Long Integer, Text (UCS-2), OLE (written Null only).
constexpr std::uint8_t kMdbLargo = 0x04, kMdbTexto = 0x0A, kMdbOle = 0x0B;

struct ColumnaMdb {
    std::string nombre;
    std::uint8_t tipo;
};

struct TablaMdb {
    std::string nombre;
    std::vector<ColumnaMdb> columnas;
    std::vector<std::vector<std::optional<std::string>>> filas; // nullopt: Null; integers as decimal text
};

// The bytes of a .mdb file holding `tablas`.
std::string ArchivoMdb(const std::vector<TablaMdb>& tablas);

} // namespace olvado::prueba
