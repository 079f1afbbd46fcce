// olvado-admin: the publisher's command-line tool, built on the system's own
// classes so that what it makes is exactly what the updater reads.
#include "admin/Ordenes.h"

#include "common/IdentidadPrograma.h"
#include "platform/Consola.h"

#include <exception>

namespace {

using namespace olvado;

// "olvado-admin 1.0.0": the build's own version, as the packages carry it.
std::string NombreYVersion() {
    const IdentidadPrograma& id = ObtenerIdentidadPrograma();
    return "olvado-admin " + std::to_string(id.Major) + "." + std::to_string(id.Minor) + "." +
           std::to_string(id.Revision);
}

std::string Ayuda() {
    const IdentidadPrograma& id = ObtenerIdentidadPrograma();
    std::string texto = NombreYVersion() + " - " + id.Producto + ", " + id.Compania + "\n\n" +
                        "Uso: olvado-admin ORDEN [ARGUMENTOS]\n\nÓrdenes:\n";
    for (const admin::Orden& o : admin::Ordenes()) {
        // A long use line puts its description on the next line.
        std::string uso = o.uso;
        uso = uso.size() < 22 ? uso + std::string(22 - uso.size(), ' ') : uso + "\n" + std::string(24, ' ');
        texto += "  " + uso + o.descripcion + "\n";
    }
    texto += "  --help                Muestra esta ayuda.\n"
             "  --version             Muestra la versión de la herramienta.\n\n"
             "Las órdenes de la base de datos la abren con el almacén de conexiones Conexiones.dat de la\n"
             "carpeta de datos, como el actualizador. publicar y variable crean las tablas BinariosAct y\n"
             "Valores cuando faltan, con los tipos del motor (SQLite, MariaDB/MySQL, SQL Server, Access).\n"
             "publicar escribe la versión del recurso de versión del archivo cuando falta --version, y el\n"
             "digest MD5 cifrado; muestra su avance en la salida de errores si el paquete pasa de 16 MiB.\n"
             "--comprimir guarda los trozos como un solo flujo zstd (Compresion = 1); --deltas N (1 si falta,\n"
             "0 ninguno) escribe en BinariosActDeltas un delta desde cada una de las N versiones anteriores,\n"
             "cuyos trozos se conservan, si ocupa menos de la mitad del paquete.\n\n"
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
    if (args[0] == "--version") {
        platform::EscribirSalida(NombreYVersion() + "\n");
        return 0;
    }
    for (const admin::Orden& o : admin::Ordenes()) {
        if (args[0] != o.nombre)
            continue;
        if (o.argumentos >= 0 && static_cast<int>(args.size()) - 1 != o.argumentos) {
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
