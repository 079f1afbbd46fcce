// The server's clock and the workstation's: instants compared, and a change
// made only where the system does not keep the time itself and the database
// is trusted with it.
#include "updater/Core.h"

#include "common/IdentidadPrograma.h"
#include "platform/Eventos.h"
#include "platform/Reloj.h"
#include "updater/UpdateEngine.h"

namespace olvado {
namespace {

// Each instant cut to its minute, as the family's difference in minutes counts.
int64_t MinutosDeDiferencia(int64_t a, int64_t b) {
    auto minuto = [](int64_t s) { return s / 60 - (s % 60 < 0); };
    return minuto(a) - minuto(b);
}

void Anotar(int32_t tipo, const std::string& texto) {
    platform::IEventos::Actual().Registrar({ObtenerIdentidadPrograma().Producto, tipo, 1, 3001, texto, {}});
}

void CambiarReloj(platform::IReloj& reloj, int64_t local, int64_t servidor) {
    const std::string horas = "equipo " + platform::TextoUtc(local) + ", base de datos " +
                              platform::TextoUtc(servidor);
    // A workstation that requires signed packages, or whose registry cannot
    // tell whether it does, trusts the database with nothing else.
    std::string clave, motivo;
    if (!IEntornoActualizacion::Actual().ClavePublicaPaquetes(clave, motivo))
        Anotar(2, "No se tomó la hora de la base de datos: " + motivo + " (" + horas + ")");
    else if (!clave.empty())
        Anotar(2, "No se tomó la hora de la base de datos: el equipo exige paquetes firmados (" + horas + ")");
    else if (reloj.Sincronizado())
        Anotar(2, "No se tomó la hora de la base de datos: el sistema mantiene el reloj sincronizado (" + horas +
                      ")");
    else if (reloj.EstablecerUtc(servidor))
        Anotar(2, "Hora del sistema cambiada por la de la base de datos: de " + platform::TextoUtc(local) +
                      " a " + platform::TextoUtc(servidor));
    else
        Anotar(2, "No se pudo cambiar la hora del sistema por la de la base de datos (" + horas + ")");
}

} // namespace

platform::FechaHoraLocal FechaHoraServidor(bool Sincronizar) {
    platform::IReloj& reloj = platform::IReloj::Actual();
    const int64_t local = reloj.AhoraUtc();
    int64_t servidor = local;
    try {
        const int32_t sintaxis = Servicios().DB ? Servicios().DB->SintaxisSQL() : 0;
        // An Access or SQLite file is read on this workstation: its time is ours.
        std::unique_ptr<ado::Recordset> rs;
        if ((sintaxis == 1 || sintaxis == 2) &&
            AbrirConsulta(rs, sintaxis == 1 ? "SELECT GETUTCDATE() AS FechaHora;"
                                            : "SELECT UTC_TIMESTAMP() AS FechaHora;")) {
            if (!rs->Eof()) {
                ado::FechaHora f = rs->Fields("FechaHora").Value().AFecha();
                servidor = platform::InstanteDeUtc({f.anio, f.mes, f.dia, f.hora, f.minuto, f.segundo});
            }
            rs->Close();
        }
        const int64_t diferencia = MinutosDeDiferencia(servidor, local);
        if (Sincronizar && (diferencia > 5 || diferencia < -5))
            CambiarReloj(reloj, local, servidor);
    } catch (...) {
    }
    return platform::LocalDeInstante(servidor);
}

} // namespace olvado
