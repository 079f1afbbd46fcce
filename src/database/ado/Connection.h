// ADO's Connection, as the database object uses it. Failures raise ErrorAdo
// (as ADO raises) after filling Errors; the database object turns them into
// its Boolean answers.
#pragma once

#include "database/ado/Dialecto.h"
#include "database/ado/Errors.h"
#include "database/ado/LlamadasDriver.h"
#include "database/ado/Valor.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace olvado::ado {

namespace detalle {
class Motor;
class Cursor;
} // namespace detalle

inline constexpr int32_t adStateClosed = 0;
inline constexpr int32_t adStateOpen = 1;
inline constexpr int32_t adUseServer = 2;
inline constexpr int32_t adUseClient = 3;

// The connection's events that the database object listens to.
class EventosConexion {
public:
    virtual ~EventosConexion() = default;
    virtual void BeginTransComplete(int32_t nivel) { (void)nivel; }
    virtual void CommitTransComplete() {}
    virtual void RollbackTransComplete() {}
    virtual void WillExecute() {}
    virtual void ExecuteComplete() {}
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int32_t CursorLocation = adUseServer;
    int32_t CommandTimeout = 30;
    int32_t ConnectionTimeout = 15;
    // The end of the whole conversation through this connection (see
    // detalle::Motor::EstablecerFin); set before Open.
    std::chrono::steady_clock::time_point Fin = std::chrono::steady_clock::time_point::max();
    // The conversation's calls as its watchdog sees them (null: the engine's
    // own); set before Open.
    std::shared_ptr<LlamadasDriver> Llamadas;

    // usuario and clave, when given, are added as UID / PWD.
    void Open(const std::string& cadena, const std::string& usuario = {}, const std::string& clave = {},
              int32_t opciones = -1);
    void Close();
    int32_t State() const;
    const std::string& Provider() const { return proveedor_; }
    std::string DefaultDatabase();
    // The dynamic properties; only "DBMS Name" is known.
    Valor Properties(const std::string& nombre);
    void Execute(const std::string& sql, int64_t* afectados = nullptr, int32_t opciones = -1);
    int32_t BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    const ado::Errors& Errors() const { return errores_; }

    void EstablecerEventos(EventosConexion* eventos) { eventos_ = eventos; }

    // For Recordset and Command: runs a statement (translated here, the one
    // place) and hands back its rows, if any.
    std::unique_ptr<detalle::Cursor> Ejecutar(const std::string& sql, const std::vector<Valor>& parametros,
                                              int32_t segundos, int64_t& afectados);
    FamiliaSQL Familia() const { return familia_; }

private:
    // Commit and rollback differ only in the engine's verb and the event.
    void TerminarTransaccion(bool confirmar);
    void ExigirAbierta();

    std::unique_ptr<detalle::Motor> motor_;
    ado::Errors errores_;
    std::string proveedor_;
    bool archivoAccess_ = false;
    std::string dbms_;
    FamiliaSQL familia_ = FamiliaSQL::TSql;
    int32_t nivel_ = 0;
    EventosConexion* eventos_ = nullptr;
};

} // namespace olvado::ado
