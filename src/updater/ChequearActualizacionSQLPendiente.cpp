#include "updater/ChequearActualizacionSQLPendiente.h"

#include "base/Texto.h"
#include "common/IdentidadPrograma.h"
#include "common/clsStgComunes.h"
#include "platform/MessageBox.h"

namespace olvado {
namespace {
constexpr const char* kPendiente = "ActualizacionPendiente";
constexpr const char* kSQLPendiente = "ActualizadorSQLPendiente";
} // namespace

// A failed write leaves the previous state: nothing more to do about it here.
void MarcarActualizacionPendiente(clsStgComunes& Comunes) {
    Comunes.Registro_SetValor("", kPendiente, int32_t{1}, 1, HKEY_LOCAL_MACHINE, false);
}

void LimpiarActualizacionPendiente(clsStgComunes& Comunes) {
    Comunes.Registro_SetValor("", kPendiente, int32_t{0}, 1, HKEY_LOCAL_MACHINE, false);
}

bool ChequearActualizacionPendiente(clsStgComunes& Comunes) {
    Variante valor;
    Comunes.Registro_GetValor("", kPendiente, valor, 1, int32_t{0}, HKEY_LOCAL_MACHINE, false);
    if (!VarEsNumerico(valor) || VarALong(valor) != 1)
        return true;
    platform::MsgBox("Parece que la última actualización no pudo completarse con éxito." + std::string(vbCrLf) +
                         std::string(vbCrLf) +
                         "Favor reinicie el equipo, luego asegúrese que no esté abierto ningun programa, "
                         "incluyendo " +
                         ObtenerIdentidadPrograma().Producto + ", e intente de nuevo.",
                     platform::vbOKOnly | platform::vbExclamation, "Se requiere reiniciar el sistema");
    LimpiarActualizacionPendiente(Comunes);
    return false;
}

bool ActualizacionSQLPendiente(std::string& Valor, clsStgComunes& Comunes) {
    Valor.clear();
    Variante leido = std::string();
    if (!Comunes.Registro_GetValor("", kSQLPendiente, leido, 0, std::string(), HKEY_LOCAL_MACHINE, false))
        return false;
    Valor = Trim(VarATexto(leido));
    return !Valor.empty();
}

} // namespace olvado
