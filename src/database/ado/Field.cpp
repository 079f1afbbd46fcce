#include "database/ado/Field.h"

#include "database/ado/Recordset.h"
#include "database/ado/RecordsetEstado.h"

#include <algorithm>

namespace olvado::ado {

const std::string& Field::Name() const { return rs_->e_->columnas.at(indice_).nombre; }
int32_t Field::Type() const { return rs_->e_->columnas.at(indice_).tipo; }
int64_t Field::DefinedSize() const { return rs_->e_->columnas.at(indice_).tamanoDefinido; }

int64_t Field::ActualSize() const {
    rs_->ExigirFila();
    auto& e = *rs_->e_;
    if (e.cambios[indice_])
        return static_cast<int64_t>(e.cambios[indice_]->ATexto().size());
    if (e.columnas[indice_].larga && !e.largos[indice_]) {
        int64_t n = 0;
        if (!e.cursor->TamanoLargo(indice_, n))
            e.cnxErrores->Lanzar();
        return n;
    }
    Valor v = Value();
    if (v.EsNulo())
        return -1;
    switch (v.TipoValor()) {
    case Valor::Tipo::Entero:
    case Valor::Tipo::Doble:
    case Valor::Tipo::Fecha:
        return 8;
    case Valor::Tipo::Bytes:
        return static_cast<int64_t>(v.Bytes().size());
    default:
        return static_cast<int64_t>(v.ATexto().size());
    }
}

Valor Field::Value() const {
    rs_->ExigirFila();
    auto& e = *rs_->e_;
    if (e.cambios[indice_])
        return *e.cambios[indice_];
    if (e.edicion == RecordsetEstado::Edicion::Nueva)
        return Valor::Nulo();
    if (!e.columnas[indice_].larga)
        return e.FilaActual()[indice_];
    if (!e.largos[indice_]) {
        // Read whole, once: this is the caller's copy of the column.
        int64_t n = 0;
        if (!e.cursor->TamanoLargo(indice_, n))
            e.cnxErrores->Lanzar();
        if (n < 0) {
            e.largos[indice_] = Valor::Nulo();
        } else {
            std::vector<uint8_t> datos(static_cast<size_t>(n));
            size_t total = 0;
            while (total < datos.size()) {
                size_t leidos = 0;
                if (!e.cursor->LeerTrozo(indice_, datos.data() + total, datos.size() - total, leidos))
                    e.cnxErrores->Lanzar();
                if (leidos == 0)
                    break;
                total += leidos;
            }
            datos.resize(total);
            e.largos[indice_] = Valor(std::move(datos));
        }
    }
    return *e.largos[indice_];
}

void Field::SetValue(Valor v) {
    auto& e = *rs_->e_;
    if (e.edicion == RecordsetEstado::Edicion::Ninguna) {
        rs_->ExigirFila();
        e.edicion = RecordsetEstado::Edicion::Cambio;
    }
    e.cambios[indice_] = std::move(v);
}

bool Field::LecturaDirecta() const {
    const auto& e = *rs_->e_;
    return e.columnas[indice_].larga && !e.largos[indice_] && !e.cambios[indice_];
}

int64_t Field::RestoLargo() const {
    auto& e = *rs_->e_;
    // Never ask past the end: some drivers start the column over.
    int64_t tamano = 0;
    if (!e.cursor->TamanoLargo(indice_, tamano))
        e.cnxErrores->Lanzar();
    return std::max<int64_t>(tamano - e.desplazamientos[indice_], 0);
}

size_t Field::LeerLargo(uint8_t* destino, size_t n) {
    auto& e = *rs_->e_;
    size_t total = 0;
    while (total < n) {
        size_t leidos = 0;
        if (!e.cursor->LeerTrozo(indice_, destino + total, n - total, leidos))
            e.cnxErrores->Lanzar();
        if (leidos == 0)
            break;
        total += leidos;
    }
    e.desplazamientos[indice_] += static_cast<int64_t>(total);
    return total;
}

std::vector<uint8_t> Field::GetChunk(int64_t n) {
    rs_->ExigirFila();
    std::vector<uint8_t> trozo;
    if (n <= 0)
        return trozo;
    if (LecturaDirecta()) {
        trozo.resize(static_cast<size_t>(std::min(RestoLargo(), n)));
        trozo.resize(LeerLargo(trozo.data(), trozo.size()));
        return trozo;
    }
    int64_t& desde = rs_->e_->desplazamientos[indice_];
    Valor v = Value();
    std::string bytes =
        v.TipoValor() == Valor::Tipo::Bytes ? std::string(v.Bytes().begin(), v.Bytes().end()) : v.ATexto();
    if (desde < static_cast<int64_t>(bytes.size())) {
        size_t cuantos = std::min<size_t>(static_cast<size_t>(n), bytes.size() - static_cast<size_t>(desde));
        trozo.assign(bytes.begin() + desde, bytes.begin() + desde + static_cast<int64_t>(cuantos));
    }
    desde += static_cast<int64_t>(trozo.size());
    return trozo;
}

size_t Field::GetChunk(uint8_t* destino, size_t n) {
    rs_->ExigirFila();
    if (LecturaDirecta())
        return LeerLargo(destino, static_cast<size_t>(std::min<int64_t>(RestoLargo(), static_cast<int64_t>(n))));
    const std::vector<uint8_t> trozo = GetChunk(static_cast<int64_t>(std::min<uint64_t>(n, INT64_MAX)));
    std::copy(trozo.begin(), trozo.end(), destino);
    return trozo.size();
}

} // namespace olvado::ado
