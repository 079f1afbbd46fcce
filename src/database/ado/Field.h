// ADO's Field: one column of a Recordset's current row.
#pragma once

#include "database/ado/Valor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::ado {

class Recordset;

class Field {
public:
    Field(Recordset& rs, size_t indice) : rs_(&rs), indice_(indice) {}

    const std::string& Name() const;
    int32_t Type() const;
    int64_t DefinedSize() const;
    // Bytes of the value in the current row (-1 when Null).
    int64_t ActualSize() const;
    // The value of the current row. A long binary column is read whole here
    // (the caller's one copy); GetChunk reads it in pieces instead.
    Valor Value() const;
    // A new value for AddNew / Update (moved in: 100 MiB are not copied).
    void SetValue(Valor v);
    // The next n bytes of a long column from where the last piece ended
    // (fewer at the end, none after it).
    std::vector<uint8_t> GetChunk(int64_t n);
    // The same into the caller's buffer: up to n bytes, the count read (0 at
    // the end). A long column goes straight from the driver into destino.
    size_t GetChunk(uint8_t* destino, size_t n);

private:
    // What is left of the current row's long column after the pieces read.
    int64_t RestoLargo() const;
    // Up to n bytes of it (n no more than RestoLargo) into destino.
    size_t LeerLargo(uint8_t* destino, size_t n);
    bool LecturaDirecta() const;

    Recordset* rs_;
    size_t indice_;
};

} // namespace olvado::ado
