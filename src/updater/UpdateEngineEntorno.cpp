// The update engine's collaborators in the running program: the registry
// marks, the credentials' registry copy and the close-applications dialog go
// through the process-wide common utilities; the launch goes straight to the
// process layer; the command line is the program's own.
#include "updater/UpdateEngine.h"

#include "common/FileTool.h"
#include "common/StgC_FuncionesRegistro.h"
#include "common/clsStgComunes.h"
#include "process/Lanzamiento.h"
#include "updater/ChequearActualizacionSQLPendiente.h"
#include "updater/Core.h"

namespace olvado {
namespace {

// The start-up sequence's common utilities; a caller that runs the engine
// outside that sequence gets a local one for the call, created where needed
// like any other object that is not one of the four service objects.
template <typename F> auto ConComunes(F&& f) {
    if (Servicios().Comunes)
        return f(*Servicios().Comunes);
    clsStgComunes locales;
    return f(locales);
}

struct EntornoPrograma : IEntornoActualizacion {
    bool ChequearActualizacionPendiente() override {
        return ConComunes([](clsStgComunes& c) { return olvado::ChequearActualizacionPendiente(c); });
    }
    void MarcarActualizacionPendiente() override {
        ConComunes([](clsStgComunes& c) { olvado::MarcarActualizacionPendiente(c); });
    }
    void LimpiarActualizacionPendiente() override {
        ConComunes([](clsStgComunes& c) { olvado::LimpiarActualizacionPendiente(c); });
    }
    bool Registro_GuardarCredenciales(const std::string& Usuario, const std::string& Contrasena) override {
        return ConComunes([&](clsStgComunes& c) { return c.Registro_GuardarCredenciales(Usuario, Contrasena); });
    }
    bool EsperarACerrar() override { return ConComunes([](clsStgComunes& c) { return c.EsperarACerrar(); }); }
    bool EjecutarComoAdmin(int32_t hWnd, const std::string& Archivo, const std::string& Parametros,
                           const std::string& Usuario, const std::string& Contrasena,
                           const platform::ArchivoSellado* Paquete) override {
        // The common utilities' EjecutarComoAdmin without them: they are
        // gone by the launch (the database is closed first), and a second
        // set would read the registry again for nothing. In the package's
        // folder, waited for.
        return EjecutarArchivoComoAdmin(hWnd, Archivo, Parametros, Usuario, Contrasena,
                                        FileTool().Ruta_ExtraerRuta(Archivo), true, Paquete,
                                        [](const std::string& t) { RegistrarLog(t); });
    }
    std::string LineaDeComandos() override { return linea; }
    bool ClavePublicaPaquetes(std::string& Clave, std::string& Motivo) override {
        return ConComunes([&](clsStgComunes& c) {
            return RegistroBase_LeerTextoEstricto("", "ClavePublicaPaquetes", Clave, Motivo, c.Compania(),
                                                  c.Producto(), false) != LecturaRegistro::Fallido;
        });
    }

    std::string linea; // main sets it
};

EntornoPrograma& Programa() {
    static EntornoPrograma entorno;
    return entorno;
}

} // namespace

void EstablecerLineaDeComandos(const std::string& linea) { Programa().linea = linea; }

IEntornoActualizacion& IEntornoActualizacion::DelSistema() { return Programa(); }

} // namespace olvado
