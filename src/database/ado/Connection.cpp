#include "database/ado/Connection.h"

#include "base/Texto.h"
#include "database/ado/Dialecto.h"
#include "database/ado/Motor.h"
#include "database/ado/Proveedor.h"

namespace olvado::ado {

namespace {
const char* const kOrigen = "ADODB.Connection";

// The driver manager could not find or load the named driver.
bool SinControlador(const Errors& errores) {
    for (int32_t i = 0; i < errores.Count(); ++i) {
        const Error& e = errores.Item(i);
        if (e.SQLState == "IM002" || e.SQLState == "IM003" ||
            e.Description.find("Can't open lib") != std::string::npos)
            return true;
    }
    return false;
}
// The rows of a cursor under other column names: the aliases that the
// translation took from a driver that refuses them.
class CursorRenombrado final : public detalle::Cursor {
  public:
    CursorRenombrado(std::unique_ptr<detalle::Cursor> c, const std::vector<std::string>& aliases)
        : c_(std::move(c)), columnas_(c_->Columnas()) {
        size_t i = 0;
        for (auto& col : columnas_)
            if (i < aliases.size() && UCase(col.nombre) == "COUNT")
                col.nombre = aliases[i++];
    }
    void Liberar() override { c_->Liberar(); }
    const std::vector<detalle::Columna>& Columnas() const override { return columnas_; }
    bool Siguiente(bool& hay) override { return c_->Siguiente(hay); }
    bool LeerFila(std::vector<Valor>& fila) override { return c_->LeerFila(fila); }
    bool TamanoLargo(size_t columna, int64_t& tamano) override { return c_->TamanoLargo(columna, tamano); }
    bool LeerTrozo(size_t columna, uint8_t* destino, size_t pedido, size_t& leidos) override {
        return c_->LeerTrozo(columna, destino, pedido, leidos);
    }

  private:
    std::unique_ptr<detalle::Cursor> c_;
    std::vector<detalle::Columna> columnas_;
};

} // namespace

Connection::Connection() = default;

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
    }
}

void Connection::Open(const std::string& cadena, const std::string& usuario, const std::string& clave,
                      int32_t /*opciones*/) {
    errores_.Clear();
    if (motor_) {
        errores_.AgregarNumero(static_cast<int32_t>(0x800A0E79u), "La operación no se permite si el objeto está abierto.",
                               kOrigen);
        errores_.Lanzar();
    }
    DestinoConexion d = ResolverProveedor(cadena);
    if (!d.sinControlador.empty()) {
        errores_.AgregarNumero(adErrFallaGeneral, d.sinControlador, kOrigen);
        errores_.Lanzar();
    }
    std::string destino = d.cadena;
    if (!usuario.empty())
        destino += "UID=" + usuario + ";";
    if (!clave.empty())
        destino += "PWD=" + clave + ";";
    std::unique_ptr<detalle::Motor> motor;
    switch (d.via) {
    case DestinoConexion::Via::Odbc:
        motor = detalle::CrearMotorOdbc(errores_);
        break;
    case DestinoConexion::Via::SqliteNativo:
        motor = detalle::CrearMotorSqlite(errores_);
        break;
    case DestinoConexion::Via::Desconocido:
        errores_.AgregarNumero(adErrProveedorNoEncontrado,
                               "No se encuentra el proveedor especificado (\"" + d.proveedor +
                                   "\"). Es posible que no esté instalado correctamente.",
                               kOrigen);
        break;
    }
    if (motor) {
        motor->EstablecerFin(Fin);
        motor->EstablecerLlamadas(Llamadas);
    }
    if (!motor || !motor->Abrir(destino, ConnectionTimeout)) {
        // Chosen from the list but not loadable: a driver half removed.
        if (d.proveedor != "MSDASQL.1" && !d.controlador.empty() && SinControlador(errores_))
            errores_.AgregarNumero(adErrFallaGeneral,
                                   "El controlador ODBC \"" + d.controlador +
                                       "\" está registrado pero no se puede cargar: instálelo de nuevo.",
                                   kOrigen);
        errores_.Lanzar();
    }
    motor_ = std::move(motor);
    proveedor_ = d.proveedor;
    archivoAccess_ = d.archivoAccess;
    dbms_ = motor_->NombreDBMS();
    familia_ = FamiliaDeControlador(d.controlador, dbms_);
    nivel_ = 0;
}

void Connection::Close() {
    if (!motor_)
        return;
    motor_->Cerrar();
    motor_.reset();
}

int32_t Connection::State() const { return motor_ ? adStateOpen : adStateClosed; }

void Connection::ExigirAbierta() {
    if (motor_)
        return;
    errores_.AgregarNumero(adErrObjetoCerrado, "No se permite la operación si el objeto está cerrado.", kOrigen);
    errores_.Lanzar();
}

std::string Connection::DefaultDatabase() {
    errores_.Clear();
    ExigirAbierta();
    if (archivoAccess_)
        return {};
    std::string base = motor_->BaseActual();
    if (!errores_.Vacio())
        errores_.Lanzar();
    return base;
}

Valor Connection::Properties(const std::string& nombre) {
    errores_.Clear();
    ExigirAbierta();
    if (nombre == "DBMS Name")
        return Valor(dbms_);
    errores_.AgregarNumero(static_cast<int32_t>(0x800A0CC1u),
                           "No se encontró el elemento en la colección correspondiente al nombre o al ordinal solicitado.",
                           kOrigen);
    errores_.Lanzar();
}

std::unique_ptr<detalle::Cursor> Connection::Ejecutar(const std::string& sql, const std::vector<Valor>& parametros,
                                                      int32_t segundos, int64_t& afectados) {
    errores_.Clear();
    ExigirAbierta();
    if (eventos_)
        eventos_->WillExecute();
    std::unique_ptr<detalle::Cursor> cursor;
    bool ok = motor_->Ejecutar(TraducirSQL(sql, familia_), parametros, segundos, cursor, afectados);
    if (ok && cursor && familia_ == FamiliaSQL::MdbTools)
        if (auto aliases = AliasDeConteo(sql); !aliases.empty())
            cursor = std::make_unique<CursorRenombrado>(std::move(cursor), aliases);
    if (eventos_)
        eventos_->ExecuteComplete();
    if (!ok)
        errores_.Lanzar();
    return cursor;
}

void Connection::Execute(const std::string& sql, int64_t* afectados, int32_t /*opciones*/) {
    int64_t n = -1;
    Ejecutar(sql, {}, CommandTimeout, n);
    if (afectados)
        *afectados = n;
}

int32_t Connection::BeginTrans() {
    errores_.Clear();
    ExigirAbierta();
    if (nivel_ > 0) {
        // The engines reached here have no nested transactions.
        errores_.AgregarNumero(static_cast<int32_t>(0x8004D013u), "No se admiten transacciones anidadas.", kOrigen);
        errores_.Lanzar();
    }
    if (!motor_->IniciarTransaccion())
        errores_.Lanzar();
    nivel_ = 1;
    if (eventos_)
        eventos_->BeginTransComplete(nivel_);
    return nivel_;
}

void Connection::CommitTrans() { TerminarTransaccion(true); }

void Connection::RollbackTrans() { TerminarTransaccion(false); }

void Connection::TerminarTransaccion(bool confirmar) {
    errores_.Clear();
    ExigirAbierta();
    if (nivel_ == 0) {
        errores_.AgregarNumero(static_cast<int32_t>(0x8004D00Eu), "No hay ninguna transacción activa.", kOrigen);
        errores_.Lanzar();
    }
    nivel_ = 0;
    bool ok = motor_->TerminarTransaccion(confirmar);
    if (eventos_) {
        if (confirmar)
            eventos_->CommitTransComplete();
        else
            eventos_->RollbackTransComplete();
    }
    if (!ok)
        errores_.Lanzar();
}

} // namespace olvado::ado
