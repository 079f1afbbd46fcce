// The night window of the scheduled preparation, as an administrator writes
// it ("01:00-05:00", local time; a window may cross midnight), and the minute
// of it drawn for one machine, so that the workstations of an office do not
// all reach the server at once.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

class VentanaPreparacion {
  public:
    static constexpr int32_t kMinutosDia = 24 * 60;

    // Two times HH:MM (00:00 to 23:59) joined by "-", blanks around them
    // allowed. False, with Motivo, for anything else and for a window whose
    // two ends are the same minute; the window is then left as it was.
    bool Leer(const std::string& Texto, std::string& Motivo);
    // The minute of the day (0 to 1439) that lies Azar minutes into the
    // window, Azar taken modulo its length: always inside it.
    int32_t Minuto(uint64_t Azar) const;
    // A minute of the day as "HH:MM".
    static std::string Hora(int32_t Minuto);

    int32_t Inicio() const { return inicio_; }
    int32_t Duracion() const { return duracion_; }

  private:
    int32_t inicio_ = 60, duracion_ = 240; // 01:00-05:00
};

} // namespace olvado
