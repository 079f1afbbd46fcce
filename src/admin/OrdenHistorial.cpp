// historial: the fleet at a glance, from the rows that every run of the
// updater adds to HistorialAct.
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "admin/Ordenes.h"
#include "base/ErrorOlvado.h"
#include "platform/Consola.h"
#include "common/IdentidadPrograma.h"
#include "updater/HistorialAct.h"
#include "updater/PaqueteAnillo.h"

#include <algorithm>
#include <string>
#include <vector>

#include <cstdio>
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
// a line end. One that a spreadsheet would take for a formula (its first
// character =, +, -, @, a tab or a carriage return) is kept text by a
// leading '.
std::string CampoCsv(const std::string& texto) {
    const bool formula = !texto.empty() && std::string("=+-@\t\r").find(texto[0]) != std::string::npos;
    if (!formula && texto.find_first_of(",\"\r\n") == std::string::npos)
        return texto;
    std::string s = formula ? "\"'" : "\"";
    for (char c : texto)
        s += c == '"' ? std::string("\"\"") : std::string(1, c);
    return s + "\"";
}

// A field of the text form, for a terminal: a tab or a line break would make
// a column or a row of its own, an escape sequence would move the cursor or
// retitle the window. C0, DEL and C1 controls and bytes that are no UTF-8
// show as \t \n \r \xNN \u00NN; everything else as it is.
std::string CampoTexto(const std::string& texto) {
    std::string s;
    char hex[8];
    for (size_t i = 0; i < texto.size();) {
        const auto c = static_cast<unsigned char>(texto[i]);
        if (c == '\t' || c == '\n' || c == '\r') {
            s += c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0x7f) {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            s += hex, ++i;
            continue;
        }
        const size_t largo = c < 0x80 ? 1 : c >= 0xc2 && c <= 0xdf ? 2 : c >= 0xe0 && c <= 0xef ? 3
                                        : c >= 0xf0 && c <= 0xf4 ? 4 : 0;
        size_t j = 1;
        while (j < largo && i + j < texto.size() && (static_cast<unsigned char>(texto[i + j]) & 0xc0) == 0x80)
            ++j;
        if (largo == 0 || j < largo) {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            s += hex, ++i;
        } else if (c == 0xc2 && static_cast<unsigned char>(texto[i + 1]) < 0xa0) {
            std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned char>(texto[i + 1]));
            s += hex, i += 2;
        } else {
            s.append(texto, i, largo), i += largo;
        }
    }
    return s;
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
    // A history made before the index gets it now; without it (no right to
    // make one) the list still comes, slower.
    base.AsegurarIndiceHistorial();
    const std::string producto = base.SQL().Strg(o.Valor("--producto", ObtenerIdentidadPrograma().Producto));
    // Columns of later publishers: a history made before them shows them empty.
    std::string columnas = "h.Estacion, h.Usuario, h.Major, h.Minor, h.Revision, h.Resultado, h.Fecha";
    std::vector<std::string> opcionales;
    for (const char* c : {kValorAnillo, kColumnaVia, kColumnaBytesLeidos})
        if (base.TieneColumna("HistorialAct", c)) {
            columnas += std::string(", h.") + c;
            opcionales.push_back(c);
        }
    const std::string sql = base.SqlUltimas(
        producto, columnas,
        o.Tiene("--desde") ? "AND h.Fecha >= " + base.SQL().Strg(o.Valor("--desde")) : "");
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!base.DB().AbrirRs(rs, sql, ado::adOpenStatic, 1 /* read only */, -1, false, n))
        return Fallar("no se pudo leer HistorialAct (¿existe? créela con «publicar --historial»)" +
                      base.UltimoError());
    std::string salida = csv ? "Estacion,Usuario,Version,Resultado,Fecha,Anillo,Via,BytesLeidos\n"
                             : "Estación\tUsuario\tVersión\tResultado\tFecha\tAnillo\tVía\tBytes leídos\n";
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
            const auto campo = csv ? CampoCsv : CampoTexto;
            const char* separador = csv ? "," : "\t";
            salida += campo(estacion) + separador + campo(texto("Usuario")) + separador + campo(version) + separador +
                      campo(texto("Resultado")) + separador + campo(texto("Fecha"));
            for (const char* c : {kValorAnillo, kColumnaVia, kColumnaBytesLeidos}) {
                const bool hay = std::find(opcionales.begin(), opcionales.end(), c) != opcionales.end();
                salida += separador + (hay ? campo(texto(c)) : std::string());
            }
            salida += "\n";
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
