// olvado-admin: the publisher's command-line tool, built on the system's own
// classes so that what it makes is exactly what the updater reads.
#include "admin/Ordenes.h"

#include "platform/Consola.h"
#include "updater/IdentidadPrograma.h"

#include <exception>

namespace {

using namespace olvado;

std::string Ayuda() {
    const IdentidadPrograma& id = ObtenerIdentidadPrograma();
    std::string texto = "olvado-admin " + std::to_string(id.Major) + "." + std::to_string(id.Minor) + "." +
                        std::to_string(id.Revision) + " - " + id.Producto + ", " + id.Compania + "\n\n" +
                        "Uso: olvado-admin ORDEN [ARGUMENTOS]\n\nÓrdenes:\n";
    for (const admin::Orden& o : admin::Ordenes()) {
        std::string uso = o.uso;
        uso.resize(uso.size() < 22 ? 22 : uso.size() + 1, ' ');
        texto += "  " + uso + o.descripcion + "\n";
    }
    texto += "  --help                Muestra esta ayuda.\n\n"
             "Termina con 0 si la orden se cumplió, 1 si falló y 2 si se usó mal.\n";
    return texto;
}

int Ejecutar(const admin::Argumentos& args) {
    if (args.empty()) {
        platform::EscribirError(Ayuda());
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "ayuda") {
        platform::EscribirSalida(Ayuda());
        return 0;
    }
    for (const admin::Orden& o : admin::Ordenes()) {
        if (args[0] != o.nombre)
            continue;
        if (static_cast<int>(args.size()) - 1 != o.argumentos) {
            platform::EscribirError(std::string("Uso: olvado-admin ") + o.uso + "\n");
            return 2;
        }
        return o.ejecutar(admin::Argumentos(args.begin() + 1, args.end()));
    }
    platform::EscribirError("olvado-admin: orden desconocida: " + args[0] + " (vea olvado-admin --help)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Ejecutar(platform::ArgumentosPrograma(argc, argv));
    } catch (const std::exception& e) {
        return admin::Fallar(std::string("error inesperado: ") + e.what());
    }
}
