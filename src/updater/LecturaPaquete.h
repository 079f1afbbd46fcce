// The roads by which the compared row's package is had from the server, each
// into the Paquete's new held file: a delta over the file the workstation
// already holds, or the whole package from its pieces (raw or compressed) or
// from Binario. Every byte read from the server is counted in the Paquete's
// BytesLeidos. A road that fails where another may still serve says why in
// the system's log as a warning.
#pragma once

#include "updater/Paquete.h"

#include <string>

namespace olvado {

class clsDB;
class clsSqlSyntaxEngine;

class LecturaPaquete {
  public:
    // CondicionFila: " FROM ... WHERE ..." of the row; CondicionTrozos: the
    // " WHERE ..." of its pieces and deltas; Clave: their piece key.
    LecturaPaquete(Paquete& P, clsDB& DB, const clsSqlSyntaxEngine& SQL, std::string CondicionFila,
                   std::string CondicionTrozos, std::string Clave);

    // The plain digest (upper case) of an enciphered one; "" when it does not
    // decipher. The cipher is salted: digests are compared deciphered.
    static std::string Descifrar(std::string Cifrado);

    // A delta to the row's package (same piece key, version and digest as the
    // row) whose base's digest, deciphered, is the held file's, rebuilt from
    // it; Md5: the row's digest, deciphered. False when there is none or it
    // does not give the package: the caller reads the whole package.
    bool Delta(const std::string& Md5);
    // The whole package from the pieces bound to the row's current digest
    // when they are all there (compressed ones that fail: from Binario), else
    // from Binario; the Paquete's HashCifrado as the row stores it now. False
    // with Motivo, or SinFila when the row is gone.
    bool Completo(std::string& Motivo, bool& SinFila);

  private:
    Paquete::Fuente DeTrozos(class PaqueteEnTrozos& Trozos, int64_t N);

    Paquete& p_;
    clsDB& db_;
    const clsSqlSyntaxEngine& sql_;
    std::string condicionFila_, condicionTrozos_, clave_;
};

} // namespace olvado
