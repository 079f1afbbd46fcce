// POSIX build: the native SQLite provider (Provider=SQLite), over the SQLite
// library itself. The only file with <sqlite3.h>. Long BLOB columns are never
// stepped into memory: the query is rewritten to carry their length and the
// row's rowid, and GetChunk reads them with SQLite's incremental BLOB I/O.
#include "database/ado/Motor.h"

#include "base/ScopedHandle.h"
#include "base/Texto.h"
#include "database/ado/Dialecto.h"
#include "platform/ArchivoNativo.h"

#include <sqlite3.h>

#include <cctype>
#include <chrono>

namespace olvado::ado::detalle {

namespace {

const char* const kOrigen = "SQLite";

struct RasgosDb {
    using handle_type = sqlite3*;
    static sqlite3* Invalid() { return nullptr; }
    static void Close(sqlite3* h) { sqlite3_close_v2(h); }
};
struct RasgosStmt {
    using handle_type = sqlite3_stmt*;
    static sqlite3_stmt* Invalid() { return nullptr; }
    static void Close(sqlite3_stmt* h) { sqlite3_finalize(h); }
};
struct RasgosBlob {
    using handle_type = sqlite3_blob*;
    static sqlite3_blob* Invalid() { return nullptr; }
    static void Close(sqlite3_blob* h) { sqlite3_blob_close(h); }
};
using Base = ScopedHandle<RasgosDb>;
using Stmt = ScopedHandle<RasgosStmt>;
using Blob = ScopedHandle<RasgosBlob>;

// The one translation of SQLite's result codes into SQLSTATE classes.
std::string EstadoSql(int codigo) {
    switch (codigo & 0xff) {
    case SQLITE_CANTOPEN: case SQLITE_NOTADB: case SQLITE_AUTH: return "08001";
    case SQLITE_CONSTRAINT: return "23000";
    case SQLITE_ERROR: return "42000";
    case SQLITE_BUSY: case SQLITE_LOCKED: case SQLITE_INTERRUPT: return "HYT00";
    case SQLITE_MISMATCH: case SQLITE_TOOBIG: case SQLITE_RANGE: return "22000";
    default: return "HY000";
    }
}

bool Revisar(int rc, sqlite3* db, Errors& errores) {
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return true;
    errores.Agregar(EstadoSql(rc), db ? sqlite3_errmsg(db) : sqlite3_errstr(rc), kOrigen, rc);
    return false;
}

// The deadline of the call in progress. SQLite's progress handler asks it
// every thousand virtual-machine steps and interrupts the statement once it
// has passed (SQLITE_INTERRUPT, a time-out for the caller), so no query, not
// even one over a recursive view without end, runs past the command
// time-out. Each step of a statement gets the whole time-out, as an ODBC
// fetch does; 0 seconds waits without end, as in ADO. The conversation's own
// end and a pending termination signal interrupt it too, whatever is left of
// the call's time-out.
class Plazo {
public:
    using Reloj = std::chrono::steady_clock;
    explicit Plazo(const Motor& motor) : motor_(motor) {}
    void Instalar(sqlite3* db) { sqlite3_progress_handler(db, 1000, &Plazo::Vencido, this); }
    void Iniciar(int32_t segundos) {
        limite_ = segundos > 0 ? Reloj::now() + std::chrono::seconds(segundos) : Reloj::time_point::max();
    }
    bool Agotado() const { return Reloj::now() > limite_ || motor_.Agotado(); }

private:
    static int Vencido(void* p) { return static_cast<Plazo*>(p)->Agotado() ? 1 : 0; }
    const Motor& motor_;
    Reloj::time_point limite_ = Reloj::time_point::max();
};

bool Contiene(std::string texto, std::string_view parte) { return UCase(texto).find(parte) != std::string::npos; }

int32_t TipoAdoDe(const char* declarado) {
    std::string d = declarado ? UCase(declarado) : "";
    if (d.find("INT") != std::string::npos) return adInteger;
    if (d.find("BLOB") != std::string::npos || d.empty()) return d.empty() ? adVarWChar : adLongVarBinary;
    if (d.find("REAL") != std::string::npos || d.find("FLOA") != std::string::npos || d.find("DOUB") != std::string::npos)
        return adDouble;
    if (d.find("DATE") != std::string::npos || d.find("TIME") != std::string::npos) return adDBTimeStamp;
    return adVarWChar;
}

// Position of the top-level FROM of a SELECT (outside quotes and
// parentheses), npos when there is none.
size_t FromPrincipal(const std::string& sql) {
    int nivel = 0;
    for (size_t p = 0; p < sql.size(); ++p) {
        char c = sql[p];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            char cierre = c == '[' ? ']' : c;
            p = sql.find(cierre, p + 1);
            if (p == std::string::npos)
                return p;
        } else if (c == '(') {
            ++nivel;
        } else if (c == ')') {
            --nivel;
        } else if (nivel == 0 && (p == 0 || !std::isalnum(static_cast<unsigned char>(sql[p - 1]))) &&
                   UCase(sql.substr(p, 4)) == "FROM" &&
                   (p + 4 >= sql.size() || !std::isalnum(static_cast<unsigned char>(sql[p + 4])))) {
            return p;
        }
    }
    return std::string::npos;
}

class CursorSqlite final : public Cursor {
public:
    CursorSqlite(sqlite3* db, Stmt st, std::string tabla, std::vector<Columna> columnas, Errors& e, Plazo& plazo,
                 int32_t segundos)
        : db_(db), st_(std::move(st)), tabla_(std::move(tabla)), columnas_(std::move(columnas)), errores_(e),
          plazo_(plazo), segundos_(segundos) {
        origenes_.resize(columnas_.size());
    }

    void NombrarOrigen(size_t i, std::string origen) { origenes_[i] = std::move(origen); }
    const std::vector<Columna>& Columnas() const override { return columnas_; }
    void Liberar() override {
        blobs_.clear();
        st_.Reset();
    }

    bool Siguiente(bool& hay) override {
        hay = false;
        blobs_.clear();
        blobs_.resize(columnas_.size());
        desplazamientos_.assign(columnas_.size(), 0);
        if (!st_)
            return Cerrado();
        plazo_.Iniciar(segundos_);
        if (plazo_.Agotado())
            return Revisar(SQLITE_INTERRUPT, db_, errores_);
        int rc = sqlite3_step(st_.Get());
        hay = rc == SQLITE_ROW;
        return Revisar(rc, db_, errores_);
    }

    bool LeerFila(std::vector<Valor>& fila) override {
        if (!st_)
            return Cerrado();
        fila.assign(columnas_.size(), Valor());
        sqlite3_stmt* s = st_.Get();
        for (size_t i = 0; i < columnas_.size(); ++i) {
            if (columnas_[i].larga)
                continue;
            int c = static_cast<int>(i);
            switch (sqlite3_column_type(s, c)) {
            case SQLITE_NULL: fila[i] = Valor::Nulo(); break;
            case SQLITE_INTEGER: fila[i] = Valor(static_cast<int64_t>(sqlite3_column_int64(s, c))); break;
            case SQLITE_FLOAT: fila[i] = Valor(sqlite3_column_double(s, c)); break;
            case SQLITE_BLOB: {
                auto p = static_cast<const uint8_t*>(sqlite3_column_blob(s, c));
                fila[i] = Valor(std::vector<uint8_t>(p, p + sqlite3_column_bytes(s, c)));
                break;
            }
            default:
                fila[i] = Valor(std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                            static_cast<size_t>(sqlite3_column_bytes(s, c))));
            }
        }
        return true;
    }

    bool TamanoLargo(size_t col, int64_t& tamano) override {
        if (!st_)
            return Cerrado();
        int c = static_cast<int>(col);
        tamano = sqlite3_column_type(st_.Get(), c) == SQLITE_NULL ? -1 : sqlite3_column_int64(st_.Get(), c);
        return true;
    }

    bool LeerTrozo(size_t col, uint8_t* destino, size_t pedido, size_t& leidos) override {
        leidos = 0;
        int64_t tamano = 0;
        if (!TamanoLargo(col, tamano))
            return false;
        int64_t& desde = desplazamientos_[col];
        if (tamano <= desde)
            return true;
        if (!blobs_[col]) {
            sqlite3_blob* b = nullptr;
            sqlite3_int64 fila = sqlite3_column_int64(st_.Get(), static_cast<int>(columnas_.size()));
            plazo_.Iniciar(segundos_);
            if (!Revisar(sqlite3_blob_open(db_, "main", tabla_.c_str(), origenes_[col].c_str(), fila, 0, &b), db_,
                         errores_)) {
                sqlite3_blob_close(b);
                return false;
            }
            blobs_[col].Reset(b);
        }
        int n = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(pedido), tamano - desde));
        if (plazo_.Agotado())
            return Revisar(SQLITE_INTERRUPT, db_, errores_);
        if (!Revisar(sqlite3_blob_read(blobs_[col].Get(), destino, n, static_cast<int>(desde)), db_, errores_))
            return false;
        desde += n;
        leidos = static_cast<size_t>(n);
        return true;
    }

private:
    bool Cerrado() {
        errores_.Agregar("08003", "La conexión está cerrada", kOrigen);
        return false;
    }

    sqlite3* db_;
    Stmt st_;
    std::string tabla_;
    std::vector<Columna> columnas_;
    std::vector<std::string> origenes_;
    Errors& errores_;
    std::vector<Blob> blobs_;
    std::vector<int64_t> desplazamientos_;
    Plazo& plazo_; // the connection's; a cursor released at its close never steps again
    int32_t segundos_;
};

class MotorSqlite final : public Motor {
public:
    explicit MotorSqlite(Errors& errores) : Motor(errores), plazo_(*this) {}
    ~MotorSqlite() override { Cerrar(); }

    bool Abrir(const std::string& archivo, int32_t segundos) override {
        if ((segundos = Restante(segundos)) < 0)
            return false;
        sqlite3* h = nullptr;
        // No create flag: a wrong path is an error, not a new empty database.
        int rc = sqlite3_open_v2(archivo.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
        db_.Reset(h);
        if (!Revisar(rc, h, errores_)) {
            db_.Reset();
            return false;
        }
        sqlite3_busy_timeout(h, segundos * 1000);
        plazo_.Instalar(h);
        return true;
    }

    void Cerrar() override {
        LiberarCursores();
        db_.Reset();
    }

    std::string NombreDBMS() override { return "SQLite"; }
    // SQLite has no catalogs: an entry without a catalog needs no switch.
    std::string BaseActual() override { return {}; }

    bool Ejecutar(const std::string& sql, const std::vector<Valor>& parametros, int32_t segundos,
                  std::unique_ptr<Cursor>& cursor, int64_t& afectados) override {
        cursor.reset();
        afectados = -1;
        if ((segundos = Restante(segundos)) < 0)
            return false;
        sqlite3_busy_timeout(db_.Get(), segundos * 1000);
        plazo_.Iniciar(segundos);
        segundos_ = segundos;
        Stmt st;
        if (!Preparar(sql, st))
            return false;
        std::vector<const Valor*> archivos;
        for (size_t i = 0; i < parametros.size(); ++i) {
            if (parametros[i].TipoValor() == Valor::Tipo::Archivo)
                archivos.push_back(&parametros[i]);
            if (!Enlazar(st.Get(), static_cast<int>(i + 1), parametros[i]))
                return false;
        }
        if (sqlite3_column_count(st.Get()) == 0) {
            int rc;
            while ((rc = sqlite3_step(st.Get())) == SQLITE_ROW) {
            }
            if (!Revisar(rc, db_.Get(), errores_))
                return false;
            afectados = sqlite3_changes(db_.Get());
            const sqlite3_int64 fila = sqlite3_last_insert_rowid(db_.Get());
            for (const Valor* v : archivos)
                if (!EscribirArchivo(*v, fila))
                    return false;
            return true;
        }
        auto c = ConBlobsPorPartes(sql, st);
        if (!c) {
            auto cols = Columnas(st.Get(), {});
            c = std::make_unique<CursorSqlite>(db_.Get(), std::move(st), "", std::move(cols), errores_, plazo_,
                                               segundos);
        }
        Registrar(*c);
        cursor = std::move(c);
        return true;
    }

    bool IniciarTransaccion() override { return Simple("BEGIN"); }
    bool TerminarTransaccion(bool confirmar) override { return Simple(confirmar ? "COMMIT" : "ROLLBACK"); }

private:
    bool Preparar(const std::string& sql, Stmt& st) {
        sqlite3_stmt* s = nullptr;
        bool ok = Revisar(sqlite3_prepare_v2(db_.Get(), sql.c_str(), static_cast<int>(sql.size()), &s, nullptr),
                          db_.Get(), errores_);
        st.Reset(s);
        return ok;
    }

    // BEGIN, COMMIT, ROLLBACK: bounded by the busy time-out, not by a
    // deadline left over from the last statement.
    bool Simple(const char* sql) {
        plazo_.Iniciar(0);
        return Revisar(sqlite3_exec(db_.Get(), sql, nullptr, nullptr, nullptr), db_.Get(), errores_);
    }

    bool Enlazar(sqlite3_stmt* s, int n, const Valor& v) {
        int rc = SQLITE_OK;
        switch (v.TipoValor()) {
        case Valor::Tipo::Vacio: case Valor::Tipo::Nulo: rc = sqlite3_bind_null(s, n); break;
        case Valor::Tipo::Entero: rc = sqlite3_bind_int64(s, n, v.AEntero()); break;
        case Valor::Tipo::Archivo:
            // Room for the bytes now; EscribirArchivo fills it once the row exists.
            // (incremental BLOB I/O takes int offsets)
            if (!EsInsercion(s) || v.TamanoArchivo() > INT32_MAX) {
                errores_.Agregar("HY000", "un archivo solo se escribe al añadir una fila, hasta 2 GiB", kOrigen);
                return false;
            }
            rc = sqlite3_bind_zeroblob64(s, n, static_cast<sqlite3_uint64>(v.TamanoArchivo()));
            break;
        case Valor::Tipo::Doble: rc = sqlite3_bind_double(s, n, v.ADoble()); break;
        case Valor::Tipo::Bytes:
            // The caller keeps the bytes alive until the statement has run.
            rc = sqlite3_bind_blob64(s, n, v.Bytes().data(), v.Bytes().size(), SQLITE_STATIC);
            break;
        default: {
            std::string t = v.ATexto();
            rc = sqlite3_bind_text64(s, n, t.data(), t.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
        return Revisar(rc, db_.Get(), errores_);
    }

    static bool EsInsercion(sqlite3_stmt* s) {
        std::string sql = sqlite3_sql(s);
        return UCase(sql.substr(0, 7)) == "INSERT ";
    }

    // The file's bytes into the new row's column, piece by piece, through
    // incremental BLOB I/O: memory stays at one piece whatever the size.
    bool EscribirArchivo(const Valor& v, sqlite3_int64 fila) {
        platform::ArchivoNativo archivo;
        if (!archivo.Abrir(v.RutaArchivo(), platform::ArchivoNativo::Modo::Leer)) {
            errores_.Agregar("HY000", "no se pudo abrir " + v.RutaArchivo(), kOrigen);
            return false;
        }
        sqlite3_blob* b = nullptr;
        int rc = sqlite3_blob_open(db_.Get(), "main", v.tablaDestino.c_str(), v.columnaDestino.c_str(), fila, 1, &b);
        Blob blob(b);
        if (!Revisar(rc, db_.Get(), errores_))
            return false;
        std::vector<char> trozo(1 << 20);
        int64_t escritos = 0;
        for (size_t n = 0;; escritos += static_cast<int64_t>(n)) {
            if (!archivo.Leer(trozo.data(), trozo.size(), n) || escritos + static_cast<int64_t>(n) > v.TamanoArchivo()) {
                errores_.Agregar("HY000", "no se pudo leer " + v.RutaArchivo() + " o cambió de tamaño", kOrigen);
                return false;
            }
            if (n == 0)
                break;
            if (!Revisar(sqlite3_blob_write(b, trozo.data(), static_cast<int>(n), static_cast<int>(escritos)),
                         db_.Get(), errores_))
                return false;
        }
        if (escritos != v.TamanoArchivo()) {
            errores_.Agregar("HY000", v.RutaArchivo() + " cambió de tamaño", kOrigen);
            return false;
        }
        return true;
    }

    // longitudes: the columns replaced by their length (reported as long).
    static std::vector<Columna> Columnas(sqlite3_stmt* s, const std::vector<bool>& largas) {
        std::vector<Columna> cols;
        for (int i = 0; i < static_cast<int>(largas.empty() ? sqlite3_column_count(s) : largas.size()); ++i) {
            Columna c;
            c.nombre = sqlite3_column_name(s, i);
            c.larga = !largas.empty() && largas[static_cast<size_t>(i)];
            c.tipo = c.larga ? adLongVarBinary : TipoAdoDe(sqlite3_column_decltype(s, i));
            c.tamanoDefinido = c.larga ? 2147483647 : 255;
            cols.push_back(std::move(c));
        }
        return cols;
    }

    // A SELECT whose columns all come straight from one table, with BLOB
    // columns among them, is run again as: the same columns, each BLOB as its
    // length, and the rowid last. nullptr when the query has another shape.
    std::unique_ptr<CursorSqlite> ConBlobsPorPartes(const std::string& sql, Stmt& original) {
        sqlite3_stmt* s = original.Get();
        int n = sqlite3_column_count(s);
        std::string tabla, lista;
        std::vector<bool> largas;
        std::vector<std::string> origenes;
        bool alguna = false;
        for (int i = 0; i < n; ++i) {
            const char* t = sqlite3_column_table_name(s, i);
            const char* o = sqlite3_column_origin_name(s, i);
            if (!t || !o || (!tabla.empty() && tabla != t))
                return nullptr;
            tabla = t;
            bool larga = Contiene(sqlite3_column_decltype(s, i) ? sqlite3_column_decltype(s, i) : "", "BLOB");
            std::string nombre = CitarNombre(o, FamiliaSQL::Sqlite);
            // The size in bytes: length() of a text counts characters up to
            // its first NUL. A BLOB's length() reads no byte of it; a text is
            // cast (read) only when the value is one.
            const std::string bytes = "CASE WHEN typeof(" + nombre + ") = 'text' THEN length(CAST(" + nombre +
                                      " AS BLOB)) ELSE length(" + nombre + ") END";
            lista += (i ? ", " : "") + (larga ? bytes : nombre) + " AS " +
                     CitarNombre(sqlite3_column_name(s, i), FamiliaSQL::Sqlite);
            largas.push_back(larga);
            origenes.emplace_back(o);
            alguna = alguna || larga;
        }
        size_t from = FromPrincipal(sql);
        if (!alguna || from == std::string::npos)
            return nullptr;
        Stmt nuevo;
        std::string texto = "SELECT " + lista + ", _ROWID_ " + sql.substr(from);
        sqlite3_stmt* p = nullptr;
        if (sqlite3_prepare_v2(db_.Get(), texto.c_str(), -1, &p, nullptr) != SQLITE_OK) {
            sqlite3_finalize(p);
            return nullptr;
        }
        nuevo.Reset(p);
        auto cols = Columnas(p, largas);
        auto c = std::make_unique<CursorSqlite>(db_.Get(), std::move(nuevo), tabla, std::move(cols), errores_,
                                                plazo_, segundos_);
        for (size_t i = 0; i < origenes.size(); ++i)
            c->NombrarOrigen(i, origenes[i]);
        return c;
    }

    Plazo plazo_;
    int32_t segundos_ = 0; // the statement's being run
    Base db_;
};

} // namespace

std::unique_ptr<Motor> CrearMotorSqlite(Errors& errores) { return std::make_unique<MotorSqlite>(errores); }

bool SqliteNativoDisponible() { return true; }

} // namespace olvado::ado::detalle
