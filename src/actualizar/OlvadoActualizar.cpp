// The update library's entry points: the engine with the process-wide
// service objects created on first need. No exception leaves an entry point:
// the calling program must never end because of its updater.
#include "actualizar/OlvadoActualizar.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/Consola.h"
#include "updater/Core.h"
#include "updater/UpdateEngine.h"

#include <cstring>
#include <string>

namespace {

using namespace olvado;

// A database that did not open (or was refused) stays refused until
// CerrarActualizacion: its half-made objects are released at once, so no
// later call takes them for an open database and reaches an installer.
bool& AperturaFallida() {
    static bool fallida = false;
    return fallida;
}

bool ObjetosListos() {
    if (AperturaFallida())
        return false;
    if (Servicios().DB)
        return true;
    std::string linea;
    for (const auto& a : platform::ArgumentosPrograma(0, nullptr))
        linea += (linea.empty() ? "" : " ") + a;
    EstablecerLineaDeComandos(linea);
    if (!Servicios().Log && !PrepararLog("Olvado_ActualizarLog.txt"))
        return false;
    if (CrearObjetos())
        return true;
    CerrarObjetos();
    AperturaFallida() = true;
    return false;
}

void Copiar(const std::string& texto, char* destino, int32_t tamano) {
    if (!destino || tamano <= 0)
        return;
    std::string ansi = AAnsi(texto);
    size_t n = std::min(ansi.size(), static_cast<size_t>(tamano - 1));
    std::memcpy(destino, ansi.data(), n);
    destino[n] = 0;
}

} // namespace

extern "C" {

int32_t OLVADO_LLAMADA ActualizarVersionDistribucion(int32_t* Ejecutar, int32_t ModoActualizador,
                                                     int32_t VersionExterna, int32_t Major, int32_t Minor,
                                                     int32_t Revision) {
    bool ejecutar = false, r = false;
    try {
        // Without a database the question cannot be answered: prepare, and
        // let the preparation fail as it does without a row.
        if (!ObjetosListos())
            ejecutar = true;
        else
            r = olvado::ActualizarVersionDistribucion(ejecutar, ModoActualizador != 0, VersionExterna != 0, Major,
                                                      Minor, Revision);
    } catch (...) {
        RegistrarLog("Error en ActualizarVersionDistribucion");
    }
    if (Ejecutar)
        *Ejecutar = ejecutar ? -1 : 0;
    return r ? -1 : 0;
}

void OLVADO_LLAMADA PrepararPaqueteActualizacion(int32_t ModoActualizador, char* Archivo, int32_t TamanoArchivo,
                                                 char* Parametros, int32_t TamanoParametros) {
    std::string archivo, parametros;
    try {
        if (ObjetosListos())
            olvado::PrepararPaqueteActualizacion(ModoActualizador != 0, archivo, parametros);
    } catch (...) {
        RegistrarLog("Error en PrepararPaqueteActualizacion");
    }
    Copiar(archivo, Archivo, TamanoArchivo);
    Copiar(parametros, Parametros, TamanoParametros);
}

void OLVADO_LLAMADA CerrarActualizacion(void) {
    try {
        CerrarObjetos();
        LiberarServicios();
    } catch (...) {
    }
    AperturaFallida() = false;
}

} // extern "C"
