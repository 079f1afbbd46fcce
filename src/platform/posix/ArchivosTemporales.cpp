// POSIX only: the temporary folder and GetTempFileName's naming rule.
#include "platform/ArchivosTemporales.h"
#include "platform/posix/PosixComun.h"
#include "platform/posix/RasgosManejadores.h"

#include "base/Texto.h"
#include "platform/Entorno.h"
#include "platform/Rutas.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace olvado::platform {

std::string CarpetaTemporal() {
    std::string t = LeerVariableEntorno("TMPDIR");
    if (t.empty())
        t = "/tmp/";
    if (t.back() != '/')
        t.push_back('/');
    return t;
}

bool CrearArchivoTemporal(const std::string& carpeta, const std::string& prefijo, std::string& resultado) {
    if (carpeta.empty())
        return false;
    std::string base = carpeta;
    if (!EsSeparadorRuta(base.back()))
        base.push_back('/');
    base += Left(prefijo, 3);
    // Like Windows, start from the clock and try the next number on a clash.
    auto marca = std::chrono::steady_clock::now().time_since_epoch().count();
    unsigned numero = static_cast<unsigned>(marca ^ ::getpid()) & 0xFFFFu;
    for (unsigned intento = 0; intento < 0x10000u; ++intento, numero = (numero + 1) & 0xFFFFu) {
        if (numero == 0)
            continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", numero);
        std::string ruta = base + hex + ".tmp";
        ScopedFd fd(::open(posix::RutaNativa(ruta).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd) {
            resultado = ruta;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

} // namespace olvado::platform
