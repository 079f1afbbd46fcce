// A connection store written for a test where the program looks for it, and
// removed afterwards.
#pragma once

#include <string>
#include <vector>

namespace olvado::prueba {

struct EntradaAlmacen {
    std::string id;
    std::string nombre;
    std::string cadena;   // plain: enciphered when written ("" leaves the attribute out)
    std::string catalogo; // plain: enciphered when written
    std::string optimizar = "1";
};

class AlmacenPrueba {
public:
    // segundaCarpeta: write it in the second folder (DB\OlvadoSystems).
    explicit AlmacenPrueba(bool segundaCarpeta = false);
    // At a path of the caller's (the store of a program under Wine).
    explicit AlmacenPrueba(const std::string& ruta);
    ~AlmacenPrueba();
    AlmacenPrueba(const AlmacenPrueba&) = delete;
    AlmacenPrueba& operator=(const AlmacenPrueba&) = delete;

    void Escribir(const std::vector<EntradaAlmacen>& entradas, const std::string& extraEnLaRaiz = {});
    void EscribirTexto(const std::string& contenido);
    const std::string& Ruta() const { return ruta_; }

private:
    std::string ruta_;
};

} // namespace olvado::prueba
