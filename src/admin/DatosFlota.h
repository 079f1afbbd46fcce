// The fleet as the history shows it: each workstation's last run, how many
// workstations run each version, how the newest package spread day by day and
// which workstations have not been seen for a while, for the whole office and
// per ring. Pure arithmetic on the rows of HistorialAct: no database here.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace olvado::admin {

using VersionFlota = std::tuple<int32_t, int32_t, int32_t>;

std::string TextoVersionFlota(const VersionFlota& v);

// One row of HistorialAct. anillo is "" for a workstation of no ring; fecha
// is the server's "AAAA-MM-DD hh:mm:ss".
struct EjecucionEstacion {
    std::string estacion, usuario, anillo, resultado, fecha;
    VersionFlota version{0, 0, 0};
};

class DatosFlota {
public:
    struct Dia {
        std::string fecha;                 // "AAAA-MM-DD"
        int conocidas = 0;                 // seen at least once up to that day
        std::map<std::string, int> enUltima; // per ring ("" the plain ones) on the newest version or later
    };

    // filas in any order; ultima the newest package (the highest version of
    // the history when it is (0,0,0)); ahora the server's time; dias the
    // absence that makes a workstation "not seen".
    DatosFlota(std::vector<EjecucionEstacion> filas, VersionFlota ultima, const std::string& ahora, int32_t dias);

    const VersionFlota& Ultima() const { return ultima_; }
    const std::string& Ahora() const { return ahora_; }
    int32_t DiasAusencia() const { return dias_; }
    // Each workstation's last run (its ring is that run's), by name.
    const std::vector<EjecucionEstacion>& Ultimas() const { return ultimas_; }
    // The rings that appear, "" (no ring) first; empty when no row has one.
    std::vector<std::string> Anillos() const;
    // Version -> ring -> workstations whose last run reported it, newest first.
    std::map<VersionFlota, std::map<std::string, int>, std::greater<>> PorVersion() const;
    // From the day before the newest version first showed (or the history's
    // first day) to today, at most maxDias days (the last ones). Each
    // workstation counts in its present ring.
    std::vector<Dia> Despliegue(int32_t maxDias = 60) const;
    // Last runs older than the absence, the longest absent first.
    std::vector<EjecucionEstacion> SinVer() const;
    // Whole days from the run to ahora (0 on the same day).
    int32_t DiasDesde(const EjecucionEstacion& e) const;

    // The failures the updater records: digest, signature, no digest, and a
    // run stopped before the installer. A result no version of the updater
    // writes (a newer one's, a hand-made row) is unknown, not a failure.
    static bool EsFallo(const std::string& resultado);
    static bool EsConocido(const std::string& resultado);
    // What a failure means, for the administrator ("" when it is none).
    static std::string MotivoFallo(const std::string& resultado);
    // Days since 1970-01-01 of a text that begins "AAAA-MM-DD"; false otherwise.
    static bool DiaCivil(const std::string& fecha, int64_t& dia);
    static std::string TextoDia(int64_t dia);

private:
    std::vector<EjecucionEstacion> filas_, ultimas_;
    VersionFlota ultima_;
    std::string ahora_;
    int32_t dias_;
};

} // namespace olvado::admin
