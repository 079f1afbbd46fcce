#include "admin/Publicacion.h"

#include "admin/BaseAdmin.h"
#include "admin/Ordenes.h"
#include "base/ErrorOlvado.h"
#include "common/FirmaPaquete.h"
#include "common/clsEncriptor.h"
#include "platform/Consola.h"
#include "platform/FirmaEd25519.h"
#include "updater/DigestoSellado.h"

#include <memory>

namespace olvado::admin {

bool Publicacion::Sellar(const std::string& ClavePrivada) {
    platform::FirmaEd25519 firma;
    const std::string md5 =
        sellado_.Abrir(archivo) ? DigestoSellado(sellado_, ClavePrivada.empty() ? nullptr : &firma) : "";
    if (md5.empty())
        return false;
    digestCifrado_ = clsEncriptor().Encrypt(md5);
    if (!ClavePrivada.empty())
        firma_ = FirmarPaquete(firma, ClavePrivada, producto, major, minor, revision);
    return ClavePrivada.empty() || !firma_.empty();
}

bool Publicacion::Escribir(BaseAdmin& base, bool Progreso) {
    clsDB& db = base.DB();
    const std::string clave = base.SQL().Strg(producto);
    if (!db.vBeginTrans())
        return Fallar("no se pudo iniciar la transacción" + base.UltimoError()) == 0;
    bool escrito = false;
    try {
        std::unique_ptr<ado::Recordset> rs;
        int32_t n = -1;
        if (db.EjecutarSQL("DELETE FROM BinariosAct WHERE Producto = " + clave, nullptr, 0, true) &&
            db.AbrirRs(rs, "SELECT * FROM BinariosAct WHERE Producto = " + clave, ado::adOpenStatic,
                       ado::adLockOptimistic, -1, true, n)) {
            rs->AddNew();
            rs->Fields("Producto").SetValue(ado::Valor(producto));
            rs->Fields("Major").SetValue(ado::Valor(major));
            rs->Fields("Minor").SetValue(ado::Valor(minor));
            rs->Fields("Revision").SetValue(ado::Valor(revision));
            rs->Fields("MD5Hash").SetValue(ado::Valor(digestCifrado_));
            if (!firma_.empty())
                rs->Fields("Firma").SetValue(ado::Valor(firma_));
            if (db.Archivo_A_BLOB(rs->Fields("Binario"), sellado_.RutaLectura())) {
                if (Progreso)
                    platform::EscribirError(", escribiendo");
                rs->Update();
                rs->Close();
                escrito = true;
            }
        }
    } catch (const ErrorOlvado& e) {
        Fallar("no se pudo escribir la fila: " + e.Descripcion() + base.UltimoError());
    }
    if (escrito && db.vCommitTrans(true))
        return true;
    db.vRollBackTrans();
    return false;
}

} // namespace olvado::admin
