#include "updater/Core.h"

#include "base/Texto.h"
#include "common/Variante.h"
#include "platform/Entorno.h"
#include "platform/MessageBox.h"
#include "platform/Senales.h"

#include <charconv>
#include <chrono>

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

// The watchdog's end of a run: the main thread is held inside the driver, so
// the watchdog writes the log (waiting for its lock a bounded time: the main
// thread may be adding an entry) and ends with the signal.
void TerminarPorVigia(int senal) {
    if (auto& log = Servicios().Log)
        log->AgregarYEscribir("Ejecucion interrumpida por la senal " + std::to_string(senal), Vigia::kGracia);
    platform::TerminarConSenal(senal);
}

} // namespace

int32_t PlazoConversacion() {
    const std::string texto = platform::LeerVariableEntorno("OLVADO_PLAZO_BASE_DATOS");
    int32_t segundos = 0;
    const auto [fin, ec] = std::from_chars(texto.data(), texto.data() + texto.size(), segundos);
    if (ec != std::errc() || fin != texto.data() + texto.size() || segundos <= 0)
        return kPlazoConversacionSegundos;
    return std::min(segundos, kPlazoConversacionSegundos);
}

bool CrearObjetos() {
    try {
        RegistrarLog("Instanciando Comunes");
        Servicios().Comunes = std::make_unique<clsStgComunes>();
        RegistrarLog("Instanciando DB");
        Servicios().DB = std::make_unique<clsDB>(&erroresEnComunes);
        const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(PlazoConversacion());
        Servicios().DB->EstablecerFinConversacion(fin);
        Servicios().Llamadas = std::make_shared<ado::LlamadasDriver>();
        Servicios().DB->EstablecerLlamadasDriver(Servicios().Llamadas);
        Servicios().Vigilante = std::make_unique<Vigia>(Servicios().Llamadas, fin, TerminarPorVigia);
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
    soltar(Servicios().Vigilante);
    soltar(Servicios().DB);
    soltar(Servicios().SQL);
    soltar(Servicios().Comunes);
}

bool AbrirConexionDB() { return Servicios().DB && Servicios().DB->AbrirDB(true, false); }

bool AbrirConsulta(std::unique_ptr<ado::Recordset>& Rs, const std::string& SQL) {
    int32_t n = -1;
    return Servicios().DB && Servicios().DB->AbrirRs(Rs, SQL, 3, 3, -1, true, n);
}

void LiberarServicios() {
    CerrarObjetos();
    Servicios().Paquete.reset();
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
