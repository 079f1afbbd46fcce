// cifrar, descifrar, md5, version: the system's own cipher, digest and
// version reading, as the updater applies them.
#include "admin/Ordenes.h"

#include "base/ErrorOlvado.h"
#include "common/ExtraerVersion.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "platform/Consola.h"

namespace olvado::admin {
namespace {

int Cifrar(const Argumentos& a) {
    clsEncriptor encriptor;
    platform::EscribirSalida(encriptor.Encrypt(a[0]) + "\n");
    return 0;
}

int Descifrar(const Argumentos& a) {
    clsEncriptor encriptor;
    std::string cifrado = a[0];
    bool exito = false;
    const std::string texto = encriptor.Decrypt(cifrado, exito);
    if (!exito)
        return Fallar("el texto no es un cifrado válido");
    platform::EscribirSalida(texto + "\n");
    return 0;
}

int Md5(const Argumentos& a) {
    try {
        clsMD5File md5;
        platform::EscribirSalida(md5.DigestFileToHexStr(a[0]) + "\n");
        return 0;
    } catch (const ErrorOlvado& e) {
        return Fallar(e.Descripcion() + ": " + a[0]);
    }
}

int Version(const Argumentos& a) {
    InformacionVersion info;
    int32_t major = 0, minor = 0, revision = 0;
    if (ExtraerInformacionVersion(a[0], info) == 2)
        return Fallar("no se pudieron leer los ocho textos del recurso de versión: " + a[0]);
    if (!VersionArchivo(a[0], major, minor, revision))
        return Fallar("FileVersion no empieza por tres números: " + info.FileVersion);
    std::string salida;
    for (const auto& [clave, valor] : CamposInformacionVersion(info))
        salida += std::string(clave) + "=" + *valor + "\n";
    salida += "Version=" + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision) + "\n";
    platform::EscribirSalida(salida);
    return 0;
}

} // namespace

int Fallar(const std::string& texto) {
    platform::EscribirError("olvado-admin: " + texto + "\n");
    return 1;
}

const std::vector<Orden>& Ordenes() {
    static const std::vector<Orden> ordenes = [] {
        std::vector<Orden> todas = {
        {"cifrar", "cifrar TEXTO", "Cifra TEXTO como se guardan credenciales y digests.", 1, Cifrar},
        {"descifrar", "descifrar CIFRADO", "Descifra un texto hecho con «cifrar».", 1, Descifrar},
        {"md5", "md5 ARCHIVO", "Digest MD5 del archivo, como lo calcula el actualizador.", 1, Md5},
        {"version", "version ARCHIVO", "Textos del recurso de versión del ejecutable y su versión.", 1, Version},
        };
        todas.insert(todas.end(), OrdenesBase().begin(), OrdenesBase().end());
        return todas;
    }();
    return ordenes;
}

} // namespace olvado::admin
