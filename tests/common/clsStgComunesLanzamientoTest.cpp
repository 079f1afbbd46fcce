#include "base/ErrorOlvado.h"
#include "common/clsStgComunes.h"
#include "support/LanzadorFalso.h"
#include "support/MensajesFalsos.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace olvado;

// The common utilities' launch members, over the shell fake: the real start
// is LanzamientoTest's.
TEST(clsStgComunesTest, LosMiembrosDeLanzamiento) {
    prueba::MensajesFalsos mensajes;
    prueba::LanzadorFalso shell;
    clsStgComunes comunes;
    {
        prueba::FichaFalsa ficha({"Usuarios"});
        EXPECT_FALSE(comunes.EsAdministrador());
        EXPECT_EQ(mensajes.Cantidad(), 0u);
        EXPECT_FALSE(comunes.EsAdministrador(true));
        ASSERT_EQ(mensajes.Cantidad(), 1u);
        EXPECT_EQ(std::tie(mensajes.Ultimo().texto, mensajes.Ultimo().estilo, mensajes.Ultimo().titulo),
                  std::make_tuple(comunes.LRS(45212), 48, comunes.Producto()));
        EXPECT_FALSE(comunes.EsAdministrador(true, "Pida ayuda"));
        EXPECT_EQ(mensajes.Ultimo().texto, "Pida ayuda");
    }
    prueba::FichaFalsa ficha({"Administradores"});
    EXPECT_TRUE(comunes.EsAdministrador(true));
    EXPECT_EQ(mensajes.Cantidad(), 2u);

    // EjecutarComoAdmin always waits; EjecutarArchivo waits when asked, and a
    // refused start is False without a box of its own.
    struct Formulario : IFormulario {
        std::string TypeName() const override { return "Form"; }
        intptr_t hWnd() const override { return 42; }
        std::string Caption() const override { return "Clientes"; }
        void PopupMenu(IMenu&, int32_t, int32_t) override {}
        int32_t BitsPorPixel() const override { return 32; }
    } f;
    ASSERT_TRUE(comunes.EjecutarComoAdmin(0, "C:\\Instalador con espacios\\a.exe", "/SILENT"));
    ASSERT_TRUE(comunes.EjecutarArchivo("C:\\b.exe", "/x", 0, true));
    ASSERT_TRUE(comunes.InvocarOutLook(" ana@ejemplo.com ", f));
    shell.codigo = 2;
    EXPECT_FALSE(comunes.EjecutarArchivo("C:\\no-existe.exe"));
    EXPECT_EQ(mensajes.Cantidad(), 2u);
    using P = std::tuple<std::string, std::string, std::vector<std::string>, int32_t, int32_t, bool>;
    std::vector<P> vistas;
    for (const auto& p : shell.peticiones)
        vistas.emplace_back(p.verbo, p.archivo, p.argumentos, p.ventana, p.mostrar, p.esperar);
    EXPECT_EQ(vistas, (std::vector<P>{{"", "C:\\Instalador con espacios\\a.exe", {"/SILENT"}, 0, 0, true},
                                      {"", "C:\\b.exe", {"/x"}, 0, 0, true},
                                      {"open", "mailto:ana@ejemplo.com", {}, 42, 1, false},
                                      {"", "C:\\no-existe.exe", {}, 0, 0, false}}));

    // A fault of the shell call itself is EjecutarArchivo's message.
    shell.falla = ErrorOlvado(7, "Shell", "Memoria insuficiente");
    EXPECT_FALSE(comunes.EjecutarArchivo("C:\\informe.txt"));
    ASSERT_EQ(mensajes.Cantidad(), 3u);
    EXPECT_EQ(mensajes.Ultimo().texto, "Ocurrio un error al intentar ejecutar C:\\informe.txt");
}
