// Where the database object takes the connection string: the connection
// store, or a fixed entry given by its caller.
#pragma once

#include <string>

namespace olvado {

class IOrigenConexion {
public:
    virtual ~IOrigenConexion() = default;
    virtual bool ObtenerDatosConexion(std::string& Nombre, std::string& CadenaConexion, std::string& Catalogo,
                                      bool& OptimizarConexionRemota) = 0;
};

} // namespace olvado
