#include "database/clsDB.h"

#include "base/Texto.h"
#include "common/IdentidadPrograma.h"
#include "database/ConfigConexion.h"
#include "database/basSQLSyntaxEngine.h"
#include "platform/MensajesPendientes.h"
#include "platform/MessageBox.h"

namespace olvado {

using ado::Connection;
using ado::Recordset;

clsDB::clsDB(IMostrarErrores* errores, IOrigenConexion* origen)
    : errores_(errores), origen_(origen), nombreClase_(ObtenerIdentidadPrograma().Producto) {}

clsDB::~clsDB() { CerrarCNX(); }

void clsDB::Mostrar(int32_t numero, const std::string& fuente) {
    if (errores_)
        errores_->MostrarERRExt(numero, fuente, "");
}

ado::Connection& clsDB::Cnx() {
    if (!CNX)
        throw ado::ErrorAdo(91, "clsDB", "Variable de objeto o bloque With no establecido");
    return *CNX;
}

void clsDB::CerrarCNX() {
    try {
        if (CNX)
            CNX->Close();
    } catch (...) {
    }
    CNX.reset();
}

void clsDB::Conexion(std::unique_ptr<ado::Connection> c) {
    CerrarCNX();
    CNX = std::move(c);
    if (CNX)
        CNX->EstablecerEventos(this);
}

bool clsDB::AbrirDB(bool AvisarError, bool SinAsistente) {
    if (!SinAsistente) {
        std::string nombre;
        ConfigConexion almacen; // the store, read afresh for this open
        (origen_ ? *origen_ : static_cast<IOrigenConexion&>(almacen))
            .ObtenerDatosConexion(nombre, cadenaConexion_, catalogo_, optimizarConexionRemota_);
    }
    if (cadenaConexion_.empty())
        return false;
    CerrarCNX();
    try {
        CNX = std::make_unique<Connection>();
        CNX->CursorLocation = ado::adUseClient;
        CNX->CommandTimeout = 360;
        CNX->Fin = finConversacion_;
        CNX->Llamadas = llamadas_;
        CNX->EstablecerEventos(this);
        CNX->Open(cadenaConexion_, "", "", -1);
        int32_t tipoProveedor = 0;
        if (!DetectarSintaxisSQL(*CNX, tipoProveedor, sintaxis_)) {
            CNX->Close();
            return false;
        }
    } catch (const ErrorOlvado& e) {
        if (AvisarError)
            Mostrar(e.Numero(), nombreClase_);
        return false;
    }
    // From here a failure answers False silently and leaves the connection open.
    try {
        if (!SinAsistente && CNX->DefaultDatabase() != catalogo_)
            CNX->Execute("USE " + catalogo_);
        if (!optimizarConexionRemota_ && sincronizar_)
            sincronizar_();
        int32_t tipo = 0, largo = 0;
        std::string texto;
        if (Get_Variable("DBINTERM", tipo, texto, largo)) {
            std::string producto = ObtenerIdentidadPrograma().Producto;
            platform::MsgBox("La Base de Datos " + producto + " está en medio de un proceso de actualización (#" +
                                 std::to_string(largo) + ")" + std::string(vbCrLf) + std::string(vbCrLf) +
                                 "Favor espere a que se complete la actualización de " + producto +
                                 " en el servidor e intente nuevamente.",
                             platform::vbExclamation | platform::vbOKOnly, "No se puede abrir Base de Datos");
            return false;
        }
        return true;
    } catch (const ErrorOlvado&) {
        return false;
    }
}

// Reconnection rule: only a connection that is really gone is re-opened (no
// provider error, or the general failure 0x80004005); one reconnection tries
// the open at most twice and then answers False; a statement is repeated at
// most once after a successful reconnection, and when it fails again its
// error is reported as a first failure on a live connection is. So a
// statement runs at most twice, and a server gone for good costs at most two
// connection time-outs.
bool clsDB::Reconectar(bool AvisarError) {
    if (CNX && CNX->Errors().Count() > 0 && CNX->Errors()(0).Number != ado::adErrFallaGeneral) {
        if (AvisarError)
            Mostrar(CNX->Errors()(0).Number, "Error");
        return false;
    }
    // The caller's windows get to repaint before the wait of the reopen.
    platform::ProcesarMensajesPendientes();
    for (int intento = 0; intento < 2; ++intento) {
        CerrarCNX();
        if (cadenaConexion_.empty())
            return false;
        try {
            auto c = std::make_unique<Connection>();
            c->CursorLocation = ado::adUseClient;
            c->Fin = finConversacion_;
            c->Llamadas = llamadas_;
            c->EstablecerEventos(this);
            c->Open(cadenaConexion_, "", "", -1);
            CNX = std::move(c);
            return CNX->State() == ado::adStateOpen;
        } catch (const ErrorOlvado&) {
        }
    }
    return false;
}

bool clsDB::ConReconexion(bool AvisarError, const std::function<bool()>& paso) {
    try {
        return paso();
    } catch (const ErrorOlvado&) {
    }
    if (!Reconectar(AvisarError))
        return false;
    try {
        return paso();
    } catch (const ErrorOlvado& e) {
        if (AvisarError)
            Mostrar(CNX && CNX->Errors().Count() > 0 ? CNX->Errors()(0).Number : e.Numero(), "Error");
        return false;
    }
}

bool clsDB::AbrirRs(std::unique_ptr<Recordset>& Rs, const std::string& vOrigen, int32_t ModoCursor,
                    int32_t ModoBloqueo, int32_t Opciones, bool AvisarError, int32_t& NumeroRegistros) {
    try {
        if (Rs && Rs->State() == 1)
            Rs->Close();
    } catch (...) {
    }
    const int32_t pedido = NumeroRegistros;
    bool ok = ConReconexion(AvisarError, [&] {
        Rs = std::make_unique<Recordset>();
        Rs->Open(vOrigen, Cnx(), ModoCursor, ModoBloqueo, Opciones);
        if (pedido != 0)
            return true;
        if (ModoCursor == ado::adOpenForwardOnly)
            return false;
        if (!Rs->Supports(ado::adMovePrevious)) {
            NumeroRegistros = -1;
        } else if (Rs->Bof() && Rs->Eof()) {
            NumeroRegistros = 0;
        } else {
            Rs->MoveLast();
            NumeroRegistros = Rs->RecordCount();
            Rs->MoveFirst();
        }
        return true;
    });
    // A forward-only count answers False with the recordset left open.
    if (!ok && !(Rs && Rs->State() == 1 && pedido == 0 && ModoCursor == ado::adOpenForwardOnly))
        Rs.reset();
    return ok;
}

bool clsDB::AbrirRs(std::unique_ptr<Recordset>& Rs, const std::string& vOrigen, int32_t ModoCursor,
                    int32_t ModoBloqueo, int32_t Opciones, bool AvisarError) {
    int32_t n = 0;
    return AbrirRs(Rs, vOrigen, ModoCursor, ModoBloqueo, Opciones, AvisarError, n);
}

bool clsDB::EjecutarSQL(const std::string& vSQL, int64_t* RegistrosAfectados, int32_t Opciones, bool AvisarError,
                        int32_t) {
    return ConReconexion(AvisarError, [&] {
        Cnx().Execute(vSQL, RegistrosAfectados, Opciones);
        return true;
    });
}

bool clsDB::EjecutarSQLParam(const std::string& vSQL, int64_t* RegistrosAfectados, int32_t Opciones,
                             bool AvisarError, int32_t, int32_t Esperar) {
    return ConReconexion(AvisarError, [&] {
        ado::Command cmd;
        cmd.CommandType = ado::adCmdText;
        cmd.CommandText = vSQL;
        cmd.ActiveConnection = &Cnx();
        cmd.CommandTimeout = Esperar < 0 ? 360 : Esperar;
        cmd.Execute(RegistrosAfectados, Opciones);
        return true;
    });
}

bool clsDB::vBeginTrans() {
    return ConReconexion(false, [&] {
        Cnx().BeginTrans();
        return true;
    });
}

bool clsDB::vCommitTrans(bool AvisarError) {
    try {
        Cnx().CommitTrans();
        return true;
    } catch (const ErrorOlvado& e) {
        if (AvisarError)
            Mostrar(e.Numero(), "Error");
        return false;
    }
}

void clsDB::vRollBackTrans() {
    try {
        Cnx().RollbackTrans();
    } catch (...) {
    }
}

bool clsDB::vGetRows(Recordset& Rs, std::vector<std::vector<ado::Valor>>& Matriz,
                     const std::vector<std::string>& Campos, int32_t) {
    Matriz = Rs.GetRows(-1, Campos);
    return true;
}

bool clsDB::HayRegistrosSQL(const std::string& vOrigen, bool* Exito) {
    std::unique_ptr<Recordset> rs;
    int32_t n = -1;
    bool hay = false, abierto = AbrirRs(rs, vOrigen, ado::adOpenStatic, ado::adLockOptimistic, -1, true, n);
    if (abierto) {
        try {
            hay = !(rs->Eof() && rs->Bof());
            rs->Close();
        } catch (const ErrorOlvado&) {
        }
    }
    if (Exito)
        *Exito = abierto;
    return hay;
}

} // namespace olvado
