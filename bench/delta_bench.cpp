// A delta between two packages, as the publisher makes it and a workstation
// applies it: bench/delta_zstd.sh times it at several levels and worker
// counts and reads each step's peak memory.
//   olvado_delta_bench crear BASE DESTINO NIVEL TRABAJADORES SALIDA
//   olvado_delta_bench aplicar BASE DELTA DESTINO
// crear prints the delta's size and seconds; aplicar streams the delta in
// 1 MiB buffers over the mapped base and compares the output with DESTINO.
#include "common/CompresorZstd.h"
#include "common/DescompresorZstd.h"
#include "platform/ArchivoMapeado.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace olvado;

int main(int argc, char** argv) {
    std::string orden = argc > 1 ? argv[1] : "";
    if (!((orden == "crear" && argc == 7) || (orden == "aplicar" && argc == 5))) {
        std::fprintf(stderr,
                     "uso: crear BASE DESTINO NIVEL TRABAJADORES SALIDA | aplicar BASE DELTA DESTINO\n");
        return 2;
    }
    platform::ArchivoMapeado base, segundo;
    if (!base.Abrir(argv[2]) || !segundo.Abrir(argv[3])) {
        std::fprintf(stderr, "no se pudo abrir la base o el segundo archivo\n");
        return 1;
    }
    auto inicio = std::chrono::steady_clock::now();
    auto segundos = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    };
    if (orden == "crear") {
        auto delta = CompresorZstd::CrearDelta(base.Contenido(), segundo.Contenido(),
                                               {std::atoi(argv[4]), std::atoi(argv[5])});
        if (!delta)
            return 1;
        std::ofstream(argv[6], std::ios::binary) << *delta;
        std::printf("delta %zu bytes de %zu (%.2f %%) en %.2f s\n", delta->size(), segundo.Contenido().size(),
                    100.0 * static_cast<double>(delta->size()) /
                        static_cast<double>(segundo.Contenido().size()),
                    segundos());
        return 0;
    }
    platform::ArchivoMapeado destino;
    if (!destino.Abrir(argv[4]))
        return 1;
    std::string_view esperado = destino.Contenido();
    bool igual = true;
    DescompresorZstd d(base.Contenido(), esperado.size(), [&](std::string_view b) {
        igual = igual && esperado.substr(0, b.size()) == b;
        esperado.remove_prefix(b.size());
        return igual;
    });
    std::string_view delta = segundo.Contenido();
    for (size_t i = 0; i < delta.size() && d.Alimentar(delta.substr(i, 1 << 20)); i += 1 << 20) {
    }
    bool bien = d.Terminar() && igual;
    std::printf("aplicado %s en %.2f s%s%s\n", bien ? "bien" : "MAL", segundos(), bien ? "" : ": ",
                d.Error().c_str());
    return bien ? 0 : 1;
}
