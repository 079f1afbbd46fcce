#include "updater/Core.h"

#include "base/Texto.h"
#include "common/Variante.h"
#include "platform/MessageBox.h"
#include "platform/Reloj.h"

namespace olvado {

ServiciosGlobales& Servicios() {
    static ServiciosGlobales servicios;
    return servicios;
}

bool PrepararLog(const std::string& NombreArchivo) {
    try {
        Servicios().Log = std::make_unique<clsFileLog>();
    } catch (...) {
        MensajeCuentaAdministrativa();
        return false;
    }
    Servicios().Log->EstablecerNombreArchivoDestinoEnMisDocumentos(NombreArchivo);
    return true;
}

void RegistrarLog(const std::string& Texto, bool NuevaLinea) {
    if (auto& log = Servicios().Log)
        log->AgregarLog(Texto, NuevaLinea);
}

namespace {

// The connection's own errors as the common utilities' error box reads them.
class ErroresDeConexion : public IErroresProveedor {
public:
    explicit ErroresDeConexion(const ado::Errors& errores) : errores_(errores) {}
    int32_t Cantidad() const override { return errores_.Count(); }
    ErrorProveedor Elemento(int32_t indice) const override {
        const ado::Error& e = errores_.Item(indice);
        return {e.Number, e.Description};
    }

private:
    const ado::Errors& errores_;
};

// The database object shows its errors through the common utilities, with the
// provider's text when the connection carries one.
class ErroresEnComunes : public IMostrarErrores {
public:
    void MostrarERRExt(int32_t Numero, const std::string& Fuente, const std::string& Explicacion) override {
        ServiciosGlobales& s = Servicios();
        if (!s.Comunes)
            return;
        ado::Connection* cnx = s.DB ? s.DB->Conexion() : nullptr;
        if (cnx) {
            ErroresDeConexion errores(cnx->Errors());
            s.Comunes->MostrarERRExt(Numero, Fuente, Explicacion, &errores);
        } else {
            s.Comunes->MostrarERRExt(Numero, Fuente, Explicacion);
        }
    }
};

ErroresEnComunes erroresEnComunes;

// The dialect engine's masks and separators, read from the common utilities
// at every call (a caller may change them after creation); the engine's own
// defaults when they are gone.
class AjustesDeComunes : public IAjustesSintaxis {
public:
    std::string FormatoFechaCorta() const override {
        return Comunes() ? VarATexto(Comunes()->sDefaultMascaraFechaCorta) : "dd-mmm-yy";
    }
    std::string FormatoFechaHora() const override {
        return Comunes() ? Comunes()->sDefaultMascaraFecha : "dd-mmm-yy Hh:Nn";
    }
    std::string SeparadorDecimal() const override { return Comunes() ? Comunes()->sSepDecimal : "."; }
    std::string SeparadorMiles() const override { return Comunes() ? Comunes()->sSepMillar : ","; }

private:
    static clsStgComunes* Comunes() { return Servicios().Comunes.get(); }
};

AjustesDeComunes ajustesDeComunes;

} // namespace

bool CrearObjetos() {
    try {
        RegistrarLog("Instanciando Comunes");
        Servicios().Comunes = std::make_unique<clsStgComunes>();
        RegistrarLog("Instanciando DB");
        Servicios().DB = std::make_unique<clsDB>(&erroresEnComunes);
        Servicios().DB->EstablecerSincronizacionReloj([] { FechaHoraServidor(true); });
        RegistrarLog("Instanciando SQL");
        Servicios().SQL = std::make_unique<clsSqlSyntaxEngine>(&ajustesDeComunes);
        // False: the database object has already told the user.
        return AbrirConexionDB();
    } catch (...) {
        RegistrarLog("Error generando objetos");
        MensajeCuentaAdministrativa();
        return false;
    }
}

void CerrarObjetos() {
    auto soltar = [](auto& objeto) {
        try {
            objeto.reset();
        } catch (...) {
        }
    };
    soltar(Servicios().DB);
    soltar(Servicios().SQL);
    soltar(Servicios().Comunes);
}

bool AbrirConexionDB() { return Servicios().DB && Servicios().DB->AbrirDB(true, false); }

bool AbrirConsulta(std::unique_ptr<ado::Recordset>& Rs, const std::string& SQL) {
    int32_t n = -1;
    return Servicios().DB && Servicios().DB->AbrirRs(Rs, SQL, 3, 3, -1, true, n);
}

namespace {

// Minutes since a fixed day, for the minute difference of two dates (each
// cut to its minute, as the date difference in minutes counts).
int64_t Minutos(const platform::FechaHoraLocal& f) {
    int64_t y = f.Anio - (f.Mes <= 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (f.Mes + (f.Mes > 2 ? -3 : 9)) + 2) / 5 + f.Dia - 1;
    int64_t dias = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return dias * 1440 + f.Hora * 60 + f.Minuto;
}

} // namespace

platform::FechaHoraLocal FechaHoraServidor(bool Sincronizar) {
    platform::IReloj& reloj = platform::IReloj::Actual();
    const platform::FechaHoraLocal local = reloj.Ahora();
    platform::FechaHoraLocal resultado = local;
    try {
        std::unique_ptr<ado::Recordset> rs;
        if (!Servicios().DB)
            return resultado;
        std::string sql = Servicios().DB->SintaxisSQL() != 0 ? "SELECT GETDATE() AS FechaHora;"
                                                              : "SELECT Now() AS FechaHora;";
        if (AbrirConsulta(rs, sql)) {
            if (!rs->Eof()) {
                ado::FechaHora f = rs->Fields("FechaHora").Value().AFecha();
                resultado = {f.anio, f.mes, f.dia, f.hora, f.minuto, f.segundo};
            }
            rs->Close();
        }
        int64_t diferencia = Minutos(resultado) - Minutos(local);
        if (Sincronizar && (diferencia > 5 || diferencia < -5))
            reloj.Establecer(resultado);
    } catch (...) {
    }
    return resultado;
}

void LiberarServicios() {
    CerrarObjetos();
    Servicios().Log.reset();
}

void MensajeCuentaAdministrativa() {
    std::string crlf(vbCrLf);
    platform::MsgBox("No podrá completarse esta actualización de Olvado desde esta cuenta de usuario" + crlf + crlf +
                         "Favor inicie Olvado desde una cuenta Administrativa de Windows para completar la "
                         "actualización",
                     platform::vbExclamation | platform::vbOKOnly, "Actualización Olvado");
}

} // namespace olvado
