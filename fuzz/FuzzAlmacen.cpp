// Any bytes as the connection store: loading every entry answers, never crashes.
#include "database/ConfigConexion.h"
#include "platform/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    // The store is read from a file, as the program reads it.
    static const std::string ruta = "/tmp/olvado-fuzz-almacen-" + std::to_string(::getpid()) + ".dat";
    if (FILE* f = std::fopen(ruta.c_str(), "wb")) {
        std::fwrite(datos, 1, largo, f);
        std::fclose(f);
    }
    olvado::platform::XmlDocument documento;
    if (documento.Load(ruta)) {
        olvado::ConfigConexion config;
        for (int32_t i = 1; i <= 5; ++i)
            config.CargarConexion(documento, i);
    }
    return 0;
}
