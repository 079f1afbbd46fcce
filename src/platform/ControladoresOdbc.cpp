// The driver each system's installers register for a provider, and the rule
// that picks one from the installed drivers. Plain data and text: both
// systems' tables are here so that both builds test them.
#include "platform/ControladoresOdbc.h"

#include "base/Texto.h"

namespace olvado::platform {

namespace {

struct Tabla {
    std::vector<std::string> candidatos; // newest first
    std::string aInstalar;
};

const Tabla& TablaDe(ClaseControlador clase, SistemaOdbc sistema) {
    static const Tabla sqlWindows{{"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server",
                                   "ODBC Driver 13 for SQL Server", "ODBC Driver 11 for SQL Server",
                                   "SQL Server Native Client 11.0", "SQL Server Native Client 10.0",
                                   "SQL Native Client", "SQL Server"},
                                  "el controlador «ODBC Driver 18 for SQL Server» de Microsoft (msodbcsql18)"};
    // The stock *.mdb driver is 32-bit only: a 64-bit program needs the engine.
    static const Tabla accessWindows{
        {"Microsoft Access Driver (*.mdb, *.accdb)", "Microsoft Access Driver (*.mdb)"},
        "Microsoft Access Database Engine (el controlador «Microsoft Access Driver (*.mdb, *.accdb)»)"};
    static const Tabla sqlLinux{{"FreeTDS"}, "el paquete tdsodbc (el controlador FreeTDS)"};
    static const Tabla accessLinux{{"MDBTools"}, "el paquete odbc-mdbtools (el controlador de MDB Tools, solo lectura)"};
    if (sistema == SistemaOdbc::Windows)
        return clase == ClaseControlador::SqlServer ? sqlWindows : accessWindows;
    return clase == ClaseControlador::SqlServer ? sqlLinux : accessLinux;
}

} // namespace

ControladorElegido ElegirControlador(ClaseControlador clase, SistemaOdbc sistema,
                                     const std::vector<std::string>& instalados, bool cifradoEnLaCadena) {
    const Tabla& t = TablaDe(clase, sistema);
    ControladorElegido e;
    e.aInstalar = t.aInstalar;
    for (const auto& candidato : t.candidatos)
        for (const auto& nombre : instalados)
            if (e.nombre.empty() && UCase(nombre) == UCase(candidato))
                e.nombre = candidato;
    if (e.nombre == "ODBC Driver 18 for SQL Server" && !cifradoEnLaCadena)
        e.clavesExtra = "Encrypt=no;";
    return e;
}

} // namespace olvado::platform
