#include "admin/AnilloAdmin.h"

#include "admin/BaseAdmin.h"
#include "admin/DatosFlota.h"
#include "admin/Ordenes.h"
#include "admin/VersionesGuardadas.h"
#include "base/ErrorOlvado.h"
#include "updater/PaqueteAnillo.h"
#include "updater/PaqueteEnTrozos.h"

#include <memory>
#include <tuple>

namespace olvado::admin {

AnilloAdmin::AnilloAdmin(BaseAdmin& base, std::string producto, std::string anillo)
    : base_(base), producto_(std::move(producto)), anillo_(std::move(anillo)) {}

std::vector<std::string> AnilloAdmin::Publicados(BaseAdmin& base, const std::string& producto) {
    std::vector<std::string> anillos;
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!base.DB().AbrirRs(rs,
                           std::string("SELECT Anillo FROM ") + kTablaAnillo +
                               " WHERE Producto = " + base.SQL().Strg(producto) + " ORDER BY Anillo",
                           ado::adOpenStatic, 1, -1, false, n))
        return anillos;
    try {
        for (; !rs->Eof(); rs->MoveNext())
            anillos.push_back(rs->Fields("Anillo").Value().ATexto());
        rs->Close();
    } catch (const ErrorOlvado&) {
    }
    return anillos;
}

bool AnilloAdmin::Leer() {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!base_.DB().AbrirRs(rs,
                            std::string("SELECT Major, Minor, Revision, Firma FROM ") + kTablaAnillo +
                                " WHERE Producto = " + base_.SQL().Strg(producto_) +
                                " AND Anillo = " + base_.SQL().Strg(anillo_),
                            ado::adOpenStatic, 1, -1, false, n))
        return false;
    bool hay = false;
    try {
        if ((hay = !rs->Eof())) {
            major = static_cast<int32_t>(rs->Fields("Major").Value().AEntero());
            minor = static_cast<int32_t>(rs->Fields("Minor").Value().AEntero());
            revision = static_cast<int32_t>(rs->Fields("Revision").Value().AEntero());
            firmado = !rs->Fields("Firma").Value().EsNulo() && !rs->Fields("Firma").Value().ATexto().empty();
        }
        rs->Close();
    } catch (const ErrorOlvado&) {
        hay = false;
    }
    return hay;
}

bool AnilloAdmin::LeerDespliegue(Despliegue& d) {
    d = {};
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!base_.DB().AbrirRs(rs,
                            base_.SqlUltimas(base_.SQL().Strg(producto_),
                                             "h.Estacion, h.Major, h.Minor, h.Revision, h.Resultado",
                                             "AND h.Anillo = " + base_.SQL().Strg(anillo_)),
                            ado::adOpenStatic, 1, -1, false, n))
        return false;
    const VersionFlota suya{major, minor, revision};
    std::string anterior;
    try {
        for (; !rs->Eof(); rs->MoveNext()) {
            const std::string estacion = rs->Fields(0).Value().ATexto();
            if (d.estaciones > 0 && estacion == anterior)
                continue; // the first of a tie
            anterior = estacion;
            ++d.estaciones;
            const VersionFlota v{static_cast<int32_t>(rs->Fields(1).Value().AEntero()),
                                 static_cast<int32_t>(rs->Fields(2).Value().AEntero()),
                                 static_cast<int32_t>(rs->Fields(3).Value().AEntero())};
            if (v >= suya)
                ++d.conVersion;
            else if (DatosFlota::EsFallo(rs->Fields(4).Value().ATexto()))
                d.fallidas.push_back(estacion);
        }
        rs->Close();
    } catch (const ErrorOlvado&) {
        return false;
    }
    return true;
}

bool AnilloAdmin::EnTransaccion(const std::vector<std::string>& pasos, const std::string& que) {
    clsDB& db = base_.DB();
    if (!db.vBeginTrans())
        return Fallar("no se pudo iniciar la transacción" + base_.UltimoError()) == 0;
    for (const std::string& paso : pasos) {
        if (!db.EjecutarSQL(paso, nullptr, 0, true)) {
            const std::string error = base_.UltimoError();
            db.vRollBackTrans();
            return Fallar("no se pudo " + que + "; la base de datos queda como estaba" + error) == 0;
        }
    }
    if (db.vCommitTrans(true))
        return true;
    db.vRollBackTrans();
    return Fallar("no se pudo " + que + "; la base de datos queda como estaba" + base_.UltimoError()) == 0;
}

bool AnilloAdmin::Promover() {
    // The general table takes a signed ring's signature: the signed text
    // names the product, not the ring, so it stays valid there.
    // The ring's deltas and kept pieces move with its package: the general
    // ones are of a package the ring's replaces.
    // A ring that never had compressed pieces has no flag to carry.
    const bool compresion = base_.TieneColumna(kTablaAnillo, "Compresion");
    if (!base_.AsegurarTabla("BinariosAct") || !base_.AsegurarTabla(PaqueteEnTrozos::kTabla) ||
        !base_.AsegurarTabla(kTablaDeltas) ||
        (compresion && !base_.AsegurarColumna("BinariosAct", "Compresion", BaseAdmin::Tipo::Entero)) ||
        (firmado && !base_.AsegurarColumna("BinariosAct", "Firma")))
        return false;
    const std::string producto = base_.SQL().Strg(producto_);
    const std::string delAnillo =
        " WHERE Producto = " + producto + " AND Anillo = " + base_.SQL().Strg(anillo_);
    const std::string trozos = PaqueteEnTrozos::kTabla;
    const std::string columnas = std::string("Producto, Major, Minor, Revision, MD5Hash, ") +
                                 (compresion ? "Compresion, " : "") + (firmado ? "Firma, " : "") + "Binario";
    const std::string claveAnillo = base_.SQL().Strg(ProductoTrozosAnillo(producto_, anillo_));
    const std::string deltas = kTablaDeltas;
    return EnTransaccion(
        {"DELETE FROM " + trozos + " WHERE Producto = " + producto,
         "UPDATE " + trozos + " SET Producto = " + producto + " WHERE Producto = " + claveAnillo,
         "DELETE FROM " + deltas + " WHERE Producto = " + producto,
         "UPDATE " + deltas + " SET Producto = " + producto + " WHERE Producto = " + claveAnillo,
         "DELETE FROM BinariosAct WHERE Producto = " + producto,
         "INSERT INTO BinariosAct (" + columnas + ") SELECT " + columnas + " FROM " + kTablaAnillo +
             delAnillo,
         "DELETE FROM " + std::string(kTablaAnillo) + delAnillo},
        "promover el anillo " + anillo_);
}

bool AnilloAdmin::Retirar() {
    if (!base_.AsegurarTabla(kTablaDeltas))
        return false;
    return EnTransaccion(
        {"DELETE FROM " + std::string(PaqueteEnTrozos::kTabla) +
             " WHERE Producto = " + base_.SQL().Strg(ProductoTrozosAnillo(producto_, anillo_)),
         "DELETE FROM " + std::string(kTablaDeltas) +
             " WHERE Producto = " + base_.SQL().Strg(ProductoTrozosAnillo(producto_, anillo_)),
         "DELETE FROM " + std::string(kTablaAnillo) + " WHERE Producto = " + base_.SQL().Strg(producto_) +
             " AND Anillo = " + base_.SQL().Strg(anillo_)},
        "retirar el anillo " + anillo_);
}

} // namespace olvado::admin
