// One value read from a large HKLM.reg through the Linux registry stand-in:
// every read parses the whole hive, so the time of a read is the parse of a
// hive of N keys (one value each, four levels deep).
#include "platform/Entorno.h"
#include "platform/Registro.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace olvado::platform;

void BM_LeerValorDeColmenaGrande(benchmark::State& state) {
    const auto n = state.range(0);
    const fs::path raiz = fs::temp_directory_path() / ("olvado-registro-bench-" + std::to_string(::getpid()));
    fs::create_directories(raiz / "etc/olvado");
    {
        std::ofstream f(raiz / "etc/olvado/HKLM.reg", std::ios::binary);
        f << "Windows Registry Editor Version 5.00\r\n";
        for (int64_t i = 0; i < n; ++i)
            f << "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Olvado Systems\\Programas\\P" << i << "]\r\n\"Version\"=\"1.0."
              << i << "\"\r\n";
    }
    EstablecerVariableEntorno("OLVADO_ROOT", raiz.string());
    auto& registro = IRegistro::Actual();
    const std::string ultima = "SOFTWARE\\Olvado Systems\\Programas\\P" + std::to_string(n - 1);
    for (auto _ : state) {
        HClave clave = 0;
        uint32_t tipo = 0, tamano = 0;
        std::string datos(64, '\0'); // room for the text
        if (registro.AbrirClave(HKEY_LOCAL_MACHINE_, ultima, 0x20019, clave) != 0 ||
            registro.ConsultarValor(clave, "Version", tipo, tamano, &datos) != 0) {
            state.SkipWithError("el valor no se leyó");
            break;
        }
        registro.CerrarClave(clave);
        benchmark::DoNotOptimize(datos);
    }
    fs::remove_all(raiz);
}
BENCHMARK(BM_LeerValorDeColmenaGrande)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
