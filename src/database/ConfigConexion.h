// The connection store: up to five enciphered entries in "Conexiones.dat"
// (XML) in the product's machine-wide data folder, and the choice of one of
// them for the database object. The programs only read it; the publisher's
// tool adds entries through AgregarConexion, the one writer.
#pragma once

#include "common/Controles.h"
#include "database/IOrigenConexion.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado {

namespace platform {
class XmlDocument;
}

struct DatosConexion {
    std::string Nombre;
    bool Valida = false;
    std::string CadenaConexionCifrada; // consumed by Decrypt: empty once loaded
    std::string CatalogoCifrado;
    std::string CadenaConexion;
    std::string Catalogo;
    bool OptimizarConexionRemota = false;
};

class ConfigConexion : public IOrigenConexion {
public:
    // The entry operation of AbrirDB: records the company and product data,
    // loads the store and chooses an entry (the list when there are several).
    bool ObtenerDatosConexion(std::string& Nombre, std::string& CadenaConexion, std::string& Catalogo,
                              bool& OptimizarConexionRemota) override;
    // Always False: callers look at NumeroConexiones.
    bool CargarConexiones();
    bool CargarConexion(const platform::XmlDocument& documento, int32_t Indice);
    bool SeleccionarConexion(std::string& Nombre, std::string& CadenaConexion, std::string& Catalogo,
                             bool& OptimizarConexionRemota, bool NoMostrarLista, int32_t IndicePreferido,
                             int32_t& Indice);
    int32_t ElegirConexionDeLista(int32_t IndicePreferido);
    void LlenarListaConexiones(IControlLista& lista) const;

    // Indexed from 1 (slot 0 stays empty).
    const std::vector<DatosConexion>& Conexiones() const { return conexiones_; }
    int32_t NumeroConexiones() const { return numeroConexiones_; }

    // The store's file in the product's data folder (the first that the
    // readers try), and that folder.
    static std::string CarpetaAlmacen();
    static std::string RutaAlmacen();
    // Appends the next entry, enciphered as CargarConexion reads it, to the
    // store (made when missing), replacing the file in one rename; keeps
    // whatever else the file holds. Answers the new entry's id, or 0 with the
    // reason in error (an unreadable store, the five entries already there,
    // a failed write).
    static int32_t AgregarConexion(const DatosConexion& entrada, std::string& error);
    static constexpr int32_t kMaximoConexiones = 5;

private:
    std::string compania_;
    std::string producto_;
    std::string palabraCompania_;
    std::vector<DatosConexion> conexiones_{1};
    int32_t numeroConexiones_ = 0;
};

} // namespace olvado
