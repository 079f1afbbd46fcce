// POSIX only: the registry stand-in, one .reg file per hive, replaced atomically.
#include "platform/Registro.h"

#include "base/Texto.h"
#include "platform/Entorno.h"
#include "platform/TextoAnsi.h"
#include "platform/posix/ArchivoReg.h"
#include "platform/posix/ErroresPosix.h"
#include "platform/posix/RasgosManejadores.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace olvado::platform {
namespace {
namespace fs = std::filesystem;

enum class Hive { Maquina, Usuario };

fs::path RutaColmena(Hive h) {
    if (h == Hive::Maquina) {
        std::string raiz = LeerVariableEntorno("OLVADO_ROOT");
        return fs::path(raiz.empty() ? "/" : raiz) / "etc/olvado/HKLM.reg";
    }
    std::string config = LeerVariableEntorno("XDG_CONFIG_HOME");
    fs::path base = config.empty() ? fs::path(LeerVariableEntorno("HOME")) / ".config" : fs::path(config);
    return base / "olvado/HKCU.reg";
}

const char* NombreRaiz(Hive h) { return h == Hive::Maquina ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER"; }

// The hive file. Writers replace it atomically, so a reader takes no lock and
// sees the old file or the new one (a lock that any user may open must not
// stop a root reader). A read-modify-write takes the side lock exclusively,
// waiting for it a bounded time; without it nothing is saved. A missing
// folder or file is an empty hive.
class ColmenaBloqueada {
public:
    ColmenaBloqueada(Hive h, bool escribir) : ruta_(RutaColmena(h)) {
        if (escribir)
            bloqueada_ = Bloquear();
        estado_ = LeerTodo();
        if (estado_ == kErrorCorrecto && !reg::Leer(original_, NombreRaiz(h), colmena_))
            estado_ = kErrorRegistroDanado;
    }
    // The lock goes with the descriptor.

    bool Valida() const { return estado_ == kErrorCorrecto; }
    // Why the hive is not valid: 5 a file we may not read, 1009 one that
    // cannot be read or parsed.
    int32_t Estado() const { return estado_; }
    reg::Colmena& Colmena() { return colmena_; }

    // Temporary file + rename: readers see the old file or the new one.
    int32_t Guardar() {
        if (!bloqueada_) // no lock: a folder we may not write, or a lock someone keeps
            return ::access(ruta_.parent_path().c_str(), W_OK) == 0 ? kErrorEsRegistro : kErrorAccesoDenegado;
        std::string texto = reg::Escribir(colmena_);
        // A write that changes nothing (a mark cleared on every run) costs no
        // sync and no rename; the caller must still have been allowed to write.
        if (texto == original_ && !original_.empty())
            return ::access(ruta_.parent_path().c_str(), W_OK) == 0 ? kErrorCorrecto : kErrorAccesoDenegado;
        std::string tmp = ruta_.string() + ".tmp." + std::to_string(::getpid());
        ::unlink(tmp.c_str()); // one a dead process left; ours is made new, never through a link
        ScopedFd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!fd)
            return CodigoDesdeErrno(errno) == kErrorAccesoDenegado ? kErrorAccesoDenegado : kErrorEsRegistro;
        // The replacement keeps the hive's owner and mode whatever the umask
        // (a root run under umask 077 must not hide the hive from every other
        // account); a new hive is readable by all. Owner first: a change of
        // owner clears the set-id bits.
        const bool cambiaDueno = existia_ && (dueno_ != ::geteuid() || grupo_ != ::getegid());
        if ((cambiaDueno && ::fchown(fd.Get(), dueno_, grupo_) != 0) ||
            ::fchmod(fd.Get(), existia_ ? modo_ : 0644) != 0) {
            ::unlink(tmp.c_str());
            return kErrorAccesoDenegado;
        }
        size_t hecho = 0;
        while (hecho < texto.size()) {
            ssize_t n = ::write(fd.Get(), texto.data() + hecho, texto.size() - hecho);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ::unlink(tmp.c_str());
                return kErrorEsRegistro;
            }
            hecho += static_cast<size_t>(n);
        }
        if (::fsync(fd.Get()) != 0 || ::rename(tmp.c_str(), ruta_.c_str()) != 0) {
            ::unlink(tmp.c_str());
            return kErrorEsRegistro;
        }
        return kErrorCorrecto;
    }

private:
    // Writers hold the lock for an instant; one held longer is someone else's.
    static constexpr int kEsperaBloqueoMs = 3000;

    bool Bloquear() {
        CrearCarpetas(ruta_.parent_path());
        std::string lock = ruta_.string() + ".lock";
        lock_.Reset(::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
        if (!lock_)
            return false;
        auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(kEsperaBloqueoMs);
        while (::flock(lock_.Get(), LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= limite)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Missing folders are made readable by all, whatever the umask, like the hive itself.
    static void CrearCarpetas(const fs::path& carpeta) {
        if (carpeta.empty() || carpeta == carpeta.parent_path())
            return;
        struct stat st {};
        if (::lstat(carpeta.c_str(), &st) == 0)
            return;
        CrearCarpetas(carpeta.parent_path());
        if (::mkdir(carpeta.c_str(), 0755) == 0)
            ::chmod(carpeta.c_str(), 0755);
    }

    // Only a hive that does not exist is empty: one that exists and cannot be
    // read is not taken for "no value" (a check that depends on a value must
    // be able to tell).
    int32_t LeerTodo() {
        ScopedFd fd(::open(ruta_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!fd)
            return errno == ENOENT || errno == ENOTDIR ? kErrorCorrecto
                   : errno == EACCES || errno == EPERM ? kErrorAccesoDenegado
                                                       : kErrorRegistroDanado;
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
            return kErrorRegistroDanado;
        existia_ = true;
        dueno_ = st.st_uid, grupo_ = st.st_gid, modo_ = st.st_mode & 0777;
        char buf[8192];
        ssize_t n;
        while ((n = ::read(fd.Get(), buf, sizeof buf)) != 0) {
            if (n < 0 && errno != EINTR)
                return kErrorRegistroDanado;
            if (n > 0)
                original_.append(buf, static_cast<size_t>(n));
        }
        return kErrorCorrecto;
    }

    fs::path ruta_;
    std::string original_;
    ScopedFd lock_;
    bool bloqueada_ = false;
    reg::Colmena colmena_;
    int32_t estado_ = kErrorCorrecto;
    bool existia_ = false;
    uid_t dueno_ = 0;
    gid_t grupo_ = 0;
    mode_t modo_ = 0644;
};

bool EsTexto(uint32_t tipo) { return tipo == 1 || tipo == 2 || tipo == 7; }

// The ANSI entry points see texts in the code page; the hive keeps UTF-16.
std::string DeAnsiAlmacen(const std::string& ansi) {
    std::string b;
    for (char16_t c : DecodificarAnsi(ansi)) {
        b.push_back(static_cast<char>(c & 0xFF));
        b.push_back(static_cast<char>(c >> 8));
    }
    return b;
}

std::string DeAlmacenAnsi(const std::string& datos) {
    std::u16string u;
    for (size_t i = 0; i + 1 < datos.size(); i += 2)
        u.push_back(static_cast<char16_t>(static_cast<unsigned char>(datos[i]) |
                                          static_cast<unsigned char>(datos[i + 1]) << 8));
    return CodificarAnsi(u);
}

class RegistroPosix final : public IRegistro {
public:
    int32_t AbrirClave(HClave raiz, const std::string& subclave, uint32_t, HClave& clave) override {
        clave = 0;
        Abierta base;
        if (!Resolver(raiz, base))
            return kErrorManejadorNoValido;
        std::string ruta = reg::UnirRuta(base.ruta, subclave);
        ColmenaBloqueada c(base.hive, false);
        if (!c.Valida())
            return c.Estado();
        if (!c.Colmena().Existe(ruta))
            return kErrorArchivoNoEncontrado;
        clave = Nueva(base.hive, ruta);
        return kErrorCorrecto;
    }

    int32_t CrearClave(HClave raiz, const std::string& subclave, uint32_t, HClave& clave) override {
        clave = 0;
        Abierta base;
        if (!Resolver(raiz, base))
            return kErrorManejadorNoValido;
        std::string ruta = reg::UnirRuta(base.ruta, subclave);
        ColmenaBloqueada c(base.hive, true);
        if (!c.Valida())
            return c.Estado();
        if (!ruta.empty() && !c.Colmena().Buscar(ruta)) {
            c.Colmena().Crear(ruta);
            if (int32_t r = c.Guardar())
                return r;
        }
        clave = Nueva(base.hive, ruta);
        return kErrorCorrecto;
    }

    int32_t CerrarClave(HClave clave) override {
        return abiertas_.erase(clave) || Predefinida(clave) ? kErrorCorrecto : kErrorManejadorNoValido;
    }

    int32_t BorrarClave(HClave raiz, const std::string& subclave) override {
        Abierta base;
        if (!Resolver(raiz, base))
            return kErrorManejadorNoValido;
        std::string ruta = reg::UnirRuta(base.ruta, subclave);
        ColmenaBloqueada c(base.hive, true);
        if (!c.Valida())
            return c.Estado();
        auto& col = c.Colmena();
        if (ruta.empty() || !col.SubClaves(ruta).empty())
            return kErrorAccesoDenegado;
        if (!col.Existe(ruta))
            return kErrorArchivoNoEncontrado;
        reg::Clave* k = col.Buscar(ruta);
        col.claves.erase(col.claves.begin() + (k - col.claves.data()));
        return c.Guardar();
    }

    int32_t ConsultarValor(HClave clave, const std::string& nombre, uint32_t& tipo, uint32_t& tamano,
                           std::string* datos) override {
        Abierta a;
        if (!Resolver(clave, a))
            return kErrorManejadorNoValido;
        ColmenaBloqueada c(a.hive, false);
        if (!c.Valida())
            return c.Estado();
        if (!c.Colmena().Existe(a.ruta))
            return kErrorClaveBorrada;
        const reg::Valor* v = BuscarValor(c.Colmena(), a.ruta, nombre);
        if (!v)
            return kErrorArchivoNoEncontrado;
        std::string bytes = EsTexto(v->tipo) ? DeAlmacenAnsi(v->datos) : v->datos;
        tipo = v->tipo;
        uint32_t disponible = datos ? static_cast<uint32_t>(datos->size()) : 0;
        tamano = static_cast<uint32_t>(bytes.size());
        if (!datos)
            return kErrorCorrecto;
        if (disponible < bytes.size())
            return kErrorMasDatos;
        *datos = bytes;
        return kErrorCorrecto;
    }

    int32_t EstablecerValor(HClave clave, const std::string& nombre, uint32_t tipo,
                            const std::string& datos) override {
        Abierta a;
        if (!Resolver(clave, a))
            return kErrorManejadorNoValido;
        ColmenaBloqueada c(a.hive, true);
        if (!c.Valida())
            return c.Estado();
        if (!c.Colmena().Existe(a.ruta))
            return kErrorClaveBorrada;
        auto& vs = c.Colmena().Crear(a.ruta).valores;
        reg::Valor v{nombre, tipo, EsTexto(tipo) ? DeAnsiAlmacen(datos) : datos};
        auto previo = std::find_if(vs.begin(), vs.end(), [&](const reg::Valor& x) { return reg::MismoNombre(x.nombre, nombre); });
        if (previo != vs.end())
            *previo = v;
        else
            vs.push_back(v);
        return c.Guardar();
    }

    int32_t BorrarValor(HClave clave, const std::string& nombre) override {
        Abierta a;
        if (!Resolver(clave, a))
            return kErrorManejadorNoValido;
        ColmenaBloqueada c(a.hive, true);
        if (!c.Valida())
            return c.Estado();
        reg::Clave* k = c.Colmena().Buscar(a.ruta);
        if (!k)
            return kErrorArchivoNoEncontrado;
        auto it = std::find_if(k->valores.begin(), k->valores.end(),
                               [&](const reg::Valor& x) { return reg::MismoNombre(x.nombre, nombre); });
        if (it == k->valores.end())
            return kErrorArchivoNoEncontrado;
        k->valores.erase(it);
        return c.Guardar();
    }

    int32_t EnumerarClave(HClave clave, uint32_t indice, std::string& nombre) override {
        nombre.clear();
        Abierta a;
        if (!Resolver(clave, a))
            return kErrorManejadorNoValido;
        ColmenaBloqueada c(a.hive, false);
        if (!c.Valida())
            return c.Estado();
        auto subs = c.Colmena().SubClaves(a.ruta);
        if (indice >= subs.size())
            return kErrorNoHayMas;
        nombre = subs[indice];
        return kErrorCorrecto;
    }

    int32_t EnumerarValor(HClave clave, uint32_t indice, std::string& nombre) override {
        nombre.clear();
        Abierta a;
        if (!Resolver(clave, a))
            return kErrorManejadorNoValido;
        ColmenaBloqueada c(a.hive, false);
        if (!c.Valida())
            return c.Estado();
        reg::Clave* k = c.Colmena().Buscar(a.ruta);
        if (!k || indice >= k->valores.size())
            return kErrorNoHayMas;
        nombre = k->valores[indice].nombre;
        return kErrorCorrecto;
    }

private:
    struct Abierta {
        Hive hive = Hive::Maquina;
        std::string ruta;
    };

    static bool Predefinida(HClave h) { return h >= HKEY_CLASSES_ROOT_ && h <= HKEY_LOCAL_MACHINE_; }

    bool Resolver(HClave h, Abierta& a) const {
        if (h == HKEY_LOCAL_MACHINE_)
            a = {Hive::Maquina, ""};
        else if (h == HKEY_CLASSES_ROOT_)
            a = {Hive::Maquina, "SOFTWARE\\Classes"};
        else if (h == HKEY_CURRENT_USER_)
            a = {Hive::Usuario, ""};
        else if (auto it = abiertas_.find(h); it != abiertas_.end())
            a = it->second;
        else
            return false;
        return true;
    }

    HClave Nueva(Hive h, const std::string& ruta) {
        HClave id = siguiente_++;
        abiertas_[id] = {h, ruta};
        return id;
    }

    static const reg::Valor* BuscarValor(reg::Colmena& c, const std::string& ruta, const std::string& nombre) {
        reg::Clave* k = c.Buscar(ruta);
        if (!k)
            return nullptr;
        for (const auto& v : k->valores)
            if (reg::MismoNombre(v.nombre, nombre))
                return &v;
        return nullptr;
    }

    std::map<HClave, Abierta> abiertas_;
    HClave siguiente_ = 0x1000;
};

} // namespace

IRegistro& IRegistro::DelSistema() {
    static RegistroPosix r;
    return r;
}

// %NOMBRE% replaced by the variable's value; an unknown name or a lone "%"
// stays as written, as ExpandEnvironmentStringsA leaves it.
std::string ExpandirVariablesEntorno(const std::string& texto) {
    std::string r;
    size_t i = 0;
    while (i < texto.size()) {
        size_t a = texto.find('%', i);
        size_t b = a == std::string::npos ? a : texto.find('%', a + 1);
        if (b == std::string::npos) {
            r += texto.substr(i);
            break;
        }
        std::string nombre = texto.substr(a + 1, b - a - 1);
        r += texto.substr(i, a - i);
        if (!nombre.empty() && ExisteVariableEntorno(nombre)) {
            r += LeerVariableEntorno(nombre);
            i = b + 1;
        } else {
            r += texto.substr(a, b - a);
            i = b; // the closing "%" may open the next reference
        }
    }
    return r;
}

} // namespace olvado::platform
