// The dialog that asks the user to close the family's programs, Internet
// Explorer and Word before a package runs. It lists the titles of their
// windows, refreshes the list every two seconds and lets the user go on only
// when the list is clear, closing itself as soon as it is. Created, asked
// (TodoListo), shown modally when needed and read (ProgramasCerrados) by the
// common utilities' EsperarACerrar.
#pragma once

#include "platform/Dialogos.h"
#include "platform/VentanasSistema.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado {

// The search table's pattern rule: "*" stands for any run of characters,
// also none; every other character matches only itself, case-sensitively.
bool CoincidePatron(const std::string& texto, const std::string& patron);

class frmCerrarAplicaciones : private platform::IEventosCerrarAplicaciones {
public:
    // Form_Initialize: ProgramasCerrados False, then one search.
    frmCerrarAplicaciones();

    bool ProgramasCerrados = false;
    std::string NombreProducto;

    // True when the list is clear: no entry, or a single one that, trimmed,
    // is exactly NombreProducto. Reads the list; does not search.
    bool TodoListo() const;
    // Modal until the form is hidden (continue with a clear list, cancel).
    void Show();

    // The controls' state, as the window shows it.
    const std::vector<std::string>& List1() const { return list1_; }
    const std::string& Label2() const { return label2_; }

    void Timer1_Timer() { ActualizarLista(); }
    void bContinuar_Click();
    void Command1_Click() { visible_ = false; }

    static inline const char* const kCaption = "Actualización de Productos";
    static inline const char* const kLabel1 = "Se requiere que cierre primero los siguientes programas o ventanas:";
    static inline const char* const kAviso = "Favor cierre primero las ventanas que aparecen en la lista";

private:
    void ActualizarLista();
    void BuscarVentanas(platform::Ventana Padre, const std::string& Titulo, const std::string& Clase);

    const std::vector<std::string>& Lista() const override { return list1_; }
    const std::string& Aviso() const override { return label2_; }
    bool Visible() const override { return visible_; }
    void AlTemporizador() override { Timer1_Timer(); }
    void AlContinuar() override { bContinuar_Click(); }
    void AlCancelar() override { Command1_Click(); }

    std::vector<std::string> list1_;
    std::string label2_;
    bool visible_ = false;
    int16_t profundidad_ = 0;
};

} // namespace olvado
