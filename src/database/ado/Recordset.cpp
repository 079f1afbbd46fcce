#include "database/ado/Recordset.h"

#include "base/Texto.h"
#include "database/ado/Connection.h"
#include "database/ado/Dialecto.h"
#include "database/ado/RecordsetEstado.h"

namespace olvado::ado {

namespace {
const char* const kOrigen = "ADODB.Recordset";
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

[[noreturn]] void Recordset::Fallar(int32_t numero, const std::string& texto) const {
    throw ErrorAdo(numero, kOrigen, texto);
}

void Recordset::Open(const std::string& source, Connection& conexion, int32_t /*cursorType*/,
                     int32_t /*lockType*/, int32_t /*options*/) {
    if (e_)
        Fallar(static_cast<int32_t>(0x800A0E79u), "La operación no se permite si el objeto está abierto.");
    int64_t afectados = -1;
    auto cursor = conexion.Ejecutar(source, {}, conexion.CommandTimeout, afectados);
    auto e = std::make_unique<RecordsetEstado>();
    e->cnx = &conexion;
    e->cnxErrores = &conexion.Errors();
    e->fuente = source;
    if (cursor) {
        e->columnas = cursor->Columnas();
        for (const auto& c : e->columnas)
            e->streaming = e->streaming || c.larga;
    }
    e->cursor = std::move(cursor);
    e_ = std::move(e);
    campos_.clear();
    for (size_t i = 0; i < e_->columnas.size(); ++i)
        campos_.emplace_back(*this, i);
    e_->NuevaFila();
    if (!e_->cursor) {
        e_->finStream = true;
        return;
    }
    if (e_->streaming) {
        LeerSiguienteStreaming();
        return;
    }
    // Static: the rows are read now and the statement is done with.
    for (;;) {
        bool hay = false;
        if (!e_->cursor->Siguiente(hay))
            conexion.Errors().Lanzar();
        if (!hay)
            break;
        std::vector<Valor> fila;
        if (!e_->cursor->LeerFila(fila))
            conexion.Errors().Lanzar();
        e_->filas.push_back(std::move(fila));
    }
    e_->cursor.reset();
    e_->pos = 0;
}

void Recordset::LeerSiguienteStreaming() {
    bool hay = false;
    if (!e_->cursor->Siguiente(hay))
        e_->cnxErrores->Lanzar();
    e_->finStream = !hay;
    if (hay && !e_->cursor->LeerFila(e_->filaStream))
        e_->cnxErrores->Lanzar();
    ++e_->pos;
    e_->NuevaFila();
}

void Recordset::Close() {
    ExigirAbierto();
    e_.reset();
    campos_.clear();
}

int32_t Recordset::State() const { return e_ ? 1 : 0; }

void Recordset::ExigirAbierto() const {
    if (!e_)
        Fallar(adErrObjetoCerrado, "No se permite la operación si el objeto está cerrado.");
}

void Recordset::ExigirFila() const {
    ExigirAbierto();
    if (e_->edicion == RecordsetEstado::Edicion::Nueva)
        return;
    if (Eof() || Bof())
        Fallar(adErrSinRegistroActual, "BOF o EOF es True, o el registro actual se eliminó.");
}

bool Recordset::Eof() const {
    ExigirAbierto();
    if (e_->streaming || e_->columnas.empty())
        return e_->finStream;
    return e_->pos >= static_cast<int64_t>(e_->filas.size());
}

bool Recordset::Bof() const {
    ExigirAbierto();
    if (e_->streaming || e_->columnas.empty())
        return e_->finStream && e_->pos <= 1;
    return e_->pos < 0 || e_->filas.empty();
}

void Recordset::MoveFirst() {
    ExigirAbierto();
    if (e_->streaming) {
        if (e_->pos > 1)
            Fallar(static_cast<int32_t>(0x80040E24u), "El conjunto de filas no admite la búsqueda hacia atrás.");
        return;
    }
    e_->pos = 0;
    e_->NuevaFila();
}

void Recordset::MoveLast() {
    ExigirAbierto();
    if (e_->streaming)
        Fallar(static_cast<int32_t>(0x80040E24u), "El conjunto de filas no admite la búsqueda hacia atrás.");
    e_->pos = static_cast<int64_t>(e_->filas.size()) - 1;
    e_->NuevaFila();
}

void Recordset::MoveNext() {
    ExigirAbierto();
    if (Eof())
        Fallar(adErrSinRegistroActual, "BOF o EOF es True, o el registro actual se eliminó.");
    if (e_->streaming) {
        LeerSiguienteStreaming();
        return;
    }
    ++e_->pos;
    e_->NuevaFila();
}

int32_t Recordset::RecordCount() const {
    ExigirAbierto();
    return e_->streaming ? -1 : static_cast<int32_t>(e_->filas.size());
}

bool Recordset::Supports(int32_t opcion) const {
    ExigirAbierto();
    return opcion == adMovePrevious ? !e_->streaming : false;
}

int32_t Recordset::FieldCount() const {
    ExigirAbierto();
    return static_cast<int32_t>(campos_.size());
}

Field& Recordset::Fields(int32_t indice) {
    ExigirAbierto();
    if (indice < 0 || static_cast<size_t>(indice) >= campos_.size())
        Fallar(static_cast<int32_t>(0x800A0CC1u), "No se encontró el elemento en la colección.");
    return campos_[static_cast<size_t>(indice)];
}

Field& Recordset::Fields(const std::string& nombre) {
    ExigirAbierto();
    for (size_t i = 0; i < campos_.size(); ++i)
        if (UCase(e_->columnas[i].nombre) == UCase(nombre))
            return campos_[i];
    Fallar(static_cast<int32_t>(0x800A0CC1u),
           "No se encontró el elemento en la colección correspondiente al nombre solicitado: " + nombre);
}

std::vector<std::vector<Valor>> Recordset::GetRows(int32_t filas, const std::vector<std::string>& campos) {
    ExigirAbierto();
    std::vector<Field*> elegidos;
    if (campos.empty())
        for (auto& c : campos_)
            elegidos.push_back(&c);
    else
        for (const auto& n : campos)
            elegidos.push_back(&Fields(n));
    std::vector<std::vector<Valor>> matriz(elegidos.size());
    for (int32_t n = 0; (filas < 0 || n < filas) && !Eof(); ++n) {
        for (size_t i = 0; i < elegidos.size(); ++i)
            matriz[i].push_back(elegidos[i]->Value());
        MoveNext();
    }
    return matriz;
}

void Recordset::AddNew() {
    ExigirAbierto();
    e_->NuevaFila();
    e_->edicion = RecordsetEstado::Edicion::Nueva;
}

void Recordset::Update() {
    ExigirAbierto();
    auto& e = *e_;
    if (e.edicion == RecordsetEstado::Edicion::Ninguna)
        return;
    std::string tabla = TablaDeConsulta(e.fuente);
    if (tabla.empty())
        Fallar(static_cast<int32_t>(0x800A0CB3u), "El origen del conjunto de registros no admite actualizaciones.");
    FamiliaSQL f = e.cnx->Familia();
    std::vector<Valor> parametros;
    std::string sql, lista, marcas;
    for (size_t i = 0; i < e.columnas.size(); ++i) {
        if (!e.cambios[i])
            continue;
        std::string nombre = CitarNombre(e.columnas[i].nombre, f);
        if (e.edicion == RecordsetEstado::Edicion::Nueva) {
            lista += (lista.empty() ? "" : ", ") + nombre;
            marcas += marcas.empty() ? "?" : ", ?";
        } else {
            lista += (lista.empty() ? "" : ", ") + nombre + " = ?";
        }
        parametros.push_back(*e.cambios[i]);
    }
    if (parametros.empty()) {
        e.edicion = RecordsetEstado::Edicion::Ninguna;
        return;
    }
    if (e.edicion == RecordsetEstado::Edicion::Nueva) {
        sql = "INSERT INTO " + CitarNombre(tabla, f) + " (" + lista + ") VALUES (" + marcas + ")";
    } else {
        // The row is found by its original short values.
        std::string donde;
        for (size_t i = 0; i < e.columnas.size(); ++i) {
            if (e.columnas[i].larga)
                continue;
            const Valor& v = e.FilaActual()[i];
            donde += (donde.empty() ? "" : " AND ") + CitarNombre(e.columnas[i].nombre, f) +
                     (v.EsNulo() ? " IS NULL" : " = ?");
            if (!v.EsNulo())
                parametros.push_back(v);
        }
        sql = "UPDATE " + CitarNombre(tabla, f) + " SET " + lista + (donde.empty() ? "" : " WHERE " + donde);
    }
    int64_t afectados = -1;
    e.cnx->Ejecutar(sql, parametros, e.cnx->CommandTimeout, afectados);
    if (!e.streaming) {
        if (e.edicion == RecordsetEstado::Edicion::Nueva) {
            e.filas.emplace_back(e.columnas.size(), Valor::Nulo());
            e.pos = static_cast<int64_t>(e.filas.size()) - 1;
        }
        for (size_t i = 0; i < e.columnas.size(); ++i)
            if (e.cambios[i])
                e.filas[static_cast<size_t>(e.pos)][i] = std::move(*e.cambios[i]);
    }
    e.NuevaFila();
}

} // namespace olvado::ado
