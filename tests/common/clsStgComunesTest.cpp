// The common utilities that the updater's road uses: separators and masks
// (the SQL dialect engine), registry members, messages and the event log.
#include "support/RegistroPrueba.h"

#include "base/Texto.h"
#include "common/Formato.h"
#include "common/clsStgComunes.h"
#include "support/MensajesFalsos.h"

#include <gtest/gtest.h>

using namespace olvado;

namespace {

platform::ConfiguracionRegional Regional(std::string dec, std::string mil) {
    platform::ConfiguracionRegional r;
    r.SeparadorDecimal = std::move(dec);
    r.SeparadorMillar = std::move(mil);
    r.MesesAbreviados = {"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"};
    return r;
}

} // namespace

TEST(clsStgComunesTest, SeparadoresYMascaras) {
    // Without grouping the sample is seven characters.
    for (auto [muestra, esperado] : {std::pair{"1,234.56", ".|,"}, {"1.234,56", ",|."}, {"1234,56", ",|"}}) {
        std::string d, m;
        SeparadoresDesdeMuestra(muestra, d, m);
        EXPECT_EQ(d + "|" + m, esperado) << muestra;
    }

    auto en = Regional(".", ","), es = Regional(",", "."), sinGrupos = Regional(",", "");
    EXPECT_EQ(FormatoNumero(1234.56, "#,###.##", en), "1,234.56");
    EXPECT_EQ(FormatoNumero(1234.56, "#,###.##", es), "1.234,56");
    EXPECT_EQ(FormatoNumero(1234.56, "#,###.##", sinGrupos), "1234,56");
    EXPECT_EQ(FormatoNumero(1234567, "#,##0.", en), "1,234,567.");
    EXPECT_EQ(FormatoNumero(0.125, "#,##0.00", en), "0.13"); // halves away from zero
    EXPECT_EQ(FormatoNumero(-1234.5, "#,##0.00", en), "-1,234.50");
    EXPECT_EQ(FormatoNumero(42, "000000", en), "000042");
    EXPECT_EQ(FormatoNumero(0.5, "#.##", en), ".5");
    EXPECT_EQ(FormatoFecha(2026, 12, 5, 9, 7, 3, "dd-mmm-yy Hh:Nn", es), "05-dic-26 09:07");
    EXPECT_EQ(FormatoFecha(2026, 1, 31, 23, 59, 0, "yyyy/mm/dd hh:mm:ss", es), "2026/01/31 23:59:00");

    clsStgComunes c; // the regional settings of the machine the test runs on
    auto r = platform::LeerConfiguracionRegional();
    EXPECT_EQ(c.sSepDecimal, r.SeparadorDecimal);
    EXPECT_EQ(c.sSepMillar, r.SeparadorMillar);
}

TEST(clsStgComunesTest, RegistroDelProductoYCredenciales) {
    prueba::RegistroPrueba p;
    prueba::RegistroPrueba base("Olvado Systems"); // the shared key is removed at the end
    clsStgComunes c;
    const std::string otra = p.Ruta() + "\\Otra", falta = p.Ruta() + "\\Falta";
    Variante v = std::string("sin tocar");
    EXPECT_TRUE(c.RegTool5_GetKeyValue(HKEY_LOCAL_MACHINE, falta, "d", v));
    EXPECT_EQ(std::get<std::string>(v), "sin tocar"); // no default given: left as it was
    EXPECT_TRUE(c.RegTool5_GetKeyValue(HKEY_LOCAL_MACHINE, falta, "d", v, Variante(int32_t{3})));
    EXPECT_EQ(std::get<int32_t>(v), 3);
    EXPECT_TRUE(c.RegTool5_UpdateKey(HKEY_LOCAL_MACHINE, otra, "d", int32_t{9}, false, REG_DWORD));
    EXPECT_TRUE(c.RegTool5_GetKeyValue(HKEY_LOCAL_MACHINE, otra, "d", v));
    EXPECT_EQ(std::get<int32_t>(v), 9);
    EXPECT_TRUE(c.RegTool5_DeleteKey(HKEY_LOCAL_MACHINE, otra));
    EXPECT_TRUE(c.RegTool5_DeleteKey(HKEY_LOCAL_MACHINE, otra)); // already gone: still True

    // The data folder follows the object's company and product.
    c.EstablecerDatosCompania("Comp", "Prod");
    std::string comun = c.RutaArchivoDatos(true), usuario = c.RutaArchivoDatos();
    ASSERT_FALSE(comun.empty());
    for (const std::string& ruta : {comun, usuario})
        EXPECT_TRUE(ruta.ends_with(std::string("Comp") + ruta.back() + "Prod" + ruta.back())) << ruta;
    EXPECT_NE(comun, usuario);

    EXPECT_FALSE(c.Registro_GuardarCredenciales("", "CLAVE"));
    EXPECT_FALSE(c.Registro_GuardarCredenciales("USUARIO", ""));
    cRegistry r;
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey("SOFTWARE\\Olvado Systems\\Base\\");
    EXPECT_FALSE(r.KeyExists()); // nothing written
    EXPECT_TRUE(c.Registro_GuardarCredenciales("0A1B2C", "3D4E5F"));
    r.ValueKey("RAUse");
    EXPECT_EQ(std::get<std::string>(r.value()), "0A1B2C");
    r.ValueKey("RACon");
    EXPECT_EQ(std::get<std::string>(r.value()), "3D4E5F");
}

TEST(clsStgComunesTest, MensajesYRegistroDeEventos) {
    prueba::MensajesFalsos caja;
    clsStgComunes c;
    c.MostrarERRExt(53, "Fuente");
    c.MostrarERRExt(99999, "", "Al abrir");
    struct Errores : IErroresProveedor {
        int32_t Cantidad() const override { return 2; }
        ErrorProveedor Elemento(int32_t i) const override {
            return i == 0 ? ErrorProveedor{-2147217900, "Sintaxis incorrecta cerca de 'FORM'."}
                          : ErrorProveedor{-2147467259, "otro"};
        }
    } errores;
    c.MostrarERRExt(-2147217900, "Error", "", &errores);
    ASSERT_EQ(caja.Cantidad(), 3u);
    const auto& m = caja.mostrados;
    EXPECT_EQ(std::tie(m[0].texto, m[0].estilo, m[0].titulo),
              std::make_tuple("No se ha encontrado el archivo", 48, "Fuente"));
    EXPECT_EQ(m[1].texto, "Al abrir:\r\n\r\nError definido por la aplicación o el objeto");
    EXPECT_EQ(m[2].texto, "Sintaxis incorrecta cerca de 'FORM'.");

    std::string texto = c.ApiError(2, "", true);
    EXPECT_FALSE(texto.empty());
    EXPECT_EQ(std::tie(m[3].texto, m[3].estilo, m[3].titulo), std::make_tuple(texto, 48, "Olvado Systems"));
    EXPECT_EQ(c.ApiError(0x3FFFFFF, "", true), "");
    EXPECT_EQ(caja.Cantidad(), 4u); // nothing found, nothing shown

    prueba::EventosFalsos eventos;
    EXPECT_TRUE(c.Eventos_RegistrarMensaje(1, "fallo"));
    EXPECT_TRUE(c.Eventos_RegistrarMensaje(2, "aviso", "Otro"));
    EXPECT_TRUE(c.Eventos_RegistrarMensaje(7, "raro"));
    c.EstablecerDatosCompania("C", "");
    EXPECT_TRUE(c.Eventos_Registrar(4, "", 5, {1, 2}, {"uno", "dos"}));
    ASSERT_EQ(eventos.vistos.size(), 4u);
    auto e = eventos.vistos;
    EXPECT_EQ(std::make_tuple(e[0].Origen, e[0].Tipo, e[0].Id, e[0].Mensaje),
              std::make_tuple("Olvado", 1, 3000, "fallo"));
    EXPECT_EQ(std::make_tuple(e[1].Origen, e[1].Tipo, e[1].Id), std::make_tuple("Otro", 2, 2000));
    EXPECT_EQ(std::make_tuple(e[2].Tipo, e[2].Id, e[2].Categoria), std::make_tuple(0, 1000, 1));
    EXPECT_EQ(std::make_tuple(e[3].Origen, e[3].Tipo, e[3].Mensaje), std::make_tuple("Aplicacion", 4, "uno"));
    EXPECT_EQ(e[3].Datos, (std::vector<uint8_t>{1, 2}));
}
