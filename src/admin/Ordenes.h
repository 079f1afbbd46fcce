// The commands of olvado-admin, the publisher's tool. Each takes its
// arguments (after the command's name) and answers the process exit code:
// 0 done, 1 failed (message on standard error), 2 wrong use.
#pragma once

#include <string>
#include <vector>

namespace olvado::admin {

using Argumentos = std::vector<std::string>;
class BaseAdmin;

struct Orden {
    const char* nombre;
    const char* uso;         // "cifrar TEXTO"
    const char* descripcion; // one line for --help
    int argumentos;          // exactly this many; -1: the command checks them
    int (*ejecutar)(const Argumentos&);
};

// Every command, in the order --help lists them.
const std::vector<Orden>& Ordenes();

// The commands that work on the connection store and the database.
const std::vector<Orden>& OrdenesBase();
int ConexionAgregar(const Argumentos& a);
int Estado(const Argumentos& a);
int Historial(const Argumentos& a);
int Informe(const Argumentos& a);
// The pilot rings (OrdenAnillos.cpp).
int Promover(const Argumentos& a);
int Retirar(const Argumentos& a);
// estado's lines of the product's rings: version, signed, how many have it, who failed.
std::string EstadoAnillos(BaseAdmin& base, const std::string& producto);
// The package signing keys (OrdenClaves.cpp).
int Claves(const Argumentos& a);
std::string LeerClavePrivada(const std::string& ruta, bool& Expuesta);

// Writes "olvado-admin: " + texto + line break on standard error; answers 1.
int Fallar(const std::string& texto);

} // namespace olvado::admin
