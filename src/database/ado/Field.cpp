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

std::vector<uint8_t> Field::GetChunk(int64_t n) {
    rs_->ExigirFila();
    auto& e = *rs_->e_;
    std::vector<uint8_t> trozo;
    if (n <= 0)
        return trozo;
    int64_t& desde = e.desplazamientos[indice_];
    if (e.columnas[indice_].larga && !e.largos[indice_] && !e.cambios[indice_]) {
        // Never ask past the end: some drivers start the column over.
        int64_t tamano = 0;
        if (!e.cursor->TamanoLargo(indice_, tamano))
            e.cnxErrores->Lanzar();
        trozo.resize(static_cast<size_t>(std::clamp<int64_t>(tamano - desde, 0, n)));
        size_t total = 0;
        while (total < trozo.size()) {
            size_t leidos = 0;
            if (!e.cursor->LeerTrozo(indice_, trozo.data() + total, trozo.size() - total, leidos))
                e.cnxErrores->Lanzar();
            if (leidos == 0)
                break;
            total += leidos;
        }
        trozo.resize(total);
    } else {
        Valor v = Value();
        std::string bytes = v.TipoValor() == Valor::Tipo::Bytes ? std::string(v.Bytes().begin(), v.Bytes().end())
                                                                 : v.ATexto();
        if (desde < static_cast<int64_t>(bytes.size())) {
            size_t cuantos = std::min<size_t>(static_cast<size_t>(n), bytes.size() - static_cast<size_t>(desde));
            trozo.assign(bytes.begin() + desde, bytes.begin() + desde + static_cast<int64_t>(cuantos));
        }
    }
    desde += static_cast<int64_t>(trozo.size());
    return trozo;
}

} // namespace olvado::ado
