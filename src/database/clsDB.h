// The one object through which the system reaches its database: it opens the
// connection chosen in the connection store, detects the dialect, refuses a
// database in the middle of a server-side update, and offers the few
// operations the system needs. Operations answer Booleans; a lost connection
// is re-opened by itself (see Reconectar).
#pragma once

#include "common/Controles.h"
#include "database/ado/Command.h"
#include "database/ado/Connection.h"
#include "database/ado/Recordset.h"
#include "database/IOrigenConexion.h"
#include "database/clsSqlSyntaxEngine.h"

#include <cstdint>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace olvado {

// The common utilities' error display, as the database object calls it.
class IMostrarErrores {
public:
    virtual ~IMostrarErrores() = default;
    virtual void MostrarERRExt(int32_t Numero, const std::string& Fuente, const std::string& ExplicacionError) = 0;
};

class clsDB : private ado::EventosConexion {
public:
    // errores: where messages go (none shown when null). origen: where
    // AbrirDB takes the connection string (null: the connection store).
    explicit clsDB(IMostrarErrores* errores = nullptr, IOrigenConexion* origen = nullptr);
    ~clsDB() override;
    clsDB(const clsDB&) = delete;
    clsDB& operator=(const clsDB&) = delete;

    // The start-up sequence's server-clock operation, run by AbrirDB after
    // opening unless the entry asks for an optimised remote connection.
    void EstablecerSincronizacionReloj(std::function<void()> sincronizar) { sincronizar_ = std::move(sincronizar); }
    // One end for the whole conversation with the database, every connection
    // and reconnection, statement, piece and retry included (see
    // ado::Connection::Fin); past it every call fails as a time-out.
    void EstablecerFinConversacion(std::chrono::steady_clock::time_point fin) { finConversacion_ = fin; }
    // Every connection's driver calls go through llamadas, where the run's
    // watchdog sees them (ado::Connection::Llamadas).
    void EstablecerLlamadasDriver(std::shared_ptr<ado::LlamadasDriver> llamadas) { llamadas_ = std::move(llamadas); }

    bool AbrirDB(bool AvisarError = false, bool SinAsistente = false);
    bool AbrirRs(std::unique_ptr<ado::Recordset>& Rs, const std::string& vOrigen, int32_t ModoCursor,
                 int32_t ModoBloqueo, int32_t Opciones, bool AvisarError, int32_t& NumeroRegistros);
    bool AbrirRs(std::unique_ptr<ado::Recordset>& Rs, const std::string& vOrigen, int32_t ModoCursor = 0,
                 int32_t ModoBloqueo = 0, int32_t Opciones = 0, bool AvisarError = false);
    bool EjecutarSQL(const std::string& vSQL, int64_t* RegistrosAfectados = nullptr, int32_t Opciones = 0,
                     bool AvisarError = false, int32_t CodigoExplicacionError = 0);
    bool EjecutarSQLParam(const std::string& vSQL, int64_t* RegistrosAfectados = nullptr, int32_t Opciones = 0,
                          bool AvisarError = false, int32_t CodigoExplicacionError = 0, int32_t Esperar = 0);
    bool vBeginTrans();
    bool vCommitTrans(bool AvisarError = false);
    void vRollBackTrans();
    // Matriz is [field][row]; NumeroRegistros is not changed.
    bool vGetRows(ado::Recordset& Rs, std::vector<std::vector<ado::Valor>>& Matriz,
                  const std::vector<std::string>& Campos, int32_t NumeroRegistros);
    bool HayRegistrosSQL(const std::string& vOrigen, bool* Exito = nullptr);
    void MostrarErroresDB(intptr_t vHWND);

    ado::Connection* ObtenerConexion() { return CNX.get(); }
    ado::Connection* Conexion() { return CNX.get(); }
    void Conexion(std::unique_ptr<ado::Connection> c);
    int32_t SintaxisSQL() const { return sintaxis_; }
    void SintaxisSQL(int32_t v) { sintaxis_ = v; }
    void Barra(void* objeto) { barra_ = objeto, barraAsignada_ = objeto != nullptr; }
    bool EsPrimaria() const { return esPrimaria_; }
    void EsPrimaria(bool v) { esPrimaria_ = v; }
    const std::string& NombreClase() const { return nombreClase_; }
    void NombreClase(const std::string& v) { nombreClase_ = v; }
    const std::string& CodigoDBExterna() const { return codigoDBExterna_; }
    void CodigoDBExterna(const std::string& v) { codigoDBExterna_ = v; }
    int32_t NivelTransaccion() const { return nivelTransaccion_; }
    int32_t EjecucionesPendientes() const { return ejecucionesPendientes_; }

    bool LlenarComboBox_ListBox(const std::string& vOrigen, IControlLista& c, const std::string& Clave,
                                bool UsarItemData = false, const std::string& CampoItemData = {},
                                bool LimpiarLista = false, bool PosicionarInicial = false,
                                int32_t LimiteListadoLlenar = 0, bool NoLlenarSiTraspasaLimite = false);
    void EnlazarCampo_TextBox(IControlTexto& T, ado::Field& F, bool EnBlanco = false);
    void EnlazarCampo_TextBox_Numero(IControlTexto& T, ado::Field& F, bool EnBlanco = false,
                                     int32_t ValorSiEsNulo = 0);

    // Stored variables, identity and BLOB transfer.
    bool Get_Variable(const std::string& ID, int32_t& Tipo, std::string& ValorTexto, int32_t& ValorLargo);
    bool Set_Variable(const std::string& ID, int32_t Tipo, const std::string& ValorTexto = {},
                      int32_t ValorLargo = 0);
    int32_t LastInsertID(ado::Recordset& Rs, const std::string& CampoClave);
    // Raises (ErrorOlvado) on a failure, which reaches the caller.
    bool BLOB_a_Archivo(ado::Field& Campo, std::string& NombreArchivo);
    bool BLOB_a_Archivo(ado::Field& Campo);
    bool Archivo_A_BLOB(ado::Field& Campo, const std::string& NombreArchivo);

private:
    void BeginTransComplete(int32_t nivel) override { nivelTransaccion_ = nivel; }
    void CommitTransComplete() override { --nivelTransaccion_; }
    void RollbackTransComplete() override { --nivelTransaccion_; }
    void WillExecute() override { ++ejecucionesPendientes_; }
    void ExecuteComplete() override { --ejecucionesPendientes_; }

    ado::Connection& Cnx();
    void CerrarCNX();
    bool Reconectar(bool AvisarError);
    // Runs paso; after a failure, once more if Reconectar brings the
    // connection back.
    bool ConReconexion(bool AvisarError, const std::function<bool()>& paso);
    void Mostrar(int32_t numero, const std::string& fuente);

    std::unique_ptr<ado::Connection> CNX;
    IMostrarErrores* errores_;
    IOrigenConexion* origen_;
    std::function<void()> sincronizar_;
    std::chrono::steady_clock::time_point finConversacion_ = std::chrono::steady_clock::time_point::max();
    std::shared_ptr<ado::LlamadasDriver> llamadas_;
    // Strg and LimitarRegistrosSQL as the program's engine gives them: the
    // engine keeps its initial dialect (1) for the whole run.
    clsSqlSyntaxEngine sql_;
    std::string cadenaConexion_;
    std::string catalogo_;
    std::string nombreClase_;
    int32_t sintaxis_ = 0;
    void* barra_ = nullptr;
    bool barraAsignada_ = false;
    int32_t nivelTransaccion_ = 0;
    int32_t ejecucionesPendientes_ = 0;
    bool optimizarConexionRemota_ = false;
    bool esPrimaria_ = false;
    std::string codigoDBExterna_;
};

} // namespace olvado
