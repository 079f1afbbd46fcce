// historial: the fleet at a glance, from the rows that every run of the
// updater adds to HistorialAct.
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "admin/Ordenes.h"
#include "base/ErrorOlvado.h"
#include "platform/Consola.h"
#include "common/IdentidadPrograma.h"

#include <map>
#include <tuple>

namespace olvado::admin {
namespace {

constexpr const char* kUsoHistorial = "historial [--desde FECHA] [--producto P] [--formato texto|csv]";

// "AAAA-MM-DD", optionally followed by " hh:mm:ss": what every engine
// compares with its dates.
bool FechaValida(const std::string& f) {
    const std::string molde = "0000-00-00 00:00:00";
    if (f.size() != 10 && f.size() != molde.size())
        return false;
    for (size_t i = 0; i < f.size(); ++i)
        if (molde[i] == '0' ? (f[i] < '0' || f[i] > '9') : f[i] != molde[i])
            return false;
    return true;
}

// A CSV field: quoted, its quotes doubled, when it holds a comma, a quote or
// a line end.
std::string CampoCsv(const std::string& texto) {
    if (texto.find_first_of(",\"\r\n") == std::string::npos)
        return texto;
    std::string s = "\"";
    for (char c : texto)
        s += c == '"' ? std::string("\"\"") : std::string(1, c);
    return s + "\"";
}

} // namespace

int Historial(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--desde", "--producto", "--formato"}, {}, 0, 0, o, error))
        return UsoIncorrecto(kUsoHistorial, error);
    const bool csv = o.Valor("--formato") == "csv";
    if (!csv && o.Valor("--formato", "texto") != "texto")
        return UsoIncorrecto(kUsoHistorial, "formato desconocido: " + o.Valor("--formato"));
    if (o.Tiene("--desde") && !FechaValida(o.Valor("--desde")))
        return Fallar("fecha no válida (se espera AAAA-MM-DD): " + o.Valor("--desde"));
    BaseAdmin base;
    if (!base.Abrir())
        return 1;
    const std::string producto = base.SQL().Strg(o.Valor("--producto", ObtenerIdentidadPrograma().Producto));
    // Each workstation's last row; two rows of the same second both come, the
    // first one read is kept.
    std::string sql = "SELECT h.Estacion, h.Usuario, h.Major, h.Minor, h.Revision, h.Resultado, h.Fecha "
                      "FROM HistorialAct AS h WHERE h.Producto = " + producto +
                      " AND h.Fecha = (SELECT MAX(Fecha) FROM HistorialAct WHERE Estacion = h.Estacion AND "
                      "Producto = h.Producto)";
    if (o.Tiene("--desde"))
        sql += " AND h.Fecha >= " + base.SQL().Strg(o.Valor("--desde"));
    sql += " ORDER BY h.Estacion";
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!base.DB().AbrirRs(rs, sql, ado::adOpenStatic, 1 /* read only */, -1, false, n))
        return Fallar("no se pudo leer HistorialAct (¿existe? créela con «publicar --historial»)" +
                      base.UltimoError());
    std::string salida =
        csv ? "Estacion,Usuario,Version,Resultado,Fecha\n" : "Estación\tUsuario\tVersión\tResultado\tFecha\n";
    std::string anterior;
    std::map<std::tuple<int64_t, int64_t, int64_t>, int> porVersion; // in version order
    bool primera = true;
    try {
        for (; !rs->Eof(); rs->MoveNext()) {
            auto texto = [&](const char* c) {
                ado::Valor v = rs->Fields(c).Value();
                return v.EsNulo() ? std::string() : v.ATexto();
            };
            const std::string estacion = texto("Estacion");
            if (!primera && estacion == anterior)
                continue;
            primera = false;
            anterior = estacion;
            const std::string version = texto("Major") + "." + texto("Minor") + "." + texto("Revision");
            ++porVersion[{rs->Fields("Major").Value().AEntero(), rs->Fields("Minor").Value().AEntero(),
                          rs->Fields("Revision").Value().AEntero()}];
            if (csv)
                salida += CampoCsv(estacion) + "," + CampoCsv(texto("Usuario")) + "," + version + "," +
                          CampoCsv(texto("Resultado")) + "," + texto("Fecha") + "\n";
            else
                salida += estacion + "\t" + texto("Usuario") + "\t" + version + "\t" + texto("Resultado") + "\t" +
                          texto("Fecha") + "\n";
        }
        rs->Close();
    } catch (const ErrorOlvado& e) {
        return Fallar("no se pudo leer HistorialAct: " + e.Descripcion());
    }
    // The count per version is for a reader; a script counts the rows itself.
    if (!csv) {
        salida += "\nVersión\tEstaciones\n";
        for (const auto& [version, cuantas] : porVersion)
            salida += std::to_string(std::get<0>(version)) + "." + std::to_string(std::get<1>(version)) + "." +
                      std::to_string(std::get<2>(version)) + "\t" + std::to_string(cuantas) + "\n";
    }
    platform::EscribirSalida(salida);
    return 0;
}

} // namespace olvado::admin
