#include "database/ado/Errors.h"

namespace olvado::ado {

int32_t NumeroAdo(const std::string& sqlState) {
    std::string clase = sqlState.substr(0, 2);
    if (clase == "08")
        return adErrFallaGeneral;
    if (sqlState == "HYT00" || sqlState == "HYT01")
        return adErrTiempo;
    if (clase == "42")
        return adErrSintaxis;
    if (clase == "23")
        return adErrIntegridad;
    if (clase == "22")
        return adErrDato;
    return adErrFallaGeneral;
}

void Errors::Agregar(std::string sqlState, std::string descripcion, std::string origen, int32_t nativo) {
    Error e;
    e.Number = NumeroAdo(sqlState);
    e.SQLState = std::move(sqlState);
    e.Description = std::move(descripcion);
    e.Source = std::move(origen);
    e.NativeError = nativo;
    lista_.push_back(std::move(e));
}

void Errors::AgregarNumero(int32_t numero, std::string descripcion, std::string origen) {
    Error e;
    e.Number = numero;
    e.Description = std::move(descripcion);
    e.Source = std::move(origen);
    lista_.push_back(std::move(e));
}

void Errors::Lanzar() const {
    if (lista_.empty())
        throw ErrorAdo(adErrFallaGeneral, "ADODB", "Error no especificado");
    const Error& e = lista_.front();
    throw ErrorAdo(e.Number, e.Source, e.Description);
}

} // namespace olvado::ado
