#include "admin/InformeHtml.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace olvado::admin {
namespace {

// Laptop screen first (two charts side by side at 1366 px), one column when
// narrow, A4 landscape on paper with the colours kept.
constexpr const char* kEstilo = R"(
*{box-sizing:border-box}
body{margin:0;padding:20px 28px;font:14px/1.4 "DejaVu Sans","Segoe UI",Arial,sans-serif;color:#1e293b;background:#f8fafc;
-webkit-print-color-adjust:exact;print-color-adjust:exact}
h1{font-size:22px;margin:0 0 2px}h2{font-size:16px;margin:0 0 10px}
.sub{color:#475569;margin:0 0 16px}
section{background:#fff;border:1px solid #e2e8f0;border-radius:8px;padding:14px 16px;margin:0 0 16px}
.cifras{display:grid;grid-template-columns:repeat(4,1fr);gap:12px;margin:0 0 16px}
.cifra{background:#fff;border:1px solid #e2e8f0;border-left:6px solid #94a3b8;border-radius:8px;padding:10px 14px}
.cifra b{display:block;font-size:28px;line-height:1.1}.cifra span{color:#475569}
.ok{border-left-color:#16a34a}.aviso{border-left-color:#d97706}.mal{border-left-color:#dc2626}
.fila{display:grid;grid-template-columns:1fr 1fr;gap:16px}.fila section{margin:0 0 16px;break-inside:avoid}h2{break-after:avoid}
svg{width:100%;height:auto;display:block}svg text{font:12px "DejaVu Sans",Arial,sans-serif;fill:#334155}
.leyenda{margin:0 0 8px;color:#334155}.leyenda i{display:inline-block;width:12px;height:12px;border-radius:2px;
margin:0 4px 0 12px;vertical-align:-1px}.leyenda i:first-child{margin-left:0}
table{width:100%;border-collapse:collapse}th,td{text-align:left;padding:4px 8px;border-bottom:1px solid #e2e8f0;
vertical-align:top}th{background:#f1f5f9;font-weight:600}thead{display:table-header-group}tr{break-inside:avoid}
table.compacta{width:auto;min-width:50%}td.n{text-align:right}td.f{white-space:nowrap}tr.fallo td:first-child{border-left:4px solid #dc2626}tr.atras td:first-child{border-left:4px solid #d97706}
.motivo{display:block;color:#b91c1c;font-size:12px}.viejo{color:#94a3b8}.nada{color:#475569;margin:0}
.etq{display:inline-block;padding:0 6px;border-radius:4px;font-size:12px;background:#dcfce7;color:#166534}
.etq.mal{background:#fee2e2;color:#991b1b}.etq.aviso{background:#fef3c7;color:#92400e}
@media screen and (max-width:900px){.fila,.cifras{grid-template-columns:1fr}}
@media print{body{background:#fff;padding:0;font-size:11px}section,.cifra{border-color:#cbd5e1}
@page{size:A4 landscape;margin:12mm}}
)";

// Ring colours in the order the rings sort; the plain workstations in slate.
constexpr const char* kColores[] = {"#2563eb", "#d97706", "#7c3aed", "#0891b2", "#db2777", "#65a30d"};

std::string Numero(double x) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%.1f", x);
    return texto;
}

std::string Porcentaje(int parte, int todo) {
    return todo == 0 ? "0 %" : std::to_string((parte * 100 + todo / 2) / todo) + " %";
}

// "2024-05-10 08:15:00" as "10/05/2024 08:15".
std::string FechaCorta(const std::string& f) {
    if (f.size() < 16)
        return f;
    return f.substr(8, 2) + "/" + f.substr(5, 2) + "/" + f.substr(0, 4) + " " + f.substr(11, 5);
}

// A step of 1, 2 or 5 times a power of ten that cuts [0, maximo] into at most five.
int PasoEje(int maximo) {
    for (int escala = 1;; escala *= 10)
        for (int m : {1, 2, 5})
            if (m * escala * 5 >= maximo)
                return m * escala;
}

// A run that could not read the installed program records 0.0.0.
std::string TextoVersion(const VersionFlota& v) {
    return v == VersionFlota{0, 0, 0} ? "sin leer" : TextoVersionFlota(v);
}

} // namespace

std::string InformeHtml::Escapar(const std::string& texto) {
    std::string s;
    s.reserve(texto.size());
    for (char c : texto) {
        switch (c) {
        case '&': s += "&amp;"; break;
        case '<': s += "&lt;"; break;
        case '>': s += "&gt;"; break;
        case '"': s += "&quot;"; break;
        case '\'': s += "&#39;"; break;
        default:
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f)
                s += "\xEF\xBF\xBD";
            else
                s += c;
        }
    }
    return s;
}

InformeHtml::InformeHtml(const DatosFlota& datos, const std::string& producto)
    : datos_(datos), producto_(producto), anillos_(datos.Anillos()) {
    size_t i = 0;
    for (const std::string& a : anillos_)
        if (!a.empty())
            colorAnillo_[a] = i++ % std::size(kColores);
}

std::string InformeHtml::NombreAnillo(const std::string& anillo) const {
    return anillo.empty() ? "sin anillo" : Escapar(anillo);
}

std::string InformeHtml::ColorAnillo(const std::string& anillo) const {
    const auto color = colorAnillo_.find(anillo);
    return color == colorAnillo_.end() ? "#64748b" : kColores[color->second];
}

std::string InformeHtml::Leyenda() const {
    std::string s = "<p class=\"leyenda\">";
    for (const std::string& a : anillos_)
        s += "<i style=\"background:" + ColorAnillo(a) + "\"></i>" + NombreAnillo(a);
    return s + "</p>";
}

std::string InformeHtml::Cifras() const {
    const auto& ultimas = datos_.Ultimas();
    const int total = static_cast<int>(ultimas.size());
    int alDia = 0, fallos = 0;
    for (const EjecucionEstacion& e : ultimas) {
        alDia += e.version >= datos_.Ultima();
        fallos += DatosFlota::EsFallo(e.resultado);
    }
    const int sinVer = static_cast<int>(datos_.SinVer().size());
    auto cifra = [](const char* clase, int n, const std::string& texto) {
        return std::string("<div class=\"cifra ") + clase + "\"><b>" + std::to_string(n) + "</b><span>" + texto +
               "</span></div>";
    };
    return "<div class=\"cifras\">" + cifra("", total, "estaciones en el historial") +
           cifra(alDia == total ? "ok" : "aviso", alDia,
                 "en la versión " + TextoVersionFlota(datos_.Ultima()) + " o posterior (" +
                     Porcentaje(alDia, total) + ")") +
           cifra(fallos ? "mal" : "ok", fallos, "con fallo en su última ejecución") +
           cifra(sinVer ? "aviso" : "ok", sinVer,
                 "sin ejecutar en más de " + std::to_string(datos_.DiasAusencia()) + " días") +
           "</div>";
}

namespace {

// Horizontal bars, one row per label, each made of coloured pieces; the
// longest row takes the whole width.
struct Pieza {
    int valor;
    std::string color, titulo;
};
struct Barra {
    std::string etiqueta;
    bool resaltada;
    std::vector<Pieza> piezas;
};

std::string Barras(const std::vector<Barra>& barras, const std::string& descripcion) {
    int maximo = 1;
    for (const Barra& b : barras) {
        int suma = 0;
        for (const Pieza& p : b.piezas)
            suma += p.valor;
        maximo = std::max(maximo, suma);
    }
    const double x0 = 150, ancho = 430, alto = 28;
    std::string s = "<svg viewBox=\"0 0 640 " + std::to_string(barras.size() * 28 + 8) +
                    "\" role=\"img\" aria-label=\"" + descripcion + "\">";
    double y = 4;
    for (const Barra& b : barras) {
        s += "<text x=\"" + Numero(x0 - 8) + "\" y=\"" + Numero(y + 18) + "\" text-anchor=\"end\"" +
             (b.resaltada ? " font-weight=\"bold\"" : "") + ">" + b.etiqueta + "</text>";
        double x = x0;
        int suma = 0;
        for (const Pieza& p : b.piezas) {
            const double w = ancho * p.valor / maximo;
            s += "<rect x=\"" + Numero(x) + "\" y=\"" + Numero(y + 4) + "\" width=\"" + Numero(w) +
                 "\" height=\"20\" rx=\"2\" fill=\"" + p.color + "\"><title>" + p.titulo + ": " +
                 std::to_string(p.valor) + "</title></rect>";
            x += w;
            suma += p.valor;
        }
        s += "<text x=\"" + Numero(x + 6) + "\" y=\"" + Numero(y + 18) + "\">" + std::to_string(suma) + "</text>";
        y += alto;
    }
    return s + "</svg>";
}

} // namespace

std::string InformeHtml::GraficoVersiones() const {
    const bool anillos = !anillos_.empty();
    std::vector<Barra> barras;
    for (const auto& [version, porAnillo] : datos_.PorVersion()) {
        const bool ultima = version == datos_.Ultima();
        Barra b{TextoVersion(version) + (ultima ? " (última)" : ""), ultima, {}};
        for (const auto& [anillo, n] : porAnillo)
            b.piezas.push_back({n,
                                anillos                      ? ColorAnillo(anillo)
                                : version >= datos_.Ultima() ? "#16a34a"
                                                             : "#d97706",
                                TextoVersion(version) + ", " + NombreAnillo(anillo)});
        barras.push_back(std::move(b));
    }
    // The results of the last runs, failures in red; those no updater writes
    // in one grey bar "desconocido" (their texts in its tooltip), no failure.
    std::map<std::string, int> porResultado;
    std::set<std::string> desconocidos;
    for (const EjecucionEstacion& e : datos_.Ultimas()) {
        const bool conocido = DatosFlota::EsConocido(e.resultado);
        if (!conocido)
            desconocidos.insert(e.resultado);
        ++porResultado[conocido ? e.resultado : ""];
    }
    std::string textos;
    for (const std::string& d : desconocidos)
        textos += (textos.empty() ? "" : ", ") + Escapar(d);
    std::vector<Barra> resultados;
    for (const auto& [resultado, n] : porResultado) {
        const bool fallo = DatosFlota::EsFallo(resultado);
        const std::string color = fallo ? "#dc2626" : resultado == "al dia" ? "#16a34a" : "#64748b";
        const std::string texto = resultado.empty() ? "desconocido" : Escapar(resultado);
        resultados.push_back({texto, fallo,
                              {{n, color, resultado.empty() ? "desconocido, no cuenta como fallo: " + textos
                                                            : texto}}});
    }
    std::stable_sort(resultados.begin(), resultados.end(),
                     [](const Barra& a, const Barra& b) { return a.resaltada > b.resaltada; });
    return "<section><h2>Estaciones por versión instalada</h2>" + (anillos ? Leyenda() : "") +
           Barras(barras, "Estaciones por versión instalada") +
           "<h2 style=\"margin-top:14px\">Resultado de la última ejecución</h2>" +
           Barras(resultados, "Resultado de la última ejecución") + "</section>";
}

std::string InformeHtml::GraficoDespliegue() const {
    const auto dias = datos_.Despliegue();
    const std::string version = TextoVersionFlota(datos_.Ultima());
    std::string s = "<section><h2>Despliegue de la versión " + version + " (estaciones por día)</h2>";
    if (dias.empty())
        return s + "<p class=\"nada\">El historial está vacío.</p></section>";
    const std::vector<std::string>& anillos = anillos_;
    const int hoy = dias.back().conocidas;
    int enUltima = 0;
    for (const auto& [a, c] : dias.back().enUltima)
        enUltima += c;
    s += "<p class=\"leyenda\"><i style=\"background:#cbd5e1\"></i>estaciones vistas hasta ese día"
         "<i style=\"background:#16a34a\"></i>en " + version + " o posterior: <b>" + std::to_string(enUltima) +
         " de " + std::to_string(hoy) + " (" + Porcentaje(enUltima, hoy) + ")</b>";
    for (const std::string& a : anillos)
        s += "<i style=\"background:" + ColorAnillo(a) + "\"></i>" + NombreAnillo(a);
    s += "</p>";
    const double x0 = 44, y0 = 236, ancho = 580, alto = 220;
    const int maximo = std::max(1, dias.back().conocidas);
    const int paso = PasoEje(maximo), tope = (maximo + paso - 1) / paso * paso;
    const size_t n = dias.size();
    auto X = [&](size_t i) { return x0 + (n == 1 ? ancho / 2 : ancho * static_cast<double>(i) / (n - 1)); };
    auto Y = [&](int v) { return y0 - alto * v / tope; };
    s += "<svg viewBox=\"0 0 640 262\" role=\"img\" aria-label=\"Despliegue por día\">";
    for (int v = 0; v <= tope; v += paso)
        s += "<line x1=\"" + Numero(x0) + "\" x2=\"" + Numero(x0 + ancho) + "\" y1=\"" + Numero(Y(v)) + "\" y2=\"" +
             Numero(Y(v)) + "\" stroke=\"#e2e8f0\"/><text x=\"" + Numero(x0 - 6) + "\" y=\"" + Numero(Y(v) + 4) +
             "\" text-anchor=\"end\">" + std::to_string(v) + "</text>";
    // At most about ten date labels, the last day always.
    const size_t cada = std::max<size_t>(1, (n + 9) / 10);
    for (size_t i = 0; i < n; ++i)
        if (i % cada == 0 || i + 1 == n)
            s += "<text x=\"" + Numero(X(i)) + "\" y=\"" + Numero(y0 + 18) + "\" text-anchor=\"middle\">" +
                 dias[i].fecha.substr(8, 2) + "/" + dias[i].fecha.substr(5, 2) + "</text>";
    auto Linea = [&](auto valor, const std::string& color, const char* grosor) {
        std::string puntos;
        for (size_t i = 0; i < n; ++i)
            puntos += Numero(X(i)) + "," + Numero(Y(valor(dias[i]))) + " ";
        return "<polyline fill=\"none\" stroke=\"" + color + "\" stroke-width=\"" + grosor +
               "\" stroke-linejoin=\"round\" points=\"" + puntos + "\"/>";
    };
    auto total = [](const DatosFlota::Dia& d) {
        int suma = 0;
        for (const auto& [a, c] : d.enUltima)
            suma += c;
        return suma;
    };
    std::string area = Numero(X(0)) + "," + Numero(y0) + " ";
    for (size_t i = 0; i < n; ++i)
        area += Numero(X(i)) + "," + Numero(Y(dias[i].conocidas)) + " ";
    s += "<polygon fill=\"#e2e8f0\" points=\"" + area + Numero(X(n - 1)) + "," + Numero(y0) + "\"/>";
    for (const std::string& a : anillos)
        s += Linea([&](const DatosFlota::Dia& d) { return d.enUltima.at(a); }, ColorAnillo(a), "2");
    s += Linea(total, "#16a34a", "3");
    for (size_t i = 0; i < n; ++i)
        s += "<circle cx=\"" + Numero(X(i)) + "\" cy=\"" + Numero(Y(total(dias[i]))) +
             "\" r=\"3\" fill=\"#16a34a\"><title>" + dias[i].fecha + ": " + std::to_string(total(dias[i])) +
             " de " + std::to_string(dias[i].conocidas) + "</title></circle>";
    return s + "</svg></section>";
}

std::string InformeHtml::TablaAnillos() const {
    if (anillos_.empty())
        return {};
    std::string s = "<section><h2>Por anillo</h2><table class=\"compacta\"><thead><tr><th>Anillo</th><th>Estaciones</th><th>En " +
                    TextoVersionFlota(datos_.Ultima()) +
                    " o posterior</th><th>Con fallo</th><th>Sin ejecutar</th></tr></thead><tbody>";
    struct Cuentas {
        int total = 0, alDia = 0, fallos = 0, ausentes = 0;
    };
    std::map<std::string, Cuentas> porAnillo; // one pass over the workstations, not one per ring
    for (const EjecucionEstacion& e : datos_.Ultimas()) {
        Cuentas& c = porAnillo[e.anillo];
        ++c.total;
        c.alDia += e.version >= datos_.Ultima();
        c.fallos += DatosFlota::EsFallo(e.resultado);
    }
    for (const EjecucionEstacion& e : datos_.SinVer())
        ++porAnillo[e.anillo].ausentes;
    for (const std::string& a : anillos_) {
        const Cuentas& c = porAnillo[a];
        s += "<tr><td><i style=\"display:inline-block;width:10px;height:10px;background:" + ColorAnillo(a) +
             "\"></i> " + NombreAnillo(a) + "</td><td class=\"n\">" + std::to_string(c.total) +
             "</td><td class=\"n\">" + std::to_string(c.alDia) + " (" + Porcentaje(c.alDia, c.total) +
             ")</td><td class=\"n\">" + std::to_string(c.fallos) + "</td><td class=\"n\">" +
             std::to_string(c.ausentes) + "</td></tr>";
    }
    return s + "</tbody></table></section>";
}

std::string InformeHtml::TablaSinVer() const {
    const auto sinVer = datos_.SinVer();
    const bool anillos = !anillos_.empty();
    std::string s = "<section><h2>Estaciones sin ejecutar el actualizador en más de " +
                    std::to_string(datos_.DiasAusencia()) + " días</h2>";
    if (sinVer.empty())
        return s + "<p class=\"nada\">Ninguna.</p></section>";
    s += "<table class=\"compacta\"><thead><tr><th>Estación</th>" + std::string(anillos ? "<th>Anillo</th>" : "") +
         "<th>Versión</th><th>Última ejecución</th><th>Hace</th></tr></thead><tbody>";
    for (const EjecucionEstacion& e : sinVer)
        s += "<tr><td>" + Escapar(e.estacion) + "</td>" + (anillos ? "<td>" + NombreAnillo(e.anillo) + "</td>" : "") +
             "<td>" + TextoVersion(e.version) + "</td><td class=\"f\">" + Escapar(FechaCorta(e.fecha)) +
             "</td><td class=\"n\">" + std::to_string(datos_.DiasDesde(e)) + " días</td></tr>";
    return s + "</tbody></table></section>";
}

std::string InformeHtml::TablaUltimas() const {
    // Failures first, then the workstations behind, then the rest; by name.
    std::vector<EjecucionEstacion> filas = datos_.Ultimas();
    auto orden = [&](const EjecucionEstacion& e) {
        return DatosFlota::EsFallo(e.resultado) ? 0 : e.version < datos_.Ultima() ? 1 : 2;
    };
    std::stable_sort(filas.begin(), filas.end(),
                     [&](const EjecucionEstacion& a, const EjecucionEstacion& b) { return orden(a) < orden(b); });
    const bool anillos = !anillos_.empty();
    std::string s = "<section><h2>Última ejecución de cada estación</h2><table><thead><tr><th>Estación</th>" +
                    std::string(anillos ? "<th>Anillo</th>" : "") +
                    "<th>Usuario</th><th>Versión</th><th>Resultado</th><th>Fecha</th></tr></thead><tbody>";
    for (const EjecucionEstacion& e : filas) {
        const int o = orden(e);
        const bool viejo = datos_.DiasDesde(e) > datos_.DiasAusencia();
        s += std::string("<tr") + (o == 0 ? " class=\"fallo\"" : o == 1 ? " class=\"atras\"" : "") + "><td>" +
             Escapar(e.estacion) + "</td>" + (anillos ? "<td>" + NombreAnillo(e.anillo) + "</td>" : "") + "<td>" +
             Escapar(e.usuario) + "</td><td>" + TextoVersion(e.version) + "</td><td><span class=\"etq" +
             (o == 0 ? " mal" : o == 1 ? " aviso" : "") + "\">" + Escapar(e.resultado) + "</span>";
        if (o == 0)
            s += "<span class=\"motivo\">" + Escapar(DatosFlota::MotivoFallo(e.resultado)) + "</span>";
        else if (!DatosFlota::EsConocido(e.resultado))
            s += "<span class=\"motivo\">resultado desconocido: no cuenta como fallo</span>";
        s += "</td><td class=\"f" + std::string(viejo ? " viejo" : "") + "\">" + Escapar(FechaCorta(e.fecha)) +
             "</td></tr>";
    }
    return s + "</tbody></table></section>";
}

std::string InformeHtml::Generar() const {
    const std::string producto = Escapar(producto_);
    std::string s = "<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\">"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                    "<title>Actualizaciones de " + producto + ", " + Escapar(FechaCorta(datos_.Ahora())) +
                    "</title><style>" + kEstilo + "</style></head><body>\n";
    s += "<h1>Actualizaciones de " + producto + "</h1><p class=\"sub\">Generado el " +
         Escapar(FechaCorta(datos_.Ahora())) + " (hora del servidor), del historial de " +
         std::to_string(datos_.Ultimas().size()) + " estaciones. Versión más reciente: " +
         TextoVersionFlota(datos_.Ultima()) + ".</p>\n";
    s += Cifras() + "\n<div class=\"fila\">" + GraficoVersiones() + GraficoDespliegue() + "</div>\n";
    s += TablaAnillos() + TablaSinVer() + "\n" + TablaUltimas() + "\n</body></html>\n";
    return s;
}

} // namespace olvado::admin
