#include "updater/LecturaPaquete.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "common/IdentidadPrograma.h"
#include "common/clsEncriptor.h"
#include "database/clsDB.h"
#include "database/clsSqlSyntaxEngine.h"
#include "platform/Eventos.h"
#include "updater/Core.h"
#include "updater/PaqueteEnTrozos.h"
#include "updater/TrozosComprimidos.h"

#include <algorithm>
#include <memory>

namespace olvado {
namespace {

void RegistrarOtroCamino(const std::string& motivo) {
    platform::IEventos::Actual().Registrar({ObtenerIdentidadPrograma().Producto, 2, 1, 3003,
                                            "Se lee el paquete completo: " + motivo, {}});
}

// Binario, a buffer at a time straight from the driver, as the loop's source.
Paquete::Fuente DeBinario(ado::Field& binario, int64_t& leidos) {
    return [&binario, &leidos, resto = binario.ActualSize()](uint8_t* destino, size_t largo,
                                                             std::string&) mutable -> int64_t {
        if (resto <= 0)
            return 0;
        const size_t n = binario.GetChunk(destino, static_cast<size_t>(std::min<int64_t>(resto, largo)));
        resto = n == 0 ? 0 : resto - static_cast<int64_t>(n);
        leidos += static_cast<int64_t>(n);
        return static_cast<int64_t>(n);
    };
}

} // namespace

LecturaPaquete::LecturaPaquete(Paquete& P, clsDB& DB, const clsSqlSyntaxEngine& SQL, std::string CondicionFila,
                               std::string CondicionTrozos, std::string Clave)
    : p_(P), db_(DB), sql_(SQL), condicionFila_(std::move(CondicionFila)),
      condicionTrozos_(std::move(CondicionTrozos)), clave_(std::move(Clave)) {}

std::string LecturaPaquete::Descifrar(std::string Cifrado) {
    bool exito = true;
    return UCase(Trim(clsEncriptor().Decrypt(Cifrado, exito)));
}

// The pieces, one per statement, as the package loop's source.
Paquete::Fuente LecturaPaquete::DeTrozos(PaqueteEnTrozos& Trozos, int64_t N) {
    return [this, &Trozos, N, i = int64_t{0}](uint8_t* destino, size_t largo, std::string& motivo) mutable {
        const int64_t m = i < N ? Trozos.LeerTrozo(i++, N, clave_, p_.HashCifrado, destino, largo, motivo) : 0;
        p_.BytesLeidos += std::max<int64_t>(m, 0);
        return m;
    };
}

bool LecturaPaquete::Delta(const std::string& Md5) {
    const std::string tabla = PaqueteEnTrozos::kTablaDeltas;
    std::unique_ptr<ado::Recordset> rs;
    int32_t filas = -1;
    // A database without deltas answers quietly.
    if (!db_.AbrirRs(rs, "SELECT DISTINCT Producto, MD5Hash, MD5Base, Tamano FROM " + tabla + condicionTrozos_, 3,
                     3, -1, false, filas))
        return false;
    std::string base;
    int64_t tamano = 0;
    try {
        for (; !rs->Eof() && base.empty(); rs->MoveNext()) {
            const ado::Valor pr = rs->Fields("Producto").Value(), h = rs->Fields("MD5Hash").Value(),
                             b = rs->Fields("MD5Base").Value(), t = rs->Fields("Tamano").Value();
            // Compared here, byte for byte, not by the server's collation.
            if (pr.EsNulo() || h.EsNulo() || b.EsNulo() || t.EsNulo() || pr.ATexto() != clave_ ||
                h.ATexto() != p_.HashCifrado || Descifrar(b.ATexto()) != p_.DigestoPrevio())
                continue;
            base = b.ATexto();
            tamano = t.AEntero();
        }
        rs->Close();
    } catch (const ErrorOlvado& e) {
        RegistrarOtroCamino("no se pudieron leer los deltas: " + e.Descripcion());
        return false;
    }
    if (base.empty())
        return false;
    PaqueteEnTrozos trozos(db_, tabla, condicionTrozos_ + " AND MD5Base = " + sql_.Strg(base));
    std::string motivo;
    const int64_t n = trozos.Contar(clave_, p_.HashCifrado, motivo);
    const std::string_view vista = n > 0 ? p_.Base() : std::string_view();
    if (n > 0 && vista.empty())
        motivo = "no se pudo leer el paquete anterior";
    if (!vista.empty() && p_.Reconstruir(vista, tamano, DeTrozos(trozos, n), Md5, motivo))
        return true;
    RegistrarOtroCamino(motivo.empty() ? "faltan los trozos del delta" : motivo);
    return false;
}

bool LecturaPaquete::Completo(std::string& Motivo, bool& SinFila) {
    SinFila = false;
    PaqueteEnTrozos trozos(db_, PaqueteEnTrozos::kTabla, condicionTrozos_);
    std::string sinTrozos;
    const int64_t n = trozos.Contar(clave_, p_.HashCifrado, sinTrozos);
    if (n > 0) {
        // Asked only on this road: a database of Binario alone sees no new statement.
        const int64_t compresion = TrozosComprimidos::Compresion(db_, condicionFila_);
        if (compresion == 0)
            return p_.Escribir(DeTrozos(trozos, n), Motivo);
        if (compresion != 1) {
            Motivo = "compresión desconocida de los trozos: " + std::to_string(compresion);
        } else {
            TrozosComprimidos comprimidos(DeTrozos(trozos, n), n);
            if (p_.Escribir([&comprimidos](uint8_t* destino, size_t largo,
                                           std::string& m) { return comprimidos.Leer(destino, largo, m); },
                            Motivo))
                return true;
        }
        // Binario, where the publisher could write it, is the raw package.
        RegistrarOtroCamino(Motivo);
        sinTrozos = Motivo;
    }
    // Binario and the digest from one statement: the row may have changed.
    std::unique_ptr<ado::Recordset> rs;
    int32_t filas = -1;
    if (!db_.AbrirRs(rs, "SELECT Binario, MD5Hash" + condicionFila_, 3, 3, -1, true, filas)) {
        Motivo = "la consulta del paquete no se abrió";
        return false;
    }
    if (rs->Eof()) {
        SinFila = true;
        rs->Close();
        return false;
    }
    bool escrito = false;
    try {
        p_.HashCifrado = rs->Fields("MD5Hash").Value().ATexto();
        ado::Field& binario = rs->Fields("Binario");
        if (!sinTrozos.empty() && binario.ActualSize() <= 0) {
            // Nothing in Binario and pieces that could not be read: that is
            // the reason, not the digest of an empty file.
            Motivo = sinTrozos;
            RegistrarLog("Paquete no preparado: " + EscaparControles(sinTrozos));
        } else {
            escrito = p_.Escribir(DeBinario(binario, p_.BytesLeidos), Motivo);
        }
    } catch (const ErrorOlvado& e) {
        Motivo = e.Descripcion();
        escrito = false;
    }
    try {
        if (rs->State() == 1)
            rs->Close();
    } catch (...) {
    }
    return escrito;
}

} // namespace olvado
