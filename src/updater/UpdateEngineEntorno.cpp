// The update engine's collaborators in the running program: the registry
// marks, the credentials' registry copy, the close-applications dialog and
// the launch go through the process-wide common utilities; the command line
// is the program's own.
#include "updater/UpdateEngine.h"

#include "common/clsStgComunes.h"
#include "updater/ChequearActualizacionSQLPendiente.h"
#include "updater/Core.h"

namespace olvado {
namespace {

std::string lineaDeComandos;

// The start-up sequence's common utilities; a caller that runs the engine
// outside that sequence gets an object of its own.
clsStgComunes& Comunes() {
    if (Servicios().Comunes)
        return *Servicios().Comunes;
    static clsStgComunes propias;
    return propias;
}

struct EntornoPrograma : IEntornoActualizacion {
    bool ChequearActualizacionPendiente() override { return olvado::ChequearActualizacionPendiente(Comunes()); }
    void MarcarActualizacionPendiente() override { olvado::MarcarActualizacionPendiente(Comunes()); }
    void LimpiarActualizacionPendiente() override { olvado::LimpiarActualizacionPendiente(Comunes()); }
    bool Registro_GuardarCredenciales(const std::string& Usuario, const std::string& Contrasena) override {
        return Comunes().Registro_GuardarCredenciales(Usuario, Contrasena);
    }
    bool EsperarACerrar() override { return Comunes().EsperarACerrar(); }
    bool EjecutarComoAdmin(int32_t hWnd, const std::string& Archivo, const std::string& Parametros,
                           const std::string& Usuario, const std::string& Contrasena,
                           const platform::ArchivoSellado* Paquete) override {
        return Comunes().EjecutarComoAdmin(hWnd, Archivo, Parametros, Usuario, Contrasena, Paquete,
                                           [](const std::string& t) { RegistrarLog(t); });
    }
    std::string LineaDeComandos() override { return lineaDeComandos; }
};

} // namespace

void EstablecerLineaDeComandos(const std::string& linea) { lineaDeComandos = linea; }

IEntornoActualizacion& EntornoActualizacionPrograma() {
    static EntornoPrograma entorno;
    return entorno;
}

} // namespace olvado
