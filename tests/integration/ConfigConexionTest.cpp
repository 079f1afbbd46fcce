// The connection store read from real files where the program looks for it.
#include "database/ConfigConexion.h"
#include "database/frmSeleccionarConexion.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <tuple>

namespace olvado {
namespace {

// What ObtenerDatosConexion answers: found, name, string, catalogue, optimise.
using Eleccion = std::tuple<bool, std::string, std::string, std::string, bool>;

Eleccion Obtener(ConfigConexion& c, const std::string& cadenaAntes = {}) {
    Eleccion e{false, "", cadenaAntes, "", false};
    auto& [ok, nombre, cadena, catalogo, optimizar] = e;
    ok = c.ObtenerDatosConexion(nombre, cadena, catalogo, optimizar);
    return e;
}

// A window that picks the entry it was told to, and counts its showings.
struct VentanaElige : IVentanaSeleccion {
    int numero = 0, mostrada = 0;
    Reemplazo enUso_{*this};
    void MostrarModal(frmSeleccionarConexion& v) override {
        ++mostrada;
        EXPECT_EQ(v.lblFavor, "Favor seleccione una Base de Datos:");
        v.liConexiones.SetListIndex(numero - 1);
    }
};

class ConfigConexionTest : public ::testing::Test {
  protected:
    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
};

TEST_F(ConfigConexionTest, VariasEntradasPasanPorLaVentanaYUnaNo) {
    almacen_.Escribir({{"2", "Dos", "cadena 2", "", "true"}, {"1", "Uno", "cadena 1", ""}});
    {
        // Without a terminal the headless window keeps the first entry.
        ConfigConexion c;
        EXPECT_EQ(std::get<1>(Obtener(c)), "Uno");
        EXPECT_EQ(c.NumeroConexiones(), 2);
    }
    VentanaElige ventana;
    ventana.numero = 2;
    ConfigConexion c;
    EXPECT_EQ(Obtener(c), Eleccion(true, "Dos", "cadena 2", "", false)); // only "1" is True
    EXPECT_EQ(ventana.mostrada, 1);
    // A preferred entry that exists is taken without showing the window.
    std::string n, cad, cat;
    bool opt = false;
    int32_t indice = 0;
    EXPECT_TRUE(c.SeleccionarConexion(n, cad, cat, opt, false, 2, indice));
    EXPECT_EQ(indice, 2);
    EXPECT_EQ(ventana.mostrada, 1);
    EXPECT_TRUE(c.SeleccionarConexion(n, cad, cat, opt, true, -1, indice));
    EXPECT_EQ(indice, 1);
    // A single entry is taken without the window.
    almacen_.Escribir({{"1", "Local", "Provider=SQLite;Data Source=/x.db", "cat", "1"}});
    ConfigConexion una;
    EXPECT_EQ(Obtener(una), Eleccion(true, "Local", "Provider=SQLite;Data Source=/x.db", "cat", true));
    EXPECT_EQ(ventana.mostrada, 1);
    EXPECT_TRUE(una.Conexiones()[1].CadenaConexionCifrada.empty()); // consumed by Decrypt
    EXPECT_TRUE(una.Conexiones()[1].Valida);
}

TEST_F(ConfigConexionTest, LoQueElAlmacenTrae) {
    // Entries are read in sequence from 1, and 5 at most.
    almacen_.Escribir({{"1", "a", "x", ""}, {"3", "c", "x", ""}});
    ConfigConexion c;
    Obtener(c);
    EXPECT_EQ(c.NumeroConexiones(), 1);
    std::vector<prueba::EntradaAlmacen> siete;
    for (int i = 1; i <= 7; ++i)
        siete.push_back({std::to_string(i), "e" + std::to_string(i), "x", ""});
    // Nodes of the root that are not elements with an id are skipped.
    almacen_.Escribir(siete, "  <!-- comentario -->\n  <Otra Nombre=\"sin id\"/>\n  <Conexion id=\"01\"/>\n");
    ConfigConexion cinco;
    cinco.CargarConexiones();
    EXPECT_EQ(cinco.NumeroConexiones(), 0); // no company data recorded yet
    Obtener(cinco);
    EXPECT_EQ(cinco.NumeroConexiones(), 5);
    EXPECT_EQ(cinco.Conexiones()[5].Nombre, "e5");

    // An entry without a string is found, and not valid.
    almacen_.Escribir({{"1", "sin cadena", "", ""}});
    ConfigConexion vacia;
    EXPECT_EQ(Obtener(vacia, "previa"), Eleccion(true, "sin cadena", "", "", true));
    EXPECT_FALSE(vacia.Conexiones()[1].Valida);
    // A cipher text that deciphers to nothing.
    almacen_.EscribirTexto(
        "<?xml version=\"1.0\"?><C><E id=\"1\" Nombre=\"mala\" CadenaConexion=\"0123ABCD\"/></C>");
    ConfigConexion mala;
    EXPECT_EQ(std::get<2>(Obtener(mala, "previa")), "");
    EXPECT_EQ(mala.NumeroConexiones(), 1);
    almacen_.EscribirTexto("esto no es XML <");
    ConfigConexion noXml;
    EXPECT_FALSE(std::get<0>(Obtener(noXml)));
    EXPECT_EQ(noXml.NumeroConexiones(), 0);
}

TEST_F(ConfigConexionTest, SinArchivoSeBuscaEnLaSegundaCarpeta) {
    {
        ConfigConexion c;
        EXPECT_EQ(Obtener(c, "sin tocar"), Eleccion(false, "", "sin tocar", "", false));
    }
    prueba::AlmacenPrueba segunda(true);
    segunda.Escribir({{"1", "Segunda", "cadena", ""}});
    ConfigConexion c;
    EXPECT_EQ(std::get<1>(Obtener(c)), "Segunda");
}

} // namespace
} // namespace olvado
