// claves generar: the publisher's Ed25519 key pair. The private key signs
// packages (publicar --firmar); the public one goes to the workstations'
// registry value ClavePublicaPaquetes.
#include "admin/Opciones.h"
#include "admin/Ordenes.h"
#include "common/FileTool.h"
#include "platform/Consola.h"
#include "platform/ArchivoNativo.h"
#include "platform/FirmaEd25519.h"

namespace olvado::admin {
namespace {

constexpr const char* kUsoClaves = "claves generar --privada ARCHIVO --publica ARCHIVO";

bool Escribir(const std::string& ruta, const std::string& texto, platform::ArchivoNativo::Modo modo) {
    platform::ArchivoNativo archivo;
    return archivo.Abrir(ruta, modo) && archivo.Escribir(texto + "\n") && archivo.Cerrar();
}

} // namespace

// The private key's hexadecimal text from its file ("" when unreadable, or
// when others may read it: Expuesta then says so).
std::string LeerClavePrivada(const std::string& ruta, bool& Expuesta) {
    platform::ArchivoNativo archivo;
    char buffer[256];
    size_t leidos = 0;
    Expuesta = false;
    if (!archivo.Abrir(ruta, platform::ArchivoNativo::Modo::LeerPrivado)) {
        Expuesta = archivo.Abrir(ruta, platform::ArchivoNativo::Modo::Leer);
        return "";
    }
    if (!archivo.Leer(buffer, sizeof buffer, leidos))
        return "";
    std::string texto(buffer, leidos);
    size_t fin = texto.find_last_not_of(" \t\r\n");
    return fin == std::string::npos ? "" : texto.substr(0, fin + 1);
}

int Claves(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--privada", "--publica"}, {}, 1, 1, o, error) || o.posicionales[0] != "generar" ||
        !o.Tiene("--privada") || !o.Tiene("--publica"))
        return UsoIncorrecto(kUsoClaves, error);
    const std::string privada = o.Valor("--privada"), publica = o.Valor("--publica");
    FileTool ft;
    // A key already there may sign packages in use: never overwritten.
    for (const std::string& ruta : {privada, publica})
        if (ft.FileExist(ruta))
            return Fallar("el archivo ya existe: " + ruta);
    std::string clavePrivada, clavePublica;
    if (!platform::FirmaEd25519::GenerarClaves(clavePrivada, clavePublica))
        return Fallar("no se pudo generar el par de claves");
    if (!Escribir(privada, clavePrivada, platform::ArchivoNativo::Modo::CrearPrivado))
        return Fallar("no se pudo crear la clave privada: " + privada);
    if (!Escribir(publica, clavePublica, platform::ArchivoNativo::Modo::Crear))
        return Fallar("no se pudo escribir la clave pública: " + publica);
    platform::EscribirSalida("Clave pública (valor ClavePublicaPaquetes): " + clavePublica + "\n");
    return 0;
}

} // namespace olvado::admin
