// The update engine's collaborators in the running program: the package
// launch and the program's command line; the registry marks and the
// credentials' registry copy join here with the common utilities.
#include "updater/UpdateEngine.h"

#include "common/FileTool.h"
#include "updater/Lanzamiento.h"

namespace olvado {
namespace {

std::string lineaDeComandos;

struct EntornoPrograma : IEntornoActualizacion {
    // (the pending marks and the credentials' copy in the registry go
    // through the common utilities once their class exists)
    bool ChequearActualizacionPendiente() override { return true; }
    void MarcarActualizacionPendiente() override {}
    void LimpiarActualizacionPendiente() override {}
    bool Registro_GuardarCredenciales(const std::string&, const std::string&) override { return false; }
    // The close-applications dialog belongs to the family's main programs,
    // which install their own collaborators for the interactive mode; without
    // it nobody has confirmed that the programs are closed, so no start.
    bool EsperarACerrar() override { return false; }
    bool EjecutarComoAdmin(int32_t hWnd, const std::string& Archivo, const std::string& Parametros,
                           const std::string& Usuario, const std::string& Contrasena,
                           const platform::ArchivoSellado* Paquete) override {
        return EjecutarArchivoComoAdmin(hWnd, Archivo, Parametros, Usuario, Contrasena,
                                        FileTool().Ruta_ExtraerRuta(Archivo), true, Paquete);
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
