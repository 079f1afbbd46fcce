// What the ADO-shaped classes need from an engine: the ODBC bridge
// (MotorOdbc.cpp) and the native SQLite provider (posix/MotorSqlite.cpp) give
// the same answers, so Connection and Recordset are written once. Internal to
// the data layer.
#pragma once

#include "database/ado/Errors.h"
#include "database/ado/LlamadasDriver.h"
#include "database/ado/Valor.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace olvado::ado::detalle {

// ADO's DataTypeEnum values that the layer reports.
enum TipoAdo : int32_t {
    adSmallInt = 2, adInteger = 3, adDouble = 5, adCurrency = 6, adDate = 7, adBoolean = 11,
    adTinyInt = 16, adBigInt = 20, adBinary = 128, adChar = 129, adNumeric = 131, adDBTimeStamp = 135,
    adVarChar = 200, adLongVarChar = 201, adVarWChar = 202, adLongVarWChar = 203, adVarBinary = 204,
    adLongVarBinary = 205
};

struct Columna {
    std::string nombre;
    int32_t tipo = adVarWChar;
    int64_t tamanoDefinido = 0;
    // A long binary column: never read at fetch time, only piece by piece
    // through LeerTrozo (or whole when its Value is asked for).
    bool larga = false;
};

class Motor;

// The rows of one executed statement, read forwards. A cursor still alive
// when its connection closes is released first (Liberar), so no statement
// outlives its connection.
class Cursor {
public:
    Cursor() = default;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;
    virtual ~Cursor();
    // Frees the statement; later calls fail.
    virtual void Liberar() = 0;
    virtual const std::vector<Columna>& Columnas() const = 0;
    // Moves to the next row; hay = false at the end. False on an error.
    virtual bool Siguiente(bool& hay) = 0;
    // The short columns of the current row, read once per row in order
    // (long columns come back Empty).
    virtual bool LeerFila(std::vector<Valor>& fila) = 0;
    // Size in bytes of a long column of the current row (-1 when Null).
    virtual bool TamanoLargo(size_t columna, int64_t& tamano) = 0;
    // The next piece of a long column of the current row, from where the
    // previous piece ended.
    virtual bool LeerTrozo(size_t columna, uint8_t* destino, size_t pedido, size_t& leidos) = 0;

protected:
    // The connection's Agotado (false once it has closed).
    bool Agotado() const;

private:
    friend class Motor;
    Motor* motor_ = nullptr;
};

class Motor {
public:
    // Diagnostics go to the connection's collection.
    explicit Motor(Errors& errores) : errores_(errores) {}
    virtual ~Motor() = default;
    // cadena: the engine's own connection text; segundos: login time-out.
    virtual bool Abrir(const std::string& cadena, int32_t segundos) = 0;
    virtual void Cerrar() = 0;
    virtual std::string NombreDBMS() = 0;
    virtual std::string BaseActual() = 0;
    // Runs sql (already translated) with the given parameters. A statement
    // that returns rows hands back its cursor; afectados gets the row count
    // of other statements (-1 when unknown).
    virtual bool Ejecutar(const std::string& sql, const std::vector<Valor>& parametros, int32_t segundos,
                          std::unique_ptr<Cursor>& cursor, int64_t& afectados) = 0;
    virtual bool IniciarTransaccion() = 0;
    virtual bool TerminarTransaccion(bool confirmar) = 0;

    using Reloj = std::chrono::steady_clock;
    // The end of the whole conversation, whatever its statements, pieces and
    // retries (max: none beyond each call's own time-out). Past it, or with
    // a termination signal pending, every call fails as a time-out.
    void EstablecerFin(Reloj::time_point fin) { fin_ = fin; }
    // True once the conversation's end has passed or a signal is pending
    // (unless the calls allow one: LlamadasDriver::PermitirTrasSenal).
    bool Agotado() const;
    // The conversation's calls, as its watchdog sees them; each engine has
    // its own until the caller shares one.
    void EstablecerLlamadas(std::shared_ptr<LlamadasDriver> llamadas) {
        if (llamadas)
            llamadas_ = std::move(llamadas);
    }

protected:
    // The seconds a call may take: segundos (0: no limit of its own) cut to
    // what is left of the conversation; -1, with a time-out in the errors,
    // when nothing is left.
    int32_t Restante(int32_t segundos);

    // Cursors handed out are registered so that closing releases them first.
    void Registrar(Cursor& c);
    void LiberarCursores();

    Errors& errores_;
    Reloj::time_point fin_ = Reloj::time_point::max();
    std::shared_ptr<LlamadasDriver> llamadas_ = std::make_shared<LlamadasDriver>();

private:
    friend class Cursor;
    std::vector<Cursor*> cursores_;
};

// The ODBC bridge (every platform).
std::unique_ptr<Motor> CrearMotorOdbc(Errors& errores);
// The names of the ODBC drivers the driver manager knows (SQLDrivers).
std::vector<std::string> ControladoresInstalados();
// The native SQLite provider; nullptr with a diagnostic in errores where the
// build has none.
std::unique_ptr<Motor> CrearMotorSqlite(Errors& errores);
bool SqliteNativoDisponible();

} // namespace olvado::ado::detalle
