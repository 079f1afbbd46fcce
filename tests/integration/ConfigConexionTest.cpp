// The connection store read from real files where the program looks for it.
#include "database/ConfigConexion.h"
#include "database/frmSeleccionarConexion.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

namespace olvado {
namespace {

using prueba::AlmacenPrueba;
using prueba::EntradaAlmacen;

struct Eleccion {
    bool ok = false;
    std::string nombre, cadena, catalogo;
    bool optimizar = false;
};

Eleccion Obtener(ConfigConexion& c) {
    Eleccion e;
    e.ok = c.ObtenerDatosConexion(e.nombre, e.cadena, e.catalogo, e.optimizar);
    return e;
}

// A window that picks the entry it was told to, and counts its showings.
struct VentanaElige : IVentanaSeleccion {
    int numero = 0, mostrada = 0;
    void MostrarModal(frmSeleccionarConexion& v) override {
        ++mostrada;
        EXPECT_EQ(v.lblFavor, "Favor seleccione una Base de Datos:");
        v.liConexiones.SetListIndex(numero - 1);
    }
};

class ConfigConexionTest : public ::testing::Test {
protected:
    prueba::ArbolPrueba arbol_;
};

TEST_F(ConfigConexionTest, UnaEntradaSeEligeSinVentana) {
    AlmacenPrueba almacen;
    almacen.Escribir({{"1", "Local", "Provider=SQLite;Data Source=/x.db", "cat", "1"}});
    VentanaElige ventana;
    IVentanaSeleccion::Reemplazo enUso(ventana);
    ConfigConexion c;
    Eleccion e = Obtener(c);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.nombre, "Local");
    EXPECT_EQ(e.cadena, "Provider=SQLite;Data Source=/x.db");
    EXPECT_EQ(e.catalogo, "cat");
    EXPECT_TRUE(e.optimizar);
    EXPECT_EQ(ventana.mostrada, 0);
    EXPECT_TRUE(c.Conexiones()[1].CadenaConexionCifrada.empty()); // consumed by Decrypt
    EXPECT_TRUE(c.Conexiones()[1].Valida);
}

TEST_F(ConfigConexionTest, VariasEntradasPasanPorLaVentana) {
    AlmacenPrueba almacen;
    almacen.Escribir({{"2", "Dos", "cadena 2", "", "true"}, {"1", "Uno", "cadena 1", ""}});
    {
        // Without a terminal the headless window keeps the first entry.
        ConfigConexion c;
        Eleccion e = Obtener(c);
        EXPECT_EQ(c.NumeroConexiones(), 2);
        EXPECT_EQ(e.nombre, "Uno");
    }
    VentanaElige ventana;
    ventana.numero = 2;
    IVentanaSeleccion::Reemplazo enUso(ventana);
    ConfigConexion c;
    Eleccion e = Obtener(c);
    EXPECT_EQ(ventana.mostrada, 1);
    EXPECT_EQ(e.nombre, "Dos");
    EXPECT_EQ(e.cadena, "cadena 2");
    EXPECT_FALSE(e.optimizar); // only "1" is True
    // A preferred entry that exists is taken without showing the window.
    std::string n, cad, cat;
    bool opt = false;
    int32_t indice = 0;
    EXPECT_TRUE(c.SeleccionarConexion(n, cad, cat, opt, false, 2, indice));
    EXPECT_EQ(indice, 2);
    EXPECT_EQ(ventana.mostrada, 1);
    EXPECT_TRUE(c.SeleccionarConexion(n, cad, cat, opt, true, -1, indice));
    EXPECT_EQ(indice, 1);
}

TEST_F(ConfigConexionTest, SeLeenEntradasSeguidasDesdeUnoHastaCinco) {
    AlmacenPrueba almacen;
    almacen.Escribir({{"1", "a", "x", ""}, {"3", "c", "x", ""}});
    ConfigConexion c;
    Obtener(c);
    EXPECT_EQ(c.NumeroConexiones(), 1);

    std::vector<EntradaAlmacen> siete;
    for (int i = 1; i <= 7; ++i)
        siete.push_back({std::to_string(i), "e" + std::to_string(i), "x", ""});
    // Nodes of the root that are not elements with an id are skipped.
    almacen.Escribir(siete, "  <!-- comentario -->\n  <Otra Nombre=\"sin id\"/>\n  <Conexion id=\"01\"/>\n");
    ConfigConexion cinco;
    cinco.CargarConexiones();
    EXPECT_EQ(cinco.NumeroConexiones(), 0); // no company data recorded yet
    Obtener(cinco);
    EXPECT_EQ(cinco.NumeroConexiones(), 5);
    EXPECT_EQ(cinco.Conexiones()[5].Nombre, "e5");
}

TEST_F(ConfigConexionTest, EntradasVaciasYAlmacenesQueNoSirven) {
    AlmacenPrueba almacen;
    almacen.Escribir({{"1", "sin cadena", "", ""}});
    ConfigConexion c;
    Eleccion e = Obtener(c);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.cadena, "");
    EXPECT_FALSE(c.Conexiones()[1].Valida);

    // A cipher text that deciphers to nothing.
    almacen.EscribirTexto("<?xml version=\"1.0\"?><C><E id=\"1\" Nombre=\"mala\" CadenaConexion=\"0123ABCD\"/></C>");
    ConfigConexion mala;
    e = Obtener(mala);
    EXPECT_EQ(mala.NumeroConexiones(), 1);
    EXPECT_EQ(e.cadena, "");

    almacen.EscribirTexto("esto no es XML <");
    ConfigConexion noXml;
    e = Obtener(noXml);
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(noXml.NumeroConexiones(), 0);
}

TEST_F(ConfigConexionTest, SinArchivoSeBuscaEnLaSegundaCarpeta) {
    {
        ConfigConexion c;
        Eleccion e;
        e.cadena = "sin tocar";
        e.ok = c.ObtenerDatosConexion(e.nombre, e.cadena, e.catalogo, e.optimizar);
        EXPECT_FALSE(e.ok);
        EXPECT_EQ(e.cadena, "sin tocar");
    }
    AlmacenPrueba segunda(true);
    segunda.Escribir({{"1", "Segunda", "cadena", ""}});
    ConfigConexion c;
    Eleccion e = Obtener(c);
    EXPECT_EQ(e.nombre, "Segunda");
    EXPECT_EQ(c.RutaArchivoConexiones(), segunda.Ruta());
}

} // namespace
} // namespace olvado
