// The ODBC bridge: every engine reached through a driver (unixODBC on Linux,
// odbc32 on Windows). The only file with the ODBC headers; every call goes through
// Revisar, which turns the driver's diagnostics into the Errors collection.
#include "database/ado/Motor.h"
#include "database/ado/ConPlazo.h"
#include "database/ado/Proveedor.h"
#include "platform/ArchivoNativo.h"
#include "platform/ControladoresOdbc.h"

#include "base/ScopedHandle.h"
#include "base/Texto.h"

#include "platform/CabecerasOdbc.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace olvado::ado::detalle {

namespace {

const char* const kOrigen = "Proveedor OLE DB para controladores ODBC";

template <SQLSMALLINT Tipo> struct RasgosOdbc {
    using handle_type = SQLHANDLE;
    static SQLHANDLE Invalid() { return SQL_NULL_HANDLE; }
    static void Close(SQLHANDLE h) { SQLFreeHandle(Tipo, h); }
};
using Entorno = ScopedHandle<RasgosOdbc<SQL_HANDLE_ENV>>;
using Enlace = ScopedHandle<RasgosOdbc<SQL_HANDLE_DBC>>;
using Sentencia = ScopedHandle<RasgosOdbc<SQL_HANDLE_STMT>>;

// Both systems' SQLWCHAR is a 16-bit code unit.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
SQLWCHAR* W(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }
std::string DesdeW(const SQLWCHAR* p, size_t n) {
    return DesdeUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(p), n));
}

// The one checking point: true on success; otherwise every diagnostic of
// the handle lands in errores.
bool Revisar(SQLRETURN rc, SQLSMALLINT tipo, SQLHANDLE h, Errors& errores) {
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA)
        return true;
    bool alguno = false;
    for (SQLSMALLINT i = 1; h != SQL_NULL_HANDLE; ++i) {
        SQLWCHAR estado[6] = {}, texto[1024] = {};
        SQLINTEGER nativo = 0;
        SQLSMALLINT largo = 0;
        SQLRETURN r = SQLGetDiagRecW(tipo, h, i, estado, &nativo, texto, 1024, &largo);
        if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
            break;
        largo = std::min<SQLSMALLINT>(largo, 1023);
        errores.Agregar(DesdeW(estado, 5), DesdeW(texto, static_cast<size_t>(largo)), kOrigen, nativo);
        alguno = true;
    }
    if (!alguno)
        errores.Agregar("HY000", rc == SQL_INVALID_HANDLE ? "Identificador ODBC no válido" : "Error ODBC",
                        kOrigen);
    return false;
}

// The watchdog's way to stop a call blocked in the driver; ODBC lets another
// thread ask it of the statement.
void CancelarSentencia(void* h) { SQLCancel(static_cast<SQLHANDLE>(h)); }

// Every binary column is read piece by piece: the SQLite3 driver reports its
// BLOBs as SQL_BINARY with a nominal size, so the size tells nothing.
bool EsLarga(SQLSMALLINT tipo) { return tipo == SQL_LONGVARBINARY || tipo == SQL_VARBINARY || tipo == SQL_BINARY; }

int32_t TipoAdoDe(SQLSMALLINT t) {
    switch (t) {
    case SQL_SMALLINT: return adSmallInt;
    case SQL_INTEGER: return adInteger;
    case SQL_TINYINT: return adTinyInt;
    case SQL_BIGINT: return adBigInt;
    case SQL_BIT: return adBoolean;
    case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE: return adDouble;
    case SQL_NUMERIC: case SQL_DECIMAL: return adNumeric;
    case SQL_TYPE_DATE: case SQL_TYPE_TIMESTAMP: case SQL_DATETIME: return adDBTimeStamp;
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_BINARY: return adBinary;
    case SQL_VARBINARY: return adVarBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    default: return adVarWChar;
    }
}

class CursorOdbc final : public Cursor {
public:
    CursorOdbc(Sentencia s, Errors& e, std::shared_ptr<LlamadasDriver> l)
        : st_(std::move(s)), errores_(e), llamadas_(std::move(l)) {}

    bool Describir(SQLSMALLINT n) {
        for (SQLSMALLINT i = 1; i <= n; ++i) {
            SQLWCHAR nombre[256] = {};
            SQLSMALLINT largo = 0, tipo = 0, decimales = 0, nulos = 0;
            SQLULEN tamano = 0;
            if (!Revisar(SQLDescribeColW(st_.Get(), i, nombre, 256, &largo, &tipo, &tamano, &decimales, &nulos),
                         SQL_HANDLE_STMT, st_.Get(), errores_))
                return false;
            Columna c;
            c.nombre = DesdeW(nombre, static_cast<size_t>(std::min<SQLSMALLINT>(largo, 255)));
            c.tipo = TipoAdoDe(tipo);
            c.tamanoDefinido = static_cast<int64_t>(tamano);
            c.larga = EsLarga(tipo);
            sqlTipos_.push_back(tipo);
            columnas_.push_back(std::move(c));
        }
        return true;
    }

    const std::vector<Columna>& Columnas() const override { return columnas_; }
    void Liberar() override { st_.Reset(); }

    bool Siguiente(bool& hay) override {
        if (!Vivo(hay))
            return false;
        LlamadasDriver::Dentro dentro(*llamadas_, st_.Get(), CancelarSentencia);
        tamanos_.assign(columnas_.size(), -2);
        SQLRETURN rc = SQLFetch(st_.Get());
        hay = rc != SQL_NO_DATA;
        return Revisar(rc, SQL_HANDLE_STMT, st_.Get(), errores_);
    }

    bool LeerFila(std::vector<Valor>& fila) override {
        bool hay;
        if (!Vivo(hay))
            return false;
        LlamadasDriver::Dentro dentro(*llamadas_, st_.Get(), CancelarSentencia);
        fila.assign(columnas_.size(), Valor());
        for (size_t i = 0; i < columnas_.size(); ++i)
            if (!columnas_[i].larga && !LeerCorta(i, fila[i]))
                return false;
        return true;
    }

    bool TamanoLargo(size_t col, int64_t& tamano) override {
        bool hay;
        if (!Vivo(hay))
            return false;
        LlamadasDriver::Dentro dentro(*llamadas_, st_.Get(), CancelarSentencia);
        if (tamanos_[col] == -2) {
            // A zero-length read tells the size without taking any byte.
            uint8_t nada = 0;
            SQLLEN ind = 0;
            SQLRETURN rc = SQLGetData(st_.Get(), N(col), SQL_C_BINARY, &nada, 0, &ind);
            if (!Revisar(rc, SQL_HANDLE_STMT, st_.Get(), errores_))
                return false;
            if (ind == SQL_NO_TOTAL) {
                errores_.Agregar("HY000", "El controlador no informa el tamaño de la columna", kOrigen);
                return false;
            }
            tamanos_[col] = ind == SQL_NULL_DATA ? -1 : static_cast<int64_t>(ind);
        }
        tamano = tamanos_[col];
        return true;
    }

    bool LeerTrozo(size_t col, uint8_t* destino, size_t pedido, size_t& leidos) override {
        leidos = 0;
        bool hay;
        if (!Vivo(hay))
            return false;
        LlamadasDriver::Dentro dentro(*llamadas_, st_.Get(), CancelarSentencia);
        SQLLEN ind = 0;
        SQLRETURN rc = SQLGetData(st_.Get(), N(col), SQL_C_BINARY, destino, static_cast<SQLLEN>(pedido), &ind);
        if (rc == SQL_NO_DATA || ind == SQL_NULL_DATA)
            return true;
        if (!Revisar(rc, SQL_HANDLE_STMT, st_.Get(), errores_))
            return false;
        leidos = (ind == SQL_NO_TOTAL || static_cast<size_t>(ind) > pedido) ? pedido : static_cast<size_t>(ind);
        return true;
    }

private:
    // Past the conversation's end, or with a signal pending, no further
    // fetch or piece is asked of the driver.
    bool Vivo(bool& hay) {
        hay = false;
        if (st_ && !Agotado())
            return true;
        if (st_)
            errores_.Agregar("HYT00", "Se agotó el plazo de la conversación con la base de datos", kOrigen);
        else
            errores_.Agregar("08003", "La conexión está cerrada", kOrigen);
        return false;
    }

    static SQLUSMALLINT N(size_t col) { return static_cast<SQLUSMALLINT>(col + 1); }

    // Reads a variable-length column in pieces until the driver is done.
    template <typename Unidad>
    bool LeerVariable(size_t col, SQLSMALLINT tipoC, std::basic_string<Unidad>& salida, bool& nulo) {
        salida.clear();
        nulo = false;
        Unidad buf[4096];
        const size_t terminador = tipoC == SQL_C_BINARY ? 0 : 1;
        for (;;) {
            SQLLEN ind = 0;
            SQLRETURN rc = SQLGetData(st_.Get(), N(col), tipoC, buf, sizeof buf, &ind);
            if (rc == SQL_NO_DATA)
                return true;
            if (!Revisar(rc, SQL_HANDLE_STMT, st_.Get(), errores_))
                return false;
            if (ind == SQL_NULL_DATA) {
                nulo = true;
                return true;
            }
            size_t cabe = sizeof buf / sizeof(Unidad) - terminador;
            size_t n = (ind == SQL_NO_TOTAL || static_cast<size_t>(ind) / sizeof(Unidad) > cabe)
                           ? cabe
                           : static_cast<size_t>(ind) / sizeof(Unidad);
            salida.append(buf, n);
            if (rc == SQL_SUCCESS)
                return true;
        }
    }

    bool LeerCorta(size_t col, Valor& v) {
        SQLLEN ind = 0;
        SQLRETURN rc = SQL_SUCCESS;
        switch (columnas_[col].tipo) {
        case adSmallInt: case adInteger: case adTinyInt: case adBigInt: case adBoolean: {
            int64_t n = 0;
            rc = SQLGetData(st_.Get(), N(col), SQL_C_SBIGINT, &n, 0, &ind);
            if (rc == SQL_ERROR && columnas_[col].tipo != adBigInt) {
                // MDB Tools converts its integers to 32 bits only.
                SQLINTEGER m = 0;
                rc = SQLGetData(st_.Get(), N(col), SQL_C_SLONG, &m, 0, &ind);
                n = m;
            }
            v = Valor(n);
            break;
        }
        case adDouble: {
            double d = 0;
            rc = SQLGetData(st_.Get(), N(col), SQL_C_DOUBLE, &d, 0, &ind);
            v = Valor(d);
            break;
        }
        case adDBTimeStamp: {
            SQL_TIMESTAMP_STRUCT t{};
            rc = SQLGetData(st_.Get(), N(col), SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &ind);
            v = Valor(FechaHora{t.year, t.month, t.day, t.hour, t.minute, t.second});
            break;
        }
        case adBinary: case adVarBinary: {
            std::basic_string<uint8_t> b;
            bool nulo = false;
            if (!LeerVariable(col, SQL_C_BINARY, b, nulo))
                return false;
            v = nulo ? Valor::Nulo() : Valor(std::vector<uint8_t>(b.begin(), b.end()));
            return true;
        }
        default: {
            std::u16string t;
            bool nulo = false;
            if (!LeerVariable(col, SQL_C_WCHAR, t, nulo))
                return false;
            v = nulo ? Valor::Nulo() : Valor(DesdeUtf16(t));
            return true;
        }
        }
        if (!Revisar(rc, SQL_HANDLE_STMT, st_.Get(), errores_))
            return false;
        if (ind == SQL_NULL_DATA)
            v = Valor::Nulo();
        return true;
    }

    Sentencia st_;
    Errors& errores_;
    std::shared_ptr<LlamadasDriver> llamadas_;
    std::vector<Columna> columnas_;
    std::vector<SQLSMALLINT> sqlTipos_;
    std::vector<int64_t> tamanos_; // -2 not asked yet
};

// Parameter buffers live until the statement has run.
struct Parametro {
    std::u16string texto;
    int64_t entero = 0;
    double doble = 0;
    SQL_TIMESTAMP_STRUCT fecha{};
    SQLLEN ind = 0;
};

// The MariaDB driver ignores the login time-out attribute: a server that
// accepts the connection and never answers would hold the handshake for ever.
// Its own keys bound the connection and every later read and write (by the
// command time-out the database object uses, cut to what is left of the
// conversation).
std::string ConTiempoLimite(const std::string& cadena, int32_t segundos, int32_t lectura) {
    bool mariadb = false;
    for (const auto& [k, v] : PartesCadena(cadena)) {
        std::string clave = UCase(k);
        if (clave == "CONN_TIMEOUT" || clave == "READ_TIMEOUT")
            return cadena;
        mariadb = mariadb || (clave == "DRIVER" && (InStr(UCase(v), "MARIADB") > 0 || InStr(UCase(v), "MYSQL") > 0));
    }
    if (!mariadb || segundos <= 0)
        return cadena;
    std::string fin = cadena.empty() || cadena.back() == ';' ? "" : ";";
    return cadena + fin + "CONN_TIMEOUT=" + std::to_string(segundos) + ";READ_TIMEOUT=" + std::to_string(lectura) +
           ";WRITE_TIMEOUT=" + std::to_string(lectura) + ";";
}

// One opening's handles, made on the helper thread of ConPlazo; whoever holds
// it last disconnects and releases them.
struct Apertura {
    Entorno env;
    Enlace dbc;
    bool conectado = false;
    Errors errores;

    Apertura() = default;
    Apertura(const Apertura&) = delete;
    Apertura& operator=(const Apertura&) = delete;
    ~Apertura() {
        if (conectado)
            SQLDisconnect(dbc.Get());
    }

    void Conectar(const std::string& texto, int32_t segundos) {
        SQLHANDLE h = SQL_NULL_HANDLE;
        if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h) != SQL_SUCCESS) {
            errores.Agregar("HY001", "No se pudo iniciar ODBC", kOrigen);
            return;
        }
        env.Reset(h);
        if (!Revisar(SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
                     SQL_HANDLE_ENV, env.Get(), errores) ||
            !Revisar(SQLAllocHandle(SQL_HANDLE_DBC, env.Get(), &h), SQL_HANDLE_ENV, env.Get(), errores))
            return;
        dbc.Reset(h);
        SQLSetConnectAttrW(dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(segundos)), 0);
        std::u16string c = AUtf16(texto);
        SQLWCHAR salida[1024];
        SQLSMALLINT largo = 0;
        conectado = Revisar(SQLDriverConnectW(dbc.Get(), nullptr, W(c), static_cast<SQLSMALLINT>(c.size()), salida,
                                              1024, &largo, SQL_DRIVER_NOPROMPT),
                            SQL_HANDLE_DBC, dbc.Get(), errores);
    }
};

class MotorOdbc final : public Motor {
public:
    using Motor::Motor;
    ~MotorOdbc() override { Cerrar(); }

    // The whole opening, handshake included, ends by the connection
    // time-out whatever the server sends: the driver works on a helper
    // thread, and one that is late is left to finish (and release) alone.
    bool Abrir(const std::string& cadena, int32_t segundos) override {
        Cerrar();
        if ((segundos = Restante(segundos)) < 0)
            return false;
        platform::PrepararEntornoOdbc(); // before the driver manager reads it
        const std::string texto = ConTiempoLimite(cadena, segundos, Restante(360));
        auto hecha = ConPlazo<std::unique_ptr<Apertura>>(segundos, [texto, segundos] {
            auto a = std::make_unique<Apertura>();
            a->Conectar(texto, segundos);
            return a;
        });
        if (!hecha) {
            errores_.Agregar("HYT00", "Se agotó el tiempo de espera de la conexión", kOrigen);
            return false;
        }
        Apertura& a = **hecha;
        for (int32_t i = 0; i < a.errores.Count(); ++i) {
            const Error& e = a.errores(i);
            errores_.Agregar(e.SQLState, e.Description, e.Source, e.NativeError);
        }
        if (!a.conectado)
            return false;
        env_ = std::move(a.env);
        dbc_ = std::move(a.dbc);
        a.conectado = false;
        conectado_ = true;
        return true;
    }

    void Cerrar() override {
        LiberarCursores();
        if (conectado_)
            SQLDisconnect(dbc_.Get());
        conectado_ = false;
        dbc_.Reset();
        env_.Reset();
    }

    std::string NombreDBMS() override { return InfoTexto(SQL_DBMS_NAME); }

    std::string BaseActual() override {
        SQLWCHAR buf[512] = {};
        SQLINTEGER largo = 0;
        if (!Revisar(SQLGetConnectAttrW(dbc_.Get(), SQL_ATTR_CURRENT_CATALOG, buf, sizeof buf, &largo),
                     SQL_HANDLE_DBC, dbc_.Get(), errores_))
            return {};
        return DesdeW(buf, std::min<size_t>(static_cast<size_t>(std::max<SQLINTEGER>(largo, 0)) / 2, 511));
    }

    bool Ejecutar(const std::string& sql, const std::vector<Valor>& parametros, int32_t segundos,
                  std::unique_ptr<Cursor>& cursor, int64_t& afectados) override {
        cursor.reset();
        afectados = -1;
        if ((segundos = Restante(segundos)) < 0)
            return false;
        SQLHANDLE h = SQL_NULL_HANDLE;
        if (!Revisar(SQLAllocHandle(SQL_HANDLE_STMT, dbc_.Get(), &h), SQL_HANDLE_DBC, dbc_.Get(), errores_))
            return false;
        Sentencia st(h);
        SQLSetStmtAttrW(h, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(segundos)), 0);
        std::u16string texto = AUtf16(sql);
        std::vector<Parametro> buffers(parametros.size());
        SQLRETURN rc;
        std::optional<LlamadasDriver::Dentro> dentro;
        dentro.emplace(*llamadas_, h, CancelarSentencia);
        if (parametros.empty()) {
            rc = SQLExecDirectW(h, W(texto), static_cast<SQLINTEGER>(texto.size()));
        } else {
            if (!Revisar(SQLPrepareW(h, W(texto), static_cast<SQLINTEGER>(texto.size())), SQL_HANDLE_STMT, h,
                         errores_))
                return false;
            for (size_t i = 0; i < parametros.size(); ++i)
                if (!Enlazar(h, i, parametros[i], buffers[i]))
                    return false;
            rc = SQLExecute(h);
            if (rc == SQL_NEED_DATA)
                rc = EnviarArchivos(h, parametros);
        }
        if (!Revisar(rc, SQL_HANDLE_STMT, h, errores_))
            return false;
        SQLSMALLINT columnas = 0;
        if (!Revisar(SQLNumResultCols(h, &columnas), SQL_HANDLE_STMT, h, errores_))
            return false;
        dentro.reset();
        if (columnas == 0) {
            SQLLEN n = -1;
            SQLRowCount(h, &n);
            afectados = n;
            return true;
        }
        auto c = std::make_unique<CursorOdbc>(std::move(st), errores_, llamadas_);
        if (!c->Describir(columnas))
            return false;
        Registrar(*c);
        cursor = std::move(c);
        return true;
    }

    bool IniciarTransaccion() override { return AutoCommit(false); }

    bool TerminarTransaccion(bool confirmar) override {
        bool ok = Revisar(SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), confirmar ? SQL_COMMIT : SQL_ROLLBACK),
                          SQL_HANDLE_DBC, dbc_.Get(), errores_);
        return AutoCommit(true) && ok;
    }

private:
    bool AutoCommit(bool activo) {
        SQLULEN v = activo ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
        return Revisar(SQLSetConnectAttrW(dbc_.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(v), 0),
                       SQL_HANDLE_DBC, dbc_.Get(), errores_);
    }

    std::string InfoTexto(SQLUSMALLINT que) {
        SQLWCHAR buf[256] = {};
        SQLSMALLINT largo = 0;
        if (!Revisar(SQLGetInfoW(dbc_.Get(), que, buf, sizeof buf, &largo), SQL_HANDLE_DBC, dbc_.Get(), errores_))
            return {};
        return DesdeW(buf, std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(largo, 0)) / 2, 255));
    }

    bool Enlazar(SQLHANDLE h, size_t i, const Valor& v, Parametro& p) {
        SQLUSMALLINT n = static_cast<SQLUSMALLINT>(i + 1);
        SQLSMALLINT tipoC = SQL_C_CHAR, tipoSql = SQL_VARCHAR;
        SQLULEN tamano = 1;
        SQLPOINTER dato = nullptr;
        SQLLEN largo = 0;
        switch (v.TipoValor()) {
        case Valor::Tipo::Vacio:
        case Valor::Tipo::Nulo:
            p.ind = SQL_NULL_DATA;
            break;
        case Valor::Tipo::Entero:
            p.entero = v.AEntero();
            tipoC = SQL_C_SBIGINT, tipoSql = SQL_BIGINT, tamano = 19, dato = &p.entero;
            break;
        case Valor::Tipo::Doble:
            p.doble = v.ADoble();
            tipoC = SQL_C_DOUBLE, tipoSql = SQL_DOUBLE, tamano = 15, dato = &p.doble;
            break;
        case Valor::Tipo::Fecha: {
            FechaHora f = v.AFecha();
            p.fecha = {static_cast<SQLSMALLINT>(f.anio), static_cast<SQLUSMALLINT>(f.mes),
                       static_cast<SQLUSMALLINT>(f.dia), static_cast<SQLUSMALLINT>(f.hora),
                       static_cast<SQLUSMALLINT>(f.minuto), static_cast<SQLUSMALLINT>(f.segundo), 0};
            tipoC = SQL_C_TYPE_TIMESTAMP, tipoSql = SQL_TYPE_TIMESTAMP, tamano = 19, dato = &p.fecha;
            break;
        }
        case Valor::Tipo::Texto:
            p.texto = AUtf16(v.ATexto());
            p.ind = static_cast<SQLLEN>(p.texto.size() * sizeof(char16_t));
            tipoC = SQL_C_WCHAR, tipoSql = SQL_WVARCHAR, tamano = std::max<SQLULEN>(p.texto.size(), 1);
            dato = W(p.texto), largo = p.ind;
            break;
        case Valor::Tipo::Archivo:
            // Data at execution: EnviarArchivos hands the file over in pieces;
            // the parameter's number is the token that SQLParamData answers.
            p.ind = SQL_LEN_DATA_AT_EXEC(static_cast<SQLLEN>(v.TamanoArchivo()));
            tipoC = SQL_C_BINARY, tipoSql = SQL_LONGVARBINARY;
            tamano = std::max<SQLULEN>(static_cast<SQLULEN>(v.TamanoArchivo()), 1);
            dato = reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(i + 1));
            break;
        case Valor::Tipo::Bytes:
            // The caller's bytes go to the driver as they are: no copy here.
            p.ind = static_cast<SQLLEN>(v.Bytes().size());
            tipoC = SQL_C_BINARY, tipoSql = SQL_LONGVARBINARY, tamano = std::max<SQLULEN>(v.Bytes().size(), 1);
            dato = const_cast<uint8_t*>(v.Bytes().data()), largo = p.ind;
            break;
        }
        return Revisar(SQLBindParameter(h, n, SQL_PARAM_INPUT, tipoC, tipoSql, tamano, 0, dato, largo, &p.ind),
                       SQL_HANDLE_STMT, h, errores_);
    }

    // The files of the data-at-execution parameters, each in pieces of 1 MiB,
    // in the order the driver asks for them. Answers the last return code.
    SQLRETURN EnviarArchivos(SQLHANDLE h, const std::vector<Valor>& parametros) {
        std::vector<char> trozo(1 << 20);
        SQLPOINTER token = nullptr;
        SQLRETURN rc;
        while ((rc = SQLParamData(h, &token)) == SQL_NEED_DATA) {
            size_t i = static_cast<size_t>(reinterpret_cast<uintptr_t>(token)) - 1;
            const Valor& v = parametros.at(i);
            platform::ArchivoNativo archivo;
            if (!archivo.Abrir(v.RutaArchivo(), platform::ArchivoNativo::Modo::Leer)) {
                errores_.Agregar("HY000", "no se pudo abrir " + v.RutaArchivo(), "ODBC");
                SQLCancel(h);
                return SQL_ERROR;
            }
            int64_t enviados = 0;
            for (size_t n = 0;; enviados += static_cast<int64_t>(n)) {
                if (!archivo.Leer(trozo.data(), trozo.size(), n) ||
                    enviados + static_cast<int64_t>(n) > v.TamanoArchivo()) {
                    errores_.Agregar("HY000", "no se pudo leer " + v.RutaArchivo() + " o cambió de tamaño", "ODBC");
                    SQLCancel(h);
                    return SQL_ERROR;
                }
                if (n == 0)
                    break;
                SQLRETURN r = SQLPutData(h, trozo.data(), static_cast<SQLLEN>(n));
                if (!SQL_SUCCEEDED(r))
                    return r;
            }
            if (enviados != v.TamanoArchivo()) {
                errores_.Agregar("HY000", v.RutaArchivo() + " cambió de tamaño", "ODBC");
                SQLCancel(h);
                return SQL_ERROR;
            }
        }
        return rc;
    }

    Entorno env_;
    Enlace dbc_;
    bool conectado_ = false;
};

} // namespace

std::unique_ptr<Motor> CrearMotorOdbc(Errors& errores) { return std::make_unique<MotorOdbc>(errores); }

std::vector<std::string> ControladoresInstalados() {
    platform::PrepararEntornoOdbc();
    std::vector<std::string> nombres;
    SQLHANDLE h = SQL_NULL_HANDLE;
    if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h) != SQL_SUCCESS)
        return nombres;
    Entorno env(h);
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)))
        return nombres;
    SQLUSMALLINT direccion = SQL_FETCH_FIRST;
    // A name longer than the room is cut (SQL_SUCCESS_WITH_INFO): no candidate is that long.
    SQLWCHAR nombre[256], atributos[1024];
    SQLSMALLINT largoNombre = 0, largoAtributos = 0;
    // Bounded: a driver manager that never says SQL_NO_DATA still ends.
    for (int i = 0; i < 4096; ++i, direccion = SQL_FETCH_NEXT) {
        SQLRETURN r = SQLDriversW(env.Get(), direccion, nombre, 256, &largoNombre, atributos, 1024, &largoAtributos);
        if (!SQL_SUCCEEDED(r))
            break;
        nombres.push_back(DesdeW(nombre, static_cast<size_t>(std::clamp<SQLSMALLINT>(largoNombre, 0, 255))));
    }
    return nombres;
}

} // namespace olvado::ado::detalle
