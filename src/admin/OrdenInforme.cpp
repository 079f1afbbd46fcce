// informe: the fleet report, one HTML page made from the rows of
// HistorialAct and the published version of BinariosAct.
#include "admin/BaseAdmin.h"
#include "admin/DatosFlota.h"
#include "admin/InformeHtml.h"
#include "admin/Opciones.h"
#include "admin/Ordenes.h"
#include "base/ErrorOlvado.h"
#include "common/IdentidadPrograma.h"
#include "platform/ArchivoNativo.h"
#include "platform/Consola.h"
#include "platform/FechaHoraLocal.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace olvado::admin {
namespace {

constexpr const char* kUsoInforme = "informe --salida ARCHIVO.html [--dias N] [--producto P]";

// By position where a query reads every row: a lookup by name costs more
// than the value.
template <typename C> std::string Texto(ado::Recordset& rs, C campo) {
    const ado::Valor& v = rs.Fields(campo).Value();
    return v.EsNulo() ? std::string() : v.ATexto();
}

template <typename C> int32_t Entero(ado::Recordset& rs, C campo) {
    const ado::Valor& v = rs.Fields(campo).Value();
    return v.EsNulo() ? 0 : static_cast<int32_t>(v.AEntero());
}

// The server's clock, which dated every row; the local one when the engine
// does not answer.
std::string Ahora(BaseAdmin& base) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    std::string ahora;
    if (base.DB().AbrirRs(rs, base.DB().SintaxisSQL() == 0 ? "SELECT Now() AS Ahora" : "SELECT GETDATE() AS Ahora",
                          ado::adOpenStatic, 1, -1, false, n)) {
        if (!rs->Eof())
            ahora = rs->Fields("Ahora").Value().ATexto();
        rs->Close();
    }
    int64_t dia = 0;
    if (DatosFlota::DiaCivil(ahora, dia))
        return ahora;
    const platform::FechaHoraLocal f = platform::AhoraLocal();
    char texto[32];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02d %02d:%02d:%02d", f.Anio, f.Mes, f.Dia, f.Hora, f.Minuto,
                  f.Segundo);
    return texto;
}

// The version published for every workstation; (0,0,0) when there is none.
VersionFlota Publicada(BaseAdmin& base, const std::string& producto) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    VersionFlota v{0, 0, 0};
    if (base.DB().AbrirRs(rs, "SELECT Major, Minor, Revision FROM BinariosAct WHERE Producto = " + producto,
                          ado::adOpenStatic, 1, -1, false, n)) {
        if (!rs->Eof())
            v = {Entero(*rs, "Major"), Entero(*rs, "Minor"), Entero(*rs, "Revision")};
        rs->Close();
    }
    return v;
}

// The history may hold millions of rows; the report draws from four per
// workstation, read in one grouped pass over the index: its first run, its
// first run on the newest version or later (ultima, the highest version of
// the history when it is (0,0,0)), its last run on an older one and its last
// run, with its ring where the history has that column. A workstation that
// went back to an older version and up again in between shows on the newest
// from its first run on it to its last run on an older one, and again from
// its last run when that is on the newest.
bool LeerHistorial(BaseAdmin& base, const std::string& producto, VersionFlota& ultima,
                   std::vector<EjecucionEstacion>& filas) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    const std::string noSeLee = "no se pudo leer HistorialAct (¿existe? créela con «publicar --historial»)";
    try {
        if (ultima == VersionFlota{0, 0, 0}) {
            if (!base.DB().AbrirRs(rs, "SELECT Major, Minor, Revision FROM HistorialAct WHERE Producto = " + producto +
                                           " GROUP BY Major, Minor, Revision",
                                   ado::adOpenStatic, 1, -1, false, n))
                return Fallar(noSeLee + base.UltimoError()) == 0;
            for (; !rs->Eof(); rs->MoveNext())
                ultima = std::max(ultima, VersionFlota{Entero(*rs, 0), Entero(*rs, 1), Entero(*rs, 2)});
            rs->Close();
        }
        // NULL versions read as 0.0.0, which is the newest only when
        // nothing is newer.
        const auto [x, y, z] = ultima;
        const std::string alDia = ultima == VersionFlota{0, 0, 0}
                                      ? "1 = 1"
                                      : "Major > " + std::to_string(x) + " OR (Major = " + std::to_string(x) +
                                            " AND (Minor > " + std::to_string(y) + " OR (Minor = " +
                                            std::to_string(y) + " AND Revision >= " + std::to_string(z) + ")))";
        const bool access = base.DB().SintaxisSQL() == 0;
        const std::string llegada = access ? "IIF(" + alDia + ", Fecha, NULL)" : "CASE WHEN " + alDia + " THEN Fecha END";
        const std::string atras = access ? "IIF(" + alDia + ", NULL, Fecha)" : "CASE WHEN " + alDia + " THEN NULL ELSE Fecha END";
        const std::string agregados =
            ", MIN(Fecha) AS Primera, MIN(" + llegada + ") AS Llegada, MAX(" + atras + ") AS Atras";
        const std::string columnas = "h.Estacion, h.Usuario, h.Major, h.Minor, h.Revision, h.Resultado, h.Fecha, "
                                     "u.Primera, u.Llegada, u.Atras";
        const bool conAnillo = base.DB().AbrirRs(rs, base.SqlUltimas(producto, columnas + ", h.Anillo", "", agregados),
                                                 ado::adOpenStatic, 1, -1, false, n);
        if (!conAnillo && !base.DB().AbrirRs(rs, base.SqlUltimas(producto, columnas, "", agregados),
                                             ado::adOpenStatic, 1, -1, false, n))
            return Fallar(noSeLee + base.UltimoError()) == 0;
        std::vector<EjecucionEstacion> ultimas;
        for (; !rs->Eof(); rs->MoveNext()) {
            EjecucionEstacion e{Texto(*rs, 0), Texto(*rs, 1), conAnillo ? Texto(*rs, 10) : "", Texto(*rs, 5),
                                Texto(*rs, 6), {Entero(*rs, 2), Entero(*rs, 3), Entero(*rs, 4)}};
            if (!ultimas.empty() && ultimas.back().estacion == e.estacion)
                continue; // the first of a tie
            filas.push_back({e.estacion, "", "", "", Texto(*rs, 7), {0, 0, 0}});
            if (!rs->Fields(8).Value().EsNulo())
                filas.push_back({e.estacion, "", "", "", Texto(*rs, 8), ultima});
            if (!rs->Fields(9).Value().EsNulo())
                filas.push_back({e.estacion, "", "", "", Texto(*rs, 9), {0, 0, 0}});
            ultimas.push_back(std::move(e));
        }
        rs->Close();
        // Last: of rows of the same second, the last read is a workstation's last run.
        filas.insert(filas.end(), std::make_move_iterator(ultimas.begin()), std::make_move_iterator(ultimas.end()));
    } catch (const ErrorOlvado& e) {
        return Fallar("no se pudo leer HistorialAct: " + e.Descripcion()) == 0;
    }
    return true;
}

} // namespace

int Informe(const Argumentos& a) {
    Opciones o;
    std::string error;
    int32_t dias = 7;
    if (!LeerOpciones(a, {"--salida", "--dias", "--producto"}, {}, 0, 0, o, error))
        return UsoIncorrecto(kUsoInforme, error);
    if (!o.Tiene("--salida"))
        return UsoIncorrecto(kUsoInforme, "falta --salida");
    if (!LeerEntero(o.Valor("--dias", "7"), dias) || dias < 0)
        return Fallar("--dias no es un número de días: " + o.Valor("--dias"));
    const std::string producto = o.Valor("--producto", ObtenerIdentidadPrograma().Producto);
    BaseAdmin base;
    if (!base.Abrir())
        return 1;
    base.AsegurarIndiceHistorial(); // as historial: a history made before the index gets it
    std::vector<EjecucionEstacion> filas;
    VersionFlota ultima = Publicada(base, base.SQL().Strg(producto));
    if (!LeerHistorial(base, base.SQL().Strg(producto), ultima, filas))
        return 1;
    const DatosFlota datos(std::move(filas), ultima, Ahora(base), dias);
    const std::string pagina = InformeHtml(datos, producto).Generar();
    platform::ArchivoNativo salida;
    const std::string ruta = o.Valor("--salida");
    if (!salida.Abrir(ruta, platform::ArchivoNativo::Modo::Crear) || !salida.Escribir(pagina) || !salida.Cerrar())
        return Fallar("no se pudo escribir " + ruta + " (error " + std::to_string(salida.UltimoError()) + ")");
    platform::EscribirSalida("Informe de " + std::to_string(datos.Ultimas().size()) + " estaciones escrito en " +
                             ruta + "\n");
    return 0;
}

} // namespace olvado::admin
