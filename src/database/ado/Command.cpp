#include "database/ado/Command.h"

#include "database/ado/Connection.h"
#include "database/ado/Motor.h"

namespace olvado::ado {

void Command::Execute(int64_t* afectados, int32_t /*opciones*/) {
    if (!ActiveConnection)
        throw ErrorAdo(static_cast<int32_t>(0x800A0E7Du), "ADODB.Command",
                       "La conexión no se puede usar para realizar esta operación.");
    int64_t n = -1;
    ActiveConnection->Ejecutar(CommandText, {}, CommandTimeout, n);
    if (afectados)
        *afectados = n;
}

} // namespace olvado::ado
