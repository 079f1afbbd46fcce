#include "admin/DatosFlota.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace olvado::admin {

std::string TextoVersionFlota(const VersionFlota& v) {
    return std::to_string(std::get<0>(v)) + "." + std::to_string(std::get<1>(v)) + "." +
           std::to_string(std::get<2>(v));
}

DatosFlota::DatosFlota(std::vector<EjecucionEstacion> filas, VersionFlota ultima, const std::string& ahora,
                       int32_t dias)
    : ultima_(ultima), ahora_(ahora), dias_(dias) {
    // A row without a readable date cannot be placed in time: it is left out.
    int64_t dia = 0;
    for (EjecucionEstacion& f : filas)
        if (DiaCivil(f.fecha, dia))
            filas_.push_back(std::move(f));
    // The text "AAAA-MM-DD hh:mm:ss" sorts as time does; rows of the same
    // second keep the order they were read in.
    std::stable_sort(filas_.begin(), filas_.end(),
                     [](const EjecucionEstacion& a, const EjecucionEstacion& b) { return a.fecha < b.fecha; });
    std::map<std::string, const EjecucionEstacion*> ultimas;
    for (const EjecucionEstacion& f : filas_) {
        ultimas[f.estacion] = &f;
        if (ultima == VersionFlota{0, 0, 0})
            ultima_ = std::max(ultima_, f.version);
    }
    for (const auto& [nombre, f] : ultimas)
        ultimas_.push_back(*f);
}

std::vector<std::string> DatosFlota::Anillos() const {
    std::set<std::string> anillos;
    for (const EjecucionEstacion& e : ultimas_)
        anillos.insert(e.anillo);
    if (anillos.size() == 1 && anillos.count("") == 1)
        return {};
    return {anillos.begin(), anillos.end()};
}

std::map<VersionFlota, std::map<std::string, int>, std::greater<>> DatosFlota::PorVersion() const {
    std::map<VersionFlota, std::map<std::string, int>, std::greater<>> porVersion;
    for (const EjecucionEstacion& e : ultimas_)
        ++porVersion[e.version][e.anillo];
    return porVersion;
}

std::vector<DatosFlota::Dia> DatosFlota::Despliegue(int32_t maxDias) const {
    std::vector<Dia> dias;
    if (filas_.empty())
        return dias;
    int64_t primero = 0, hoy = 0, llegada = -1, d = 0;
    DiaCivil(filas_.front().fecha, primero);
    if (!DiaCivil(ahora_, hoy))
        DiaCivil(filas_.back().fecha, hoy);
    for (const EjecucionEstacion& f : filas_)
        if (f.version >= ultima_ && DiaCivil(f.fecha, d) && (llegada < 0 || d < llegada))
            llegada = d;
    int64_t inicio = llegada >= 0 ? std::max(primero, llegada - 1) : std::max(primero, hoy - 13);
    inicio = std::max(inicio, hoy - maxDias + 1);

    std::map<std::string, std::string> anillo; // each workstation's present ring
    for (const EjecucionEstacion& e : ultimas_)
        anillo[e.estacion] = e.anillo;
    const std::vector<std::string> anillos = Anillos();
    std::map<std::string, VersionFlota> version; // as of the day being drawn
    size_t siguiente = 0;
    for (int64_t dia = inicio; dia <= hoy || dias.empty(); ++dia) {
        // A run dated after today (a clock ahead) counts on the last day.
        while (siguiente < filas_.size() && DiaCivil(filas_[siguiente].fecha, d) && (d <= dia || dia >= hoy)) {
            version[filas_[siguiente].estacion] = filas_[siguiente].version;
            ++siguiente;
        }
        Dia x;
        x.fecha = TextoDia(dia);
        x.conocidas = static_cast<int>(version.size());
        for (const std::string& a : anillos.empty() ? std::vector<std::string>{""} : anillos)
            x.enUltima[a] = 0;
        for (const auto& [estacion, v] : version)
            if (v >= ultima_)
                ++x.enUltima[anillo[estacion]];
        dias.push_back(std::move(x));
    }
    return dias;
}

int32_t DatosFlota::DiasDesde(const EjecucionEstacion& e) const {
    int64_t hoy = 0, dia = 0;
    if (!DiaCivil(ahora_, hoy) || !DiaCivil(e.fecha, dia))
        return 0;
    return static_cast<int32_t>(std::max<int64_t>(0, hoy - dia));
}

std::vector<EjecucionEstacion> DatosFlota::SinVer() const {
    std::vector<EjecucionEstacion> sinVer;
    for (const EjecucionEstacion& e : ultimas_)
        if (DiasDesde(e) > dias_)
            sinVer.push_back(e);
    std::stable_sort(sinVer.begin(), sinVer.end(),
                     [](const EjecucionEstacion& a, const EjecucionEstacion& b) { return a.fecha < b.fecha; });
    return sinVer;
}

bool DatosFlota::EsFallo(const std::string& resultado) {
    return resultado == "digesto distinto" || resultado == "firma no valida" || resultado == "sin digesto" ||
           resultado == "error";
}

bool DatosFlota::EsConocido(const std::string& resultado) {
    return EsFallo(resultado) || resultado == "al dia" || resultado == "instalando" || resultado == "sin paquete";
}

std::string DatosFlota::MotivoFallo(const std::string& resultado) {
    if (resultado == "digesto distinto")
        return "el paquete escrito no coincide con el digest MD5 publicado: se borró sin ejecutarlo";
    if (resultado == "firma no valida")
        return "la firma del paquete no es válida para la clave pública de la estación";
    if (resultado == "sin digesto")
        return "el paquete publicado no tiene un digest MD5 cifrado válido: no se ejecuta";
    if (resultado == "error")
        return "la ejecución se detuvo antes de iniciar el instalador (versión instalada ilegible, paquete "
               "no escrito o base de datos): vea el registro de la estación";
    return {};
}

bool DatosFlota::DiaCivil(const std::string& fecha, int64_t& dia) {
    if (fecha.size() < 10 || fecha[4] != '-' || fecha[7] != '-')
        return false;
    int64_t y = 0, m = 0, d = 0;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (fecha[i] < '0' || fecha[i] > '9')
            return false;
    y = std::stoi(fecha.substr(0, 4)), m = std::stoi(fecha.substr(5, 2)), d = std::stoi(fecha.substr(8, 2));
    if (m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    // Days from the civil date (the proleptic Gregorian calendar).
    y -= m <= 2;
    const int64_t era = y / 400, anioEra = y - era * 400;
    const int64_t diaAnio = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    dia = era * 146097 + (anioEra * 365 + anioEra / 4 - anioEra / 100 + diaAnio) - 719468;
    return true;
}

std::string DatosFlota::TextoDia(int64_t dia) {
    dia += 719468;
    const int64_t era = dia / 146097, diaEra = dia - era * 146097;
    const int64_t anioEra = (diaEra - diaEra / 1460 + diaEra / 36524 - diaEra / 146096) / 365;
    const int64_t diaAnio = diaEra - (365 * anioEra + anioEra / 4 - anioEra / 100);
    const int64_t mp = (5 * diaAnio + 2) / 153, d = diaAnio - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9, y = anioEra + era * 400 + (m <= 2);
    char texto[16];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02d", static_cast<int>(y), static_cast<int>(m),
                  static_cast<int>(d));
    return texto;
}

} // namespace olvado::admin
