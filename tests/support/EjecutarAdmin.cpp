#include "support/EjecutarAdmin.h"

#include "platform/Consola.h"
#include "platform/ProcesoHijo.h"

#include <gtest/gtest.h>

namespace olvado::prueba {
namespace {

// Console text as UTF-8 with "\n" line ends (the Windows build writes CR LF).
std::string Normalizar(const std::string& bytes) {
    std::string s = platform::DesdeConsola(bytes), r;
    for (char c : s)
        if (c != '\r')
            r += c;
    return r;
}

} // namespace

ResultadoAdmin EjecutarAdmin(const ArbolPrueba& arbol, const std::vector<std::string>& argumentos) {
#ifdef OLVADO_ADMIN_BIN
    std::vector<std::string> linea = {OLVADO_ADMIN_BIN};
#else
    std::vector<std::string> linea = {"olvado-admin"};
#endif
    linea.insert(linea.end(), argumentos.begin(), argumentos.end());
    const auto salida = arbol.Temporal() / "salida.txt", error = arbol.Temporal() / "error.txt";
    platform::ProcesoHijo hijo;
    hijo.RedirigirSalidas(salida.string(), error.string());
    ResultadoAdmin r;
    EXPECT_TRUE(hijo.Iniciar(linea, arbol.Entorno()));
    r.codigo = hijo.Esperar();
    r.salida = Normalizar(LeerArchivo(salida));
    r.error = Normalizar(LeerArchivo(error));
    return r;
}

} // namespace olvado::prueba
