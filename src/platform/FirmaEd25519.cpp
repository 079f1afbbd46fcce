// Ed25519 and SHA-256 from libgcrypt, the same code on both systems.
#include "platform/FirmaEd25519.h"

#include "base/Texto.h"

#include <gcrypt.h>

#include <cstdint>
#include <memory>

namespace olvado::platform {
namespace {

constexpr size_t kBytesClave = 32, kBytesFirma = 64, kBytesResumen = 32;
constexpr const char* kDatos = "(data(flags eddsa)(hash-algo sha512)(value %b))";

// The library must be told once that the program is ready to use it; a small
// secure-memory pool keeps the key's working copies off the swap where it can.
void Iniciar() {
    static const bool iniciada = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_SUSPEND_SECMEM_WARN);
        gcry_control(GCRYCTL_INIT_SECMEM, 16384, 0);
        gcry_control(GCRYCTL_RESUME_SECMEM_WARN);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)iniciada;
}

struct LiberarSexp {
    void operator()(gcry_sexp_t s) const { gcry_sexp_release(s); }
};
using Sexp = std::unique_ptr<std::remove_pointer_t<gcry_sexp_t>, LiberarSexp>;

// Exactly `bytes` bytes of hexadecimal text (blanks around it allowed), else "".
std::string DesdeHex(const std::string& texto, size_t bytes) {
    size_t i = texto.find_first_not_of(" \t\r\n");
    size_t f = texto.find_last_not_of(" \t\r\n");
    if (i == std::string::npos || f - i + 1 != bytes * 2)
        return {};
    std::string r(bytes, '\0');
    for (size_t k = 0; k < bytes; ++k) {
        int a = ValorDigitoHex(texto[i + 2 * k]), b = ValorDigitoHex(texto[i + 2 * k + 1]);
        if (a < 0 || b < 0)
            return {};
        r[k] = static_cast<char>(a * 16 + b);
    }
    return r;
}

Sexp ClavePrivada(const std::string& privadaHex) {
    std::string semilla = DesdeHex(privadaHex, kBytesClave);
    gcry_sexp_t s = nullptr;
    if (semilla.empty() || gcry_sexp_build(&s, nullptr, "(private-key(ecc(curve Ed25519)(flags eddsa)(d %b)))",
                                           static_cast<int>(semilla.size()), semilla.data()) != 0)
        return nullptr;
    return Sexp(s);
}

// The bytes of the first element named `nombre` inside `s` ("" when absent).
std::string Elemento(gcry_sexp_t s, const char* nombre) {
    Sexp e(gcry_sexp_find_token(s, nombre, 0));
    size_t n = 0;
    const char* d = e ? gcry_sexp_nth_data(e.get(), 1, &n) : nullptr;
    return d ? std::string(d, n) : std::string();
}

} // namespace

FirmaEd25519::FirmaEd25519() {
    Iniciar();
    gcry_md_hd_t md = nullptr;
    if (gcry_md_open(&md, GCRY_MD_SHA256, 0) == 0)
        md_ = md;
}

FirmaEd25519::~FirmaEd25519() { gcry_md_close(static_cast<gcry_md_hd_t>(md_)); }

void FirmaEd25519::Agregar(const void* datos, size_t n) {
    if (md_)
        gcry_md_write(static_cast<gcry_md_hd_t>(md_), datos, n);
}

std::string FirmaEd25519::Sha256Hex() {
    const unsigned char* r = md_ ? gcry_md_read(static_cast<gcry_md_hd_t>(md_), GCRY_MD_SHA256) : nullptr;
    return r ? BytesAHex(r, kBytesResumen) : std::string();
}

bool FirmaEd25519::GenerarClaves(std::string& privadaHex, std::string& publicaHex) {
    Iniciar();
    unsigned char semilla[kBytesClave];
    gcry_randomize(semilla, sizeof semilla, GCRY_VERY_STRONG_RANDOM);
    privadaHex = BytesAHex(semilla, sizeof semilla);
    for (auto& b : semilla) // no copy of the key left on the stack
        const_cast<volatile unsigned char&>(b) = 0;
    publicaHex = ClavePublica(privadaHex);
    return !publicaHex.empty();
}

std::string FirmaEd25519::ClavePublica(const std::string& privadaHex) {
    Iniciar();
    Sexp clave = ClavePrivada(privadaHex);
    gcry_ctx_t ctx = nullptr;
    if (!clave || gcry_mpi_ec_new(&ctx, clave.get(), nullptr) != 0)
        return {};
    std::string r;
    gcry_mpi_t q = gcry_mpi_ec_get_mpi("q@eddsa", ctx, 1);
    unsigned int bits = 0;
    const void* p = q ? gcry_mpi_get_opaque(q, &bits) : nullptr;
    if (p && bits == kBytesClave * 8)
        r = BytesAHex(p, kBytesClave);
    gcry_mpi_release(q);
    gcry_ctx_release(ctx);
    return r;
}

std::string FirmaEd25519::FirmarMensaje(const std::string& privadaHex, const std::string& mensaje) {
    Iniciar();
    Sexp clave = ClavePrivada(privadaHex);
    gcry_sexp_t datos = nullptr, firma = nullptr;
    if (!clave || gcry_sexp_build(&datos, nullptr, kDatos, static_cast<int>(mensaje.size()), mensaje.data()) != 0)
        return {};
    Sexp d(datos);
    if (gcry_pk_sign(&firma, d.get(), clave.get()) != 0)
        return {};
    Sexp f(firma);
    std::string rs = Elemento(f.get(), "r") + Elemento(f.get(), "s");
    return rs.size() == kBytesFirma ? BytesAHex(rs.data(), rs.size()) : std::string();
}

bool FirmaEd25519::VerificarMensaje(const std::string& publicaHex, const std::string& firmaHex,
                                    const std::string& mensaje) {
    Iniciar();
    std::string q = DesdeHex(publicaHex, kBytesClave), rs = DesdeHex(firmaHex, kBytesFirma);
    if (q.empty() || rs.empty())
        return false;
    gcry_sexp_t clave = nullptr, firma = nullptr, datos = nullptr;
    if (gcry_sexp_build(&clave, nullptr, "(public-key(ecc(curve Ed25519)(flags eddsa)(q %b)))",
                        static_cast<int>(q.size()), q.data()) != 0)
        return false;
    Sexp c(clave);
    if (gcry_sexp_build(&firma, nullptr, "(sig-val(eddsa(r %b)(s %b)))", 32, rs.data(), 32, rs.data() + 32) != 0)
        return false;
    Sexp f(firma);
    if (gcry_sexp_build(&datos, nullptr, kDatos, static_cast<int>(mensaje.size()), mensaje.data()) != 0)
        return false;
    Sexp d(datos);
    return gcry_pk_verify(f.get(), d.get(), c.get()) == 0;
}

} // namespace olvado::platform
