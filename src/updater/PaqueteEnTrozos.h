// The package as ordered pieces in a table of its own beside BinariosAct (one
// row per piece: Producto, Major, Minor, Revision, Trozo numbered from 0, and
// Datos, at most kTamanoTrozo bytes), which olvado-admin writes in the
// publication's own transaction. A reader takes one piece per statement, so
// neither the server nor a workstation ever holds more than one piece, and a
// server with stock settings (16 MiB packets) serves a package of any size.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

class clsDB;

// " WHERE Producto = " + ProductoSql + " AND Major = ... AND Minor = ... AND
// Revision = ...": one version's rows, in BinariosAct and in its pieces.
std::string CondicionVersion(const std::string& ProductoSql, int32_t Major, int32_t Minor, int32_t Revision);

class PaqueteEnTrozos {
public:
    static constexpr int64_t kTamanoTrozo = int64_t{1} << 20;
    static constexpr const char* kTabla = "BinariosActTrozos";

    // Tabla: where the pieces are; Condicion: the " WHERE ..." that names one
    // product and version on that table's Producto, Major, Minor, Revision.
    PaqueteEnTrozos(clsDB& DB, std::string Tabla, std::string Condicion);

    // How many pieces that version has; 0 when none, or when there is no such
    // table (a package published in Binario only).
    int64_t Contar();
    // Writes pieces 0 to Trozos - 1 to Ruta, each as it arrives (a new file,
    // never through a link, into a FIFO or a device). Every piece but the last
    // is exactly kTamanoTrozo bytes, the last 1 to kTamanoTrozo. False with
    // Motivo when a piece is missing, of another size, or unreadable, or the
    // write failed; the file is then gone.
    bool Escribir(const std::string& Ruta, int64_t Trozos, std::string& Motivo);

private:
    clsDB& db_;
    std::string tabla_, condicion_;
};

} // namespace olvado
