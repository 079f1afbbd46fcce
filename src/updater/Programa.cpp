#include "updater/Programa.h"

#include "base/Texto.h"
#include "common/ExtraerVersion.h"
#include "common/FileTool.h"
#include "platform/ArchivoSellado.h"
#include "platform/Senales.h"
#include "updater/ChequearActualizacionSQLPendiente.h"
#include "updater/Core.h"
#include "updater/HistorialAct.h"
#include "updater/MuteX.h"
#include "updater/UpdateEngine.h"

namespace olvado {
namespace {

// What the fleet's history records of this run; one row, written while the
// database is still open.
struct Ejecucion {
    std::string resultado = kResultadoError;
    int32_t major = 0, minor = 0, revision = 0;
    bool anotada = false;
    void Anotar() {
        if (!anotada)
            AnotarHistorial(resultado, major, minor, revision);
        anotada = true;
    }
};

// Steps 9 to 19, once the database is open. A step that ends the run returns.
// With preparar the package is written and verified, the database closed,
// and nothing started: the file stays for the run at program start.
void PasosActualizacion(Ejecucion& ejecucion, bool preparar) {
    // Another program of the family is updating the database.
    std::string valor;
    if (Servicios().Comunes && ActualizacionSQLPendiente(valor, *Servicios().Comunes)) {
        RegistrarLog("Se detecto una actualizacion de base de datos pendiente, cerrar programa");
        return;
    }

    std::string usuario, contrasena;
    ObtenerCredencialesEjecucion(usuario, contrasena);
    // At most three characters of each: the log is no place for the account.
    RegistrarLog("Usuario: " + Left(usuario, 3) + ", " + "Contrasena: " + Left(contrasena, 3));
    RegistrarLog("Objetos Abiertos");

    int32_t& major = ejecucion.major;
    int32_t& minor = ejecucion.minor;
    int32_t& revision = ejecucion.revision;
    if (!VersionProgramaPrincipal(major, minor, revision))
        return;
    RegistrarLog("Version Olvado Actual: " + std::to_string(major) + "." + std::to_string(minor) + "." +
                 std::to_string(revision));

    bool ejecutar = false;
    const bool alDia = ActualizarVersionDistribucion(ejecutar, true, true, major, minor, revision);
    ejecucion.resultado = PaqueteActual().Resultado;
    if (alDia) {
        RegistrarLog("ActualizarVersionDistribucion: Verdadero");
        return;
    }
    if (!ejecutar)
        return;

    std::string archivo, parametros;
    {
        // SIGTERM, SIGINT or SIGHUP while the package is written: the write
        // stops and removes its file, the run ends here, and main writes the
        // log before it ends with the signal.
        platform::SenalesDiferidas senales;
        PrepararPaqueteActualizacion(true, archivo, parametros);
    }
    std::string carpeta = FileTool().Ruta_ExtraerRuta(archivo);
    // Held from its write until the installer has ended; it outlives CerrarObjetos.
    platform::ArchivoSellado& paquete = PaqueteActual().Sellado();
    const int senal = platform::SenalPendiente();
    const bool preparado = preparar && !archivo.empty();
    ejecucion.resultado = senal != 0 ? kResultadoError : preparado ? kResultadoPreparado : PaqueteActual().Resultado;
    // The connection came back from the driver: the history still gets this
    // run's row, within the watchdog's grace (and the deadline).
    if (senal != 0 && Servicios().Llamadas)
        Servicios().Llamadas->PermitirTrasSenal(std::chrono::steady_clock::now() + Vigia::kGracia);
    ejecucion.Anotar();
    if (senal != 0) {
        RegistrarLog("Ejecucion interrumpida por la senal " + std::to_string(senal));
        return;
    }

    // The database is closed before the installer runs.
    RegistrarLog("Cerrar Objetos");
    CerrarObjetos();
    if (preparar) {
        // Let go without starting it: the sealed file stays at its path.
        if (preparado)
            RegistrarLog("Paquete preparado, no se inicia: " + EscaparControles(archivo));
        BorrarSecreto(contrasena);
        return;
    }

    // The folder comes from the file system: a line break in it stays in this entry.
    RegistrarLog("Ejecutar Archivo: " + EscaparControles(archivo + ", " + parametros + ", " + carpeta));
    // The interactive mode's launch (EjecutarPaqueteActualizacion): in the
    // package's folder, waited for. Its answer is not examined: a failure
    // under the stored account has already left the system's text in the log.
    IEntornoActualizacion::Actual().EjecutarComoAdmin(0, archivo, parametros, usuario, contrasena,
                                                      paquete.Abierto() ? &paquete : nullptr);
    BorrarSecreto(contrasena);
}

} // namespace

void ConRutaDeError(const std::function<void()>& pasos) {
    try {
        pasos();
    } catch (...) {
        RegistrarLog("Error en el procedimiento inicial del sistema. Cerrar Objetos");
        CerrarObjetos();
    }
}

void Main(bool Preparar) {
    if (!PrepararLog("Olvado_UpdaterLog.txt"))
        return;
    RegistrarLog("Iniciando OlvadoUpdater");
    RegistrarLog("Log Preparado");

    // A running program of the family (under either form of its name) must
    // not have its files replaced under it. Preparing replaces none.
    if (!Preparar && MutexExiste("", true)) {
        RegistrarLog("Se detectó que alguno de los programas está ejecutandose. Se abortará la operación.");
        return;
    }
    // Another updater holds its mutex: it does the work; leave no trace.
    if (!CrearMutex("Updater", true, true))
        return;
    RegistrarLog("Mutex Creado");

    ConRutaDeError([Preparar] {
        // A step that ends the run returns from here: the common exit.
        if (!CrearObjetos())
            return;
        RegistrarLog("Objetos Listos");
        Ejecucion ejecucion;
        try {
            PasosActualizacion(ejecucion, Preparar);
        } catch (...) {
            ejecucion.resultado = kResultadoError;
            ejecucion.Anotar();
            throw;
        }
        ejecucion.Anotar();
    });
}

} // namespace olvado
