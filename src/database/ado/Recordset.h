// ADO's Recordset with a client-side static cursor: the rows are read when it
// opens and it moves freely, except when the rows hold a long binary column.
// Then it streams forwards (Supports(adMovePrevious) is False) and a long
// column is read from the driver piece by piece, never held twice.
#pragma once

#include "database/ado/Field.h"
#include "database/ado/Valor.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace olvado::ado {

class Connection;
struct RecordsetEstado;
namespace detalle {
class Cursor;
struct Columna;
} // namespace detalle

inline constexpr int32_t adOpenForwardOnly = 0;
inline constexpr int32_t adOpenStatic = 3;
inline constexpr int32_t adLockOptimistic = 3;
inline constexpr int32_t adMovePrevious = 512;

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Raises ErrorAdo on failure, as ADO does.
    void Open(const std::string& source, Connection& conexion, int32_t cursorType = adOpenForwardOnly,
              int32_t lockType = 1, int32_t options = -1);
    void Close();
    int32_t State() const;

    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    // -1 while streaming.
    int32_t RecordCount() const;
    bool Supports(int32_t opcion) const;

    int32_t FieldCount() const;
    Field& Fields(int32_t indice);
    // Raises error 3265 for a name that is not a column.
    Field& Fields(const std::string& nombre);
    // Rows from the current one (all when filas < 0), as [field][row]; the
    // given fields only when campos is not empty. Moves past them.
    std::vector<std::vector<Valor>> GetRows(int32_t filas = -1, const std::vector<std::string>& campos = {});

    void AddNew();
    // Writes the new or changed row through an INSERT or UPDATE of the
    // source's table.
    void Update();

private:
    friend class Field;

    void ExigirAbierto() const;
    void ExigirFila() const;
    void LeerSiguienteStreaming();
    [[noreturn]] void Fallar(int32_t numero, const std::string& texto) const;

    std::unique_ptr<RecordsetEstado> e_;
    std::vector<Field> campos_;
};

} // namespace olvado::ado
