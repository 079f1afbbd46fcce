// The close-applications form against a fake window tree: the pattern rule,
// what blocks and what does not, and the outcome of Continuar and the timer.
#include "process/frmCerrarAplicaciones.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace olvado {
namespace {

using platform::Ventana;

// Windows in the order they were added; the desktop is 1.
class ArbolFalso : public platform::IVentanasSistema {
  public:
    Reemplazo enUso_{*this};
    struct Datos {
        Ventana padre;
        std::string clase, titulo;
    };
    std::map<Ventana, Datos> ventanas;
    Ventana Agregar(Ventana padre, const std::string& clase, const std::string& titulo) {
        Ventana v = ventanas.empty() ? 2 : ventanas.rbegin()->first + 1;
        ventanas[v] = {padre, clase, titulo};
        return v;
    }
    Ventana Escritorio() override { return 1; }
    // The first child, or the next sibling.
    Ventana Relacionada(Ventana v, int32_t relacion) override {
        bool hijo = relacion == platform::GW_CHILD;
        for (auto i = ventanas.upper_bound(hijo ? 0 : v); i != ventanas.end(); ++i)
            if (i->second.padre == (hijo ? v : ventanas[v].padre))
                return i->first;
        return 0;
    }
    std::string Titulo(Ventana v) override { return ventanas[v].titulo; }
    std::string Clase(Ventana v) override { return ventanas[v].clase; }
};

TEST(frmCerrarAplicaciones, PatronConAsteriscos) {
    EXPECT_TRUE(CoincidePatron("ThunderRT6FormDC", "*ThunderRT6*"));
    EXPECT_TRUE(CoincidePatron("Ventas - Olvado", "*Olvado*"));
    EXPECT_TRUE(CoincidePatron("", "*"));
    EXPECT_TRUE(CoincidePatron("IEFrame", "IEFrame"));
    EXPECT_TRUE(CoincidePatron("abXbYb", "a*b*b"));
    EXPECT_FALSE(CoincidePatron("IEFrame2", "IEFrame"));
    EXPECT_FALSE(CoincidePatron("Ventas - OLVADO", "*Olvado*"));
    EXPECT_FALSE(CoincidePatron("abXbY", "a*b"));
    EXPECT_FALSE(CoincidePatron("", "?"));
}

TEST(frmCerrarAplicaciones, QueBloqueaYQueNo) {
    ArbolFalso arbol;
    arbol.Agregar(1, "ThunderRT6FormDC", "Calculadora");
    arbol.Agregar(1, "IEFrameX", "Inicio");
    {
        frmCerrarAplicaciones f;
        EXPECT_TRUE(f.List1().empty());
        EXPECT_TRUE(f.ProgramasCerrados); // nothing found: never shown
    }
    // One window titled as the product (blanks aside) does not block; the
    // same in other letter case does.
    Ventana principal = arbol.Agregar(1, "ThunderRT6FormDC", " Olvado ");
    frmCerrarAplicaciones f;
    EXPECT_FALSE(f.ProgramasCerrados); // the name was not known yet
    f.NombreProducto = "Olvado";
    EXPECT_TRUE(f.TodoListo());
    f.NombreProducto = "OLVADO";
    EXPECT_FALSE(f.TodoListo());
    // A family program's button is listed before its window, and a Word
    // window without a title as an empty line.
    arbol.Agregar(principal, "ThunderRT6CommandButton", "Cerrar Olvado");
    Ventana word = arbol.Agregar(1, "OpusApp", "");
    frmCerrarAplicaciones g;
    g.NombreProducto = "Olvado";
    EXPECT_EQ(g.List1(), (std::vector<std::string>{"Cerrar Olvado", " Olvado ", ""}));
    g.bContinuar_Click();
    EXPECT_FALSE(g.ProgramasCerrados);
    EXPECT_EQ(g.Label2(), frmCerrarAplicaciones::kAviso);
    // The timer finds them gone and continues by itself.
    arbol.ventanas.erase(principal);
    arbol.ventanas.erase(word);
    g.Timer1_Timer();
    EXPECT_TRUE(g.List1().empty());
    EXPECT_TRUE(g.ProgramasCerrados);
}

} // namespace
} // namespace olvado
