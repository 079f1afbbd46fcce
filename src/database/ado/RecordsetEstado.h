// The inside of a Recordset, shared with Field. Internal to the data layer.
#pragma once

#include "database/ado/Errors.h"
#include "database/ado/Motor.h"
#include "database/ado/Valor.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace olvado::ado {

class Connection;

struct RecordsetEstado {
    enum class Edicion { Ninguna, Nueva, Cambio };

    Connection* cnx = nullptr;
    const Errors* cnxErrores = nullptr;
    std::string fuente;
    std::vector<detalle::Columna> columnas;
    // Static mode: every row, and the position in them (-1 before the first).
    std::vector<std::vector<Valor>> filas;
    int64_t pos = 0;
    // Streaming mode: the open cursor and its current row.
    bool streaming = false;
    std::unique_ptr<detalle::Cursor> cursor;
    std::vector<Valor> filaStream;
    bool finStream = false;
    // Per column of the current row: where GetChunk goes on, and a long
    // column already read whole.
    std::vector<int64_t> desplazamientos;
    std::vector<std::optional<Valor>> largos;
    // Values set since AddNew or since the first change of the row.
    Edicion edicion = Edicion::Ninguna;
    std::vector<std::optional<Valor>> cambios;

    std::vector<Valor>& FilaActual() { return streaming ? filaStream : filas.at(static_cast<size_t>(pos)); }
    void NuevaFila() {
        desplazamientos.assign(columnas.size(), 0);
        largos.assign(columnas.size(), std::nullopt);
        cambios.assign(columnas.size(), std::nullopt);
        edicion = Edicion::Ninguna;
    }
};

} // namespace olvado::ado
