#include "support/ArbolPrueba.h"

#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace olvado::prueba {
namespace fs = std::filesystem;
namespace {

fs::path NuevaRaiz() {
    static std::atomic<int> contador{0};
    auto marca = std::chrono::steady_clock::now().time_since_epoch().count();
    std::ostringstream nombre;
    nombre << "olvado-prueba-" << platform::RutaEjecutableActual().size() << "-" << marca << "-"
           << contador++;
    return fs::temp_directory_path() / nombre.str();
}

} // namespace

ArbolPrueba::ArbolPrueba() : raiz_(NuevaRaiz()) {
    fs::create_directories(Documentos());
    fs::create_directories(Temporal());
    // Per-session locks (the local mutex names) must not meet other test runs'.
    fs::create_directories(raiz_ / "run");
    fs::permissions(raiz_ / "run", fs::perms::owner_all);
    for (const auto& [n, v] : Entorno()) {
        anteriores_.emplace_back(n, platform::LeerVariableEntorno(n));
        platform::EstablecerVariableEntorno(n, v);
    }
}

ArbolPrueba::~ArbolPrueba() {
    for (const auto& [n, v] : anteriores_)
        platform::EstablecerVariableEntorno(n, v);
    std::error_code ec;
    fs::remove_all(raiz_, ec);
}

std::vector<std::pair<std::string, std::string>> ArbolPrueba::Entorno() const {
    return {{"OLVADO_ROOT", raiz_.string()},
            {"HOME", Home().string()},
            {"TMPDIR", Temporal().string()},
            {"XDG_DOCUMENTS_DIR", ""},
            {"XDG_DATA_HOME", ""},
            {"XDG_CONFIG_HOME", ""},
            {"XDG_RUNTIME_DIR", (raiz_ / "run").string()},
            // No window unless a test gives its own display (PantallaPrueba).
            {"DISPLAY", ""}};
}

std::string LeerArchivo(const fs::path& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void EscribirArchivo(const fs::path& ruta, const std::string& bytes) {
    std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ArgumentosHijo(const std::string& prueba) {
    return {platform::RutaEjecutableActual(), "--gtest_filter=" + prueba, "--gtest_color=no"};
}

std::string RolHijo() {
    return platform::LeerVariableEntorno("OLVADO_TEST_ROL");
}

} // namespace olvado::prueba
