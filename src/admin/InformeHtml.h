// The fleet report as one self-contained HTML page: inline styles and SVG
// charts, no script, nothing fetched, so it opens from a mail attachment or a
// shared folder and prints as it shows. Every text from the database is
// escaped: a workstation's name is whatever its owner called it.
#pragma once

#include "admin/DatosFlota.h"

#include <map>
#include <string>
#include <vector>

namespace olvado::admin {

class InformeHtml {
public:
    InformeHtml(const DatosFlota& datos, const std::string& producto);
    std::string Generar() const;

    // Text as HTML character data or attribute value: & < > " ' escaped,
    // control characters other than tab and line ends made U+FFFD.
    static std::string Escapar(const std::string& texto);

private:
    std::string Cifras() const;
    std::string GraficoVersiones() const;
    std::string GraficoDespliegue() const;
    std::string TablaAnillos() const;
    std::string TablaSinVer() const;
    std::string TablaUltimas() const;
    std::string ColorAnillo(const std::string& anillo) const;
    std::string NombreAnillo(const std::string& anillo) const;
    std::string Leyenda() const;

    const DatosFlota& datos_;
    std::string producto_;
    // The rings once, each with its place for its colour: the page names a
    // ring in every chart and table, and an office may have thousands.
    std::vector<std::string> anillos_;
    std::map<std::string, size_t> colorAnillo_;
};

} // namespace olvado::admin
