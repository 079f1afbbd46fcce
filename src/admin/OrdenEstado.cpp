// estado: the published package, the installed main program and what the
// updater's next run would do with them.
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "admin/Ordenes.h"
#include "admin/VersionesGuardadas.h"
#include "base/ErrorOlvado.h"
#include "common/ComparadorVersiones.h"
#include "common/ExtraerVersion.h"
#include "common/FileTool.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "platform/Consola.h"
#include "updater/PaqueteEnTrozos.h"
#include "updater/UpdateEngine.h"

namespace olvado::admin {
namespace {

struct Publicado {
    bool consultado = false, hay = false, digestValido = false;
    int32_t major = 0, minor = 0, revision = 0;
    std::string hashCifrado; // as the row stores it
};

// The updater's own query of the row (Major, Minor, Revision, MD5Hash).
Publicado LeerPublicado(BaseAdmin& base, const std::string& producto) {
    Publicado p;
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!base.DB().AbrirRs(rs,
                           "SELECT Major, Minor, Revision, MD5Hash FROM BinariosAct WHERE Producto = " +
                               base.SQL().Strg(producto),
                           ado::adOpenStatic, ado::adLockOptimistic, -1, false, n))
        return p;
    p.consultado = true;
    try {
        if (!rs->Eof()) {
            p.hay = true;
            p.major = static_cast<int32_t>(rs->Fields("Major").Value().AEntero());
            p.minor = static_cast<int32_t>(rs->Fields("Minor").Value().AEntero());
            p.revision = static_cast<int32_t>(rs->Fields("Revision").Value().AEntero());
            const ado::Valor hash = rs->Fields("MD5Hash").Value();
            p.hashCifrado = hash.EsNulo() ? "" : hash.ATexto();
            std::string cifrado = p.hashCifrado;
            bool exito = false;
            p.digestValido = clsEncriptor().Decrypt(cifrado, exito).size() == 32 && exito;
        }
        rs->Close();
    } catch (const ErrorOlvado&) {
        p.consultado = false;
    }
    return p;
}

// Which form the published package has: pieces, Binario (what the family's
// own programs read), or both; and which one the updater's next run takes
// (Usara), and why: the pieces only when every one is bound to the row's
// current digest, else Binario.
std::string FormaPaquete(BaseAdmin& base, const std::string& producto, const Publicado& p, std::string& Usara,
                         bool& Legible) {
    const std::string condicion = CondicionVersion(base.SQL().Strg(producto), p.major, p.minor, p.revision);
    PaqueteEnTrozos paquete(base.DB(), PaqueteEnTrozos::kTabla, condicion);
    std::string motivo, otro;
    const int64_t trozos = paquete.Contar(producto, p.hashCifrado, motivo);
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    bool binario = false;
    int64_t todos = 0;
    try {
        binario = base.DB().AbrirRs(rs, "SELECT COUNT(*) AS N FROM BinariosAct" + condicion + " AND Binario IS NOT NULL",
                                    ado::adOpenForwardOnly, 1, -1, false, n) &&
                  !rs->Eof() && rs->Fields("N").Value().AEntero() > 0;
        if (trozos == 0 && motivo.empty() &&
            base.DB().AbrirRs(rs, "SELECT COUNT(*) AS N FROM " + std::string(PaqueteEnTrozos::kTabla) + condicion,
                              ado::adOpenForwardOnly, 1, -1, false, n) &&
            !rs->Eof())
            todos = rs->Fields("N").Value().AEntero();
    } catch (const ErrorOlvado&) {
    }
    if (trozos > 0)
        Usara = "los trozos: son del digesto publicado en la fila";
    else if (todos > 0)
        Usara = "Binario: los " + std::to_string(todos) + " trozos de " + PaqueteEnTrozos::kTabla +
                " son de otro digesto u otro producto (otra publicación) y no se usan";
    else if (!motivo.empty())
        Usara = "Binario: " + motivo;
    else
        Usara = "Binario: no hay trozos publicados";
    Legible = trozos > 0 || binario;
    const std::string enTrozos = std::to_string(trozos) + " trozos en " + PaqueteEnTrozos::kTabla;
    if (trozos > 0)
        return binario ? enTrozos + " y en Binario" : "solo " + enTrozos + " (Binario vacío)";
    return binario ? "solo en Binario" : "sin bytes";
}

// How many bases have a delta to the published package; "" without the table.
std::string Deltas(BaseAdmin& base, const std::string& producto, const Publicado& p) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    try {
        if (base.DB().AbrirRs(rs,
                              "SELECT COUNT(DISTINCT MD5Base) AS N FROM " + std::string(kTablaDeltas) +
                                  CondicionVersion(base.SQL().Strg(producto), p.major, p.minor, p.revision) +
                                  " AND MD5Hash = " + base.SQL().Strg(p.hashCifrado),
                              ado::adOpenForwardOnly, 1, -1, false, n) &&
            !rs->Eof())
            return "Deltas hacia la versión publicada: " + std::to_string(rs->Fields("N").Value().AEntero()) +
                   "\n";
    } catch (const ErrorOlvado&) {
    }
    return "";
}

std::string ProximaEjecucion(const Publicado& p, bool legible, bool instalada, int32_t m1, int32_t m2, int32_t m3) {
    if (!instalada)
        return "termina sin comparar: no se pudo leer la versión del programa principal";
    if (!p.consultado)
        return "la consulta de BinariosAct no se abre: intentará preparar el paquete y no instalará nada";
    if (!p.hay)
        return "nada que instalar: no hay paquete publicado para el producto";
    if (ProgramaMasRecienteQueDB(p.major, p.minor, p.revision, true, m1, m2, m3))
        return "nada que instalar: la versión instalada es más reciente que la publicada";
    if (!DBMasRecienteQuePrograma(p.major, p.minor, p.revision, true, m1, m2, m3))
        return "nada que instalar: al día";
    const std::string version = TextoVersion(p.major, p.minor, p.revision);
    if (!p.digestValido)
        return "escribirá el paquete " + version + " pero no lo ejecutará: su digest está vacío o no se descifra";
    if (!legible)
        return "no instalará el paquete " + version + ": ni Binario ni trozos de su digesto";
    // The updater writes the package into a folder it does not create.
    FileTool ft;
    const std::string carpeta = ft.Ruta_ExtraerRuta(RutaPaquete());
    if (!ft.FolderExist(carpeta))
        return "no podrá escribir el paquete " + version + ": falta la carpeta " + carpeta;
    return "instalará el paquete " + version + " (/SILENT /SUPPRESSMSGBOXES /NOCANCEL /SP-)";
}

} // namespace

int Estado(const Argumentos&) {
    const std::string producto = ObtenerIdentidadPrograma().Producto;
    BaseAdmin base;
    if (!base.Abrir())
        return 1;
    const Publicado p = LeerPublicado(base, producto);
    int32_t m1 = 0, m2 = 0, m3 = 0;
    const bool instalada = VersionProgramaPrincipal(m1, m2, m3);

    std::string salida = "Producto: " + producto + "\n";
    salida += "Versión publicada: " +
              (p.hay ? TextoVersion(p.major, p.minor, p.revision) : p.consultado ? "ninguna" : "sin tabla BinariosAct") +
              "\n";
    bool legible = false;
    if (p.hay) {
        std::string usara;
        salida += "Forma del paquete: " + FormaPaquete(base, producto, p, usara, legible) + "\n";
        salida += "Forma que leerá la próxima ejecución: " + usara + "\n";
        salida += Deltas(base, producto, p);
    }
    FileTool ft;
    salida += "Versión instalada: " +
              (instalada ? TextoVersion(m1, m2, m3)
                         : "no se pudo leer (" + ft.Ruta_CalificarRuta(ft.Ruta_RutaEspecial(0, 38)) +
                               "Olvado\\Olvado.exe)") +
              "\n";
    salida += "Próxima ejecución: " + ProximaEjecucion(p, legible, instalada, m1, m2, m3) + "\n";
    salida += EstadoAnillos(base, producto);
    platform::EscribirSalida(salida);
    return 0;
}

} // namespace olvado::admin
