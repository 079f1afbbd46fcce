// Any text as an ADO connection string: cut into pairs and resolved.
#include "database/ado/Proveedor.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    std::string cadena(reinterpret_cast<const char*>(datos), largo);
    olvado::ado::PartesCadena(cadena);
    // A fixed list of installed drivers: the driver manager is not asked.
    olvado::ado::ResolverProveedor(cadena, {"SQL Server", "ODBC Driver 18 for SQL Server", "FreeTDS",
                                            "Microsoft Access Driver (*.mdb)", "MDBTools"});
    return 0;
}
