#include "admin/Publicacion.h"

#include "admin/BaseAdmin.h"
#include "admin/Ordenes.h"
#include "base/ErrorOlvado.h"
#include "common/FirmaPaquete.h"
#include "common/clsEncriptor.h"
#include "platform/Consola.h"
#include "platform/FirmaEd25519.h"
#include "updater/DigestoSellado.h"
#include "updater/PaqueteAnillo.h"
#include "updater/PaqueteEnTrozos.h"

#include <memory>
#include <vector>

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

int64_t Publicacion::LimiteDelServidor(BaseAdmin& base) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (base.DB().SintaxisSQL() != 2 ||
        !base.DB().AbrirRs(rs, "SELECT @@max_allowed_packet AS Limite", ado::adOpenForwardOnly, 1, -1, false, n))
        return -1;
    int64_t limite = -1;
    try {
        limite = rs->Eof() ? -1 : rs->Fields("Limite").Value().AEntero();
        rs->Close();
    } catch (const ErrorOlvado&) {
    }
    return limite;
}

std::string Publicacion::ClaveTrozos() const {
    return anillo.empty() ? producto : ProductoTrozosAnillo(producto, anillo);
}

// The pieces in order, one row each, read from the sealed copy.
bool Publicacion::EscribirTrozos(BaseAdmin& base) {
    clsDB& db = base.DB();
    const std::string tabla = PaqueteEnTrozos::kTabla;
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!db.EjecutarSQL("DELETE FROM " + tabla + " WHERE Producto = " + base.SQL().Strg(ClaveTrozos()), nullptr, 0,
                        true) ||
        !db.AbrirRs(rs, "SELECT * FROM " + tabla + " WHERE 1 = 0", ado::adOpenStatic, ado::adLockOptimistic, -1, true,
                    n) ||
        !sellado_.Rebobinar())
        return false;
    for (int32_t trozo = 0;; ++trozo) {
        std::vector<uint8_t> datos(PaqueteEnTrozos::kTamanoTrozo);
        size_t lleno = 0;
        for (int64_t leidos = 1; lleno < datos.size() && leidos > 0; lleno += static_cast<size_t>(leidos))
            if ((leidos = sellado_.Leer(datos.data() + lleno, datos.size() - lleno)) < 0)
                return false;
        if (lleno == 0)
            break;
        datos.resize(lleno);
        rs->AddNew();
        rs->Fields("Producto").SetValue(ado::Valor(ClaveTrozos()));
        rs->Fields("Major").SetValue(ado::Valor(major));
        rs->Fields("Minor").SetValue(ado::Valor(minor));
        rs->Fields("Revision").SetValue(ado::Valor(revision));
        rs->Fields("Trozo").SetValue(ado::Valor(trozo));
        rs->Fields("MD5Hash").SetValue(ado::Valor(digestCifrado_));
        rs->Fields("Datos").SetValue(ado::Valor(std::move(datos)));
        rs->Update();
    }
    rs->Close();
    return true;
}

bool Publicacion::Escribir(BaseAdmin& base, bool ConBinario, bool Progreso) {
    clsDB& db = base.DB();
    const std::string tabla = anillo.empty() ? "BinariosAct" : kTablaAnillo;
    const std::string clave =
        base.SQL().Strg(producto) + (anillo.empty() ? "" : " AND Anillo = " + base.SQL().Strg(anillo));
    if (!db.vBeginTrans())
        return Fallar("no se pudo iniciar la transacción" + base.UltimoError()) == 0;
    bool escrito = false;
    try {
        std::unique_ptr<ado::Recordset> rs;
        int32_t n = -1;
        if (EscribirTrozos(base) && db.EjecutarSQL("DELETE FROM " + tabla + " WHERE Producto = " + clave, nullptr, 0, true) &&
            db.AbrirRs(rs, "SELECT * FROM " + tabla + " WHERE Producto = " + clave, ado::adOpenStatic,
                       ado::adLockOptimistic, -1, true, n)) {
            rs->AddNew();
            if (!anillo.empty())
                rs->Fields("Anillo").SetValue(ado::Valor(anillo));
            rs->Fields("Producto").SetValue(ado::Valor(producto));
            rs->Fields("Major").SetValue(ado::Valor(major));
            rs->Fields("Minor").SetValue(ado::Valor(minor));
            rs->Fields("Revision").SetValue(ado::Valor(revision));
            rs->Fields("MD5Hash").SetValue(ado::Valor(digestCifrado_));
            if (!firma_.empty())
                rs->Fields("Firma").SetValue(ado::Valor(firma_));
            if (!ConBinario || db.Archivo_A_BLOB(rs->Fields("Binario"), sellado_.RutaLectura())) {
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
