// The common utilities: separators and masks, registry members, messages,
// the event log, text rules and the rules of input boxes on plain objects.
#include "support/RegistroPrueba.h"

#include "common/Formato.h"
#include "common/Texto.h"
#include "common/clsStgComunes.h"
#include "platform/EventLog.h"
#include "platform/MessageBox.h"

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

struct Caja : platform::IMessageBox {
    std::vector<std::tuple<std::string, int32_t, std::string>> vistas;
    Caja() { platform::EstablecerMessageBox(this); }
    ~Caja() override { platform::EstablecerMessageBox(nullptr); }
    int32_t Mostrar(const std::string& t, int32_t e, const std::string& ti) override {
        vistas.emplace_back(t, e, ti);
        return platform::vbOK;
    }
};

struct CajaTexto : ICuadroTexto {
    std::string text, dataField;
    int32_t selStart = 0, selLength = 0, alignment = 0;
    std::string Text() const override { return text; }
    void Text(const std::string& v) override { text = v; }
    int32_t SelStart() const override { return selStart; }
    void SelStart(int32_t v) override { selStart = v; }
    int32_t SelLength() const override { return selLength; }
    void SelLength(int32_t v) override { selLength = v; }
    void SelText(const std::string& v) override {
        text = Left(text, selStart) + v + Mid(text, selStart + selLength + 1);
        selStart += Len(v);
        selLength = 0;
    }
    std::string DataField() const override { return dataField; }
    void DataField(const std::string& v) override { dataField = v; }
    void Alignment(int32_t v) override { alignment = v; }
};

} // namespace

TEST(clsStgComunesTest, SeparadoresYMascaras) {
    std::string d, m;
    SeparadoresDesdeMuestra("1,234.56", d, m);
    EXPECT_EQ(d + "|" + m, ".|,");
    SeparadoresDesdeMuestra("1.234,56", d, m);
    EXPECT_EQ(d + "|" + m, ",|.");
    SeparadoresDesdeMuestra("1234,56", d, m); // no grouping: seven characters
    EXPECT_EQ(d + "|" + m, ",|");

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
    EXPECT_EQ(c.sDefaultMascaraNumero, "000000");
    EXPECT_EQ(c.sDefaultMascaraMoneda, "#,##0.00");
    EXPECT_EQ(c.sDefaultMascaraFecha, "dd-mmm-yy Hh:Nn");
    EXPECT_EQ(std::get<std::string>(c.sDefaultMascaraFechaCorta), "dd-mmm-yy");
    EXPECT_EQ(c.MainItem(), "DEF");
    EXPECT_FALSE(std::get<bool>(c.VB_EstaEnIDE()));
    std::string v;
    EXPECT_FALSE(c.INI_LeerValorINI("a.ini", "s", "p", v));
    EXPECT_FALSE(c.INI_EscribirValorINI("a.ini", "s", "p", "v"));
}

TEST(clsStgComunesTest, RegistroDelProductoYCredenciales) {
    prueba::RegistroPrueba p;
    prueba::RegistroPrueba base("Olvado Systems"); // the shared key is removed at the end
    clsStgComunes c;
    EXPECT_EQ(c.Compania(), "Olvado Systems");
    EXPECT_EQ(c.Producto(), "Olvado");
    c.EstablecerDatosCompania(p.Compania(), "Prod");
    EXPECT_TRUE(c.Registro_SetValor("Sub", "n", int32_t{7}, 1));
    Variante v;
    EXPECT_TRUE(c.Registro_GetValor("Sub", "n", v, 1, int32_t{0}));
    EXPECT_EQ(std::get<int32_t>(v), 7);
    cRegistry r;
    r.ClassKey(HKEY_LOCAL_MACHINE);
    r.SectionKey(p.Ruta() + "\\Prod\\Sub");
    EXPECT_TRUE(r.KeyExists());

    EXPECT_TRUE(c.RegTool5_UpdateKey(HKEY_LOCAL_MACHINE, p.Ruta() + "\\Otra", "d", int32_t{9}, false, REG_DWORD));
    EXPECT_TRUE(c.RegTool5_GetKeyValue(HKEY_LOCAL_MACHINE, p.Ruta() + "\\Otra", "d", v));
    EXPECT_EQ(std::get<int32_t>(v), 9);
    v = std::string("sin tocar");
    EXPECT_TRUE(c.RegTool5_GetKeyValue(HKEY_LOCAL_MACHINE, p.Ruta() + "\\Falta", "d", v));
    EXPECT_EQ(std::get<std::string>(v), "sin tocar"); // no default given: left as it was
    EXPECT_TRUE(c.RegTool5_GetKeyValue(HKEY_LOCAL_MACHINE, p.Ruta() + "\\Falta", "d", v, Variante(int32_t{3})));
    EXPECT_EQ(std::get<int32_t>(v), 3);
    EXPECT_TRUE(c.RegTool5_DeleteKey(HKEY_LOCAL_MACHINE, p.Ruta() + "\\Otra"));
    EXPECT_TRUE(c.RegTool5_DeleteKey(HKEY_LOCAL_MACHINE, p.Ruta() + "\\Otra")); // already gone: still True

    // The data folder follows the object's company and product.
    c.EstablecerDatosCompania("Comp", "Prod");
    std::string comun = c.RutaArchivoDatos(true), usuario = c.RutaArchivoDatos();
    ASSERT_FALSE(comun.empty());
    EXPECT_TRUE(comun.ends_with(std::string("Comp") + comun.back() + "Prod" + comun.back())) << comun;
    EXPECT_TRUE(usuario.ends_with(std::string("Comp") + usuario.back() + "Prod" + usuario.back())) << usuario;
    EXPECT_NE(comun, usuario);

    EXPECT_FALSE(c.Registro_GuardarCredenciales("", "CLAVE"));
    EXPECT_FALSE(c.Registro_GuardarCredenciales("USUARIO", ""));
    r.SectionKey("SOFTWARE\\Olvado Systems\\Base\\");
    EXPECT_FALSE(r.KeyExists()); // nothing written
    EXPECT_TRUE(c.Registro_GuardarCredenciales("0A1B2C", "3D4E5F"));
    r.ValueKey("RAUse");
    EXPECT_EQ(std::get<std::string>(r.value()), "0A1B2C");
    r.ValueKey("RACon");
    EXPECT_EQ(std::get<std::string>(r.value()), "3D4E5F");
}

TEST(clsStgComunesTest, MensajesYRegistroDeEventos) {
    Caja caja;
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
    ASSERT_EQ(caja.vistas.size(), 3u);
    EXPECT_EQ(caja.vistas[0], std::make_tuple(std::string("No se ha encontrado el archivo"), 48, std::string("Fuente")));
    EXPECT_EQ(std::get<0>(caja.vistas[1]), "Al abrir:\r\n\r\nError definido por la aplicación o el objeto");
    EXPECT_EQ(std::get<0>(caja.vistas[2]), "Sintaxis incorrecta cerca de 'FORM'.");

    std::string texto = c.ApiError(2, "", true);
    EXPECT_FALSE(texto.empty());
    EXPECT_EQ(caja.vistas.back(), std::make_tuple(texto, 48, std::string("Olvado Systems")));
    EXPECT_EQ(c.ApiError(0x3FFFFFF, "", true), "");
    EXPECT_EQ(caja.vistas.size(), 4u); // nothing found, nothing shown

    struct Eventos : platform::IEventos {
        std::vector<platform::Evento> vistos;
        bool Registrar(const platform::Evento& e) override {
            vistos.push_back(e);
            return true;
        }
    } eventos;
    platform::EstablecerEventos(&eventos);
    EXPECT_TRUE(c.Eventos_RegistrarMensaje(1, "fallo"));
    EXPECT_TRUE(c.Eventos_RegistrarMensaje(2, "aviso", "Otro"));
    EXPECT_TRUE(c.Eventos_RegistrarMensaje(7, "raro"));
    c.EstablecerDatosCompania("C", "");
    EXPECT_TRUE(c.Eventos_Registrar(4, "", 5, {1, 2}, {"uno", "dos"}));
    platform::EstablecerEventos(nullptr);
    ASSERT_EQ(eventos.vistos.size(), 4u);
    auto e = eventos.vistos;
    EXPECT_EQ(std::make_tuple(e[0].Origen, e[0].Tipo, e[0].Id, e[0].Mensaje), std::make_tuple("Olvado", 1, 3000, "fallo"));
    EXPECT_EQ(std::make_tuple(e[1].Origen, e[1].Tipo, e[1].Id), std::make_tuple("Otro", 2, 2000));
    EXPECT_EQ(std::make_tuple(e[2].Tipo, e[2].Id, e[2].Categoria), std::make_tuple(0, 1000, 1));
    EXPECT_EQ(std::make_tuple(e[3].Origen, e[3].Tipo, e[3].Mensaje), std::make_tuple("Aplicacion", 4, "uno"));
    EXPECT_EQ(e[3].Datos, (std::vector<uint8_t>{1, 2}));
}

TEST(clsStgComunesTest, ReglasDeTexto) {
    clsStgComunes c;
    EXPECT_EQ(c.UnaLinea("a\r\nb\tc\r\n", "|"), "a||b|c||");
    EXPECT_EQ(c.UnaLinea(""), "");
    EXPECT_EQ(c.TrimCRLF("ab \r\n"), "ab ");
    EXPECT_EQ(c.TrimCRLF("ab\r\n\r\n  "), "ab");

    std::string t = "uno\r\ndos";
    EXPECT_EQ(c.String_ExtraerLinea(t, "", true), "");
    EXPECT_EQ(t, "uno\rdos");
    EXPECT_EQ(c.String_ExtraerLinea(t), "uno");
    EXPECT_EQ(t, "dos");
    EXPECT_EQ(c.String_ExtraerLinea(t), "dos");
    EXPECT_EQ(t, "");
    t = "claveYYvalor";
    EXPECT_EQ(c.String_ExtraerLinea(t, "yy"), "clave"); // letter case ignored
    EXPECT_EQ(t, "valor");

    t = "  uno,dos  ";
    EXPECT_EQ(c.String_ExtraerPalabra(t, ","), "uno");
    EXPECT_EQ(t, "dos");
    t = "abc";
    EXPECT_EQ(c.String_ExtraerPalabra(t, ";"), "abc");
    EXPECT_EQ(t, "");

    std::vector<std::string> l;
    c.JustificarTexto("\r\nel perro come carne\r\nñandúes corren   \r\n", 10, l);
    EXPECT_EQ(l, (std::vector<std::string>{"el perro", "come carne", "ñandúes", "corren"}));
    c.JustificarTexto("abcdefghijkl x", 5, l);
    EXPECT_EQ(l, (std::vector<std::string>{"abcde", "fghij", "kl x"}));

    EXPECT_EQ(c.AcomodarCodigo_STD_String("  ab cd ef ", 5), "AB_CD");
    EXPECT_EQ(c.AcomodarCodigo_STD_String(" ñu x"), "ÑU_X");
    std::string nombre = c.NombreArchivoConFecha();
    ASSERT_EQ(nombre.size(), 15u);
    EXPECT_EQ(nombre[8], ' ');
    EXPECT_EQ(nombre.find_first_not_of("0123456789 "), std::string::npos);
    std::string conTodo = c.NombreArchivoConFecha(" Copia ", " txt ");
    EXPECT_EQ(conTodo.substr(0, 6), "Copia ");
    EXPECT_EQ(conTodo.substr(21), ".txt");
    EXPECT_EQ(c.TextoFecha().substr(c.TextoFecha().size() - 3), " > ");
    EXPECT_EQ(c.LRS(1), "");
    EXPECT_FALSE(c.LRS(45212).empty());
}

TEST(clsStgComunesTest, CajasDeTextoYCasillas) {
    clsStgComunes c;
    c.sSepDecimal = ",";
    c.sSepMillar = ".";
    int pitidos = 0;
    c.Pitido = [&] { ++pitidos; };
    CajaTexto caja;
    caja.text = std::string(45000, 'x');
    c.AgregarLog(caja, "linea", true);
    EXPECT_EQ(caja.text, std::string(45000, 'x') + "\r\nlinea.");
    caja.text = std::string(45001, 'x');
    c.AgregarLog(caja, "otra", false);
    EXPECT_EQ(caja.text, "otra"); // cleared first
    c.AgregarLog(caja, "mas", true);
    EXPECT_EQ(caja.text, "otra\r\nmas.");

    c.FormatoCampoMoneda(caja, 2);
    EXPECT_EQ(caja.alignment, 1);
    EXPECT_EQ(caja.dataField, "#,##0.00");
    c.FormatoCampoMoneda(caja);
    EXPECT_EQ(caja.dataField, "#,##0.");

    bool mod = false;
    int32_t k = '.';
    caja.text = "12";
    c.CampoMonedaKeyPress(caja, k, mod);
    EXPECT_EQ(k, ','); // "." becomes the decimal separator
    EXPECT_TRUE(mod);
    caja.text = "12,5";
    k = ',';
    mod = false;
    c.CampoMonedaKeyPress(caja, k, mod);
    EXPECT_EQ(k, 0); // a second one is refused
    EXPECT_FALSE(mod);
    EXPECT_EQ(pitidos, 1);
    k = '-';
    c.CampoMonedaKeyPress(caja, k, mod);
    EXPECT_EQ(k, 0); // text present and not wholly selected
    caja.selStart = 0;
    caja.selLength = 4;
    k = '-';
    c.CampoMonedaKeyPress(caja, k, mod);
    EXPECT_EQ(k, '-');
    for (int32_t tecla : {int32_t{'7'}, 8, 13}) {
        k = tecla;
        c.CampoMonedaKeyPress(caja, k, mod);
        EXPECT_EQ(k, tecla);
    }
    k = 'a';
    c.CampoMonedaKeyPress(caja, k, mod);
    EXPECT_EQ(k, 0);
    caja.text = "";
    k = '-';
    c.CampoNumeroKeyPress(caja, k, false, mod);
    EXPECT_EQ(k, 0); // negatives only when allowed
    k = '-';
    c.CampoNumeroKeyPress(caja, k, true, mod);
    EXPECT_EQ(k, '-');
    k = ',';
    c.CampoNumeroKeyPress(caja, k, true, mod);
    EXPECT_EQ(k, 0); // no decimals in a number box

    caja.text = "hola";
    c.TextBoxResaltar(caja);
    EXPECT_EQ(caja.selStart, 0);
    EXPECT_EQ(caja.selLength, 4);
    caja.text = " a b ";
    c.AcomodarCodigo_STD(caja, 2);
    EXPECT_EQ(caja.text, "A_");
    caja.text = " codigo de articulo muy largo ";
    c.AcomodarCodigo_STD_Item(caja);
    EXPECT_EQ(caja.text, "CODIGO_DE_ARTICULO_M");

    struct Casilla : ICasilla {
        int32_t v = 0;
        int32_t value() const override { return v; }
        void value(int32_t x) override { v = x; }
    } casilla;
    c.Set_CheckBox(casilla, true);
    EXPECT_EQ(casilla.v, 1);
    EXPECT_TRUE(c.Dev_CheckBox(casilla));
    casilla.v = 2; // grey is not checked
    EXPECT_FALSE(c.Dev_CheckBox(casilla));
    c.Set_CheckBox(casilla);
    EXPECT_EQ(casilla.v, 0);
}

TEST(clsStgComunesTest, CamposDeMonedaConLaConfiguracionDelEquipo) {
    clsStgComunes c;
    auto r = platform::LeerConfiguracionRegional();
    CajaTexto caja;
    c.FormatoCampoMoneda(caja, 2);
    c.Valor_CampoMoneda(caja, 1234.5);
    EXPECT_EQ(caja.text, FormatoNumero(1234.5, "#,##0.00", r));
    c.CampoMonedaGotFocus(caja);
    EXPECT_EQ(caja.text, "1234" + r.SeparadorDecimal + "5"); // grouping gone, value as text
    c.CampoMonedaLostFocus(caja);
    EXPECT_EQ(caja.text, FormatoNumero(1234.5, "#,##0.00", r));
    caja.text = "abc";
    c.CampoMonedaGotFocus(caja);
    c.CampoMonedaLostFocus(caja);
    EXPECT_EQ(caja.text, "abc"); // not a number: left alone
}

TEST(clsStgComunesTest, BotonesFormulariosImagenesYCorreo) {
    struct Cont : IContenedor {
        std::string tipo;
        int32_t l, t;
        Cont(std::string ti, int32_t a, int32_t b) : tipo(std::move(ti)), l(a), t(b) {}
        std::string TypeName() const override { return tipo; }
        int32_t Left() const override { return l; }
        int32_t Top() const override { return t; }
    };
    struct Form : IFormulario {
        int32_t x = -1, y = -1, bpp = 16;
        std::string TypeName() const override { return "frmPrincipal"; }
        intptr_t hWnd() const override { return 77; }
        std::string Caption() const override { return "Principal"; }
        void PopupMenu(IMenu&, int32_t a, int32_t b) override { x = a, y = b; }
        int32_t BitsPorPixel() const override { return bpp; }
    } f;
    struct Boton : IBoton {
        const IContenedor& c;
        explicit Boton(const IContenedor& x) : c(x) {}
        int32_t Left() const override { return 100; }
        int32_t Top() const override { return 200; }
        int32_t Height() const override { return 30; }
        const IContenedor& Container() const override { return c; }
    };
    IMenu menu;
    clsStgComunes c;
    Cont enForm("frmPrincipal", 5, 7), marco("Frame", 5, 7);
    c.PopupMenuBoton_STD(Boton(enForm), menu, f);
    EXPECT_EQ(std::make_pair(f.x, f.y), std::make_pair(100, 230));
    c.PopupMenuBoton_STD(Boton(marco), menu, f);
    EXPECT_EQ(std::make_pair(f.x, f.y), std::make_pair(105, 237));

    EXPECT_TRUE(c.VideoColoresOK(f, 16, true));
    EXPECT_FALSE(c.VideoColoresOK(f, 8, true));
    EXPECT_TRUE(c.VideoColoresOK(f, 8));
    EXPECT_FALSE(c.VideoColoresOK(f, 24));

    struct Img : IControlImagen {
        std::string tipo;
        Imagen picture{-1, false}, normal{-1, false};
        explicit Img(std::string t) : tipo(std::move(t)) {}
        std::string TypeName() const override { return tipo; }
        void Picture(const Imagen& v) override { picture = v; }
        void PictureNormal(const Imagen& v) override { normal = v; }
    } pic("PictureBox"), kewl("KewlButtons");
    c.CargarImagenRecurso = [](int32_t id) -> std::optional<Imagen> {
        if (id == 101)
            return Imagen{101, false};
        return std::nullopt;
    };
    c.CargarPictureControles(101, kewl);
    EXPECT_EQ(kewl.normal.Recurso, 101);
    EXPECT_EQ(kewl.picture.Recurso, -1);
    c.CargarPictureControles(5, pic);
    EXPECT_TRUE(pic.picture.Vacia); // not found: an empty picture

    Caja caja;
    int pitidos = 0;
    std::vector<std::pair<std::string, intptr_t>> abiertos;
    bool responde = true;
    c.Pitido = [&] { ++pitidos; };
    c.AbrirDocumento = [&](const std::string& d, intptr_t v) {
        abiertos.emplace_back(d, v);
        return responde;
    };
    EXPECT_FALSE(c.InvocarOutLook("   ", f));
    EXPECT_EQ(pitidos, 1);
    EXPECT_TRUE(c.InvocarOutLook(" ana@olvado.com ", f));
    EXPECT_TRUE(c.InvocarOutLook("MailTo:luis@olvado.com", f));
    responde = false;
    EXPECT_FALSE(c.InvocarOutLook("x@y", f));
    EXPECT_EQ(abiertos, (std::vector<std::pair<std::string, intptr_t>>{
                            {"mailto:ana@olvado.com", 77}, {"MailTo:luis@olvado.com", 77}, {"mailto:x@y", 77}}));
    ASSERT_EQ(caja.vistas.size(), 1u);
    EXPECT_EQ(caja.vistas[0], std::make_tuple(c.LRS(10028), 48, std::string("Principal")));
}
