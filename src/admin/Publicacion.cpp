#include "admin/Publicacion.h"

#include "admin/BaseAdmin.h"
#include "admin/Ordenes.h"
#include "base/ErrorOlvado.h"
#include "common/CompresorZstd.h"
#include "common/FirmaPaquete.h"
#include "common/clsEncriptor.h"
#include "platform/Consola.h"
#include "platform/FirmaEd25519.h"
#include "updater/DigestoSellado.h"
#include "updater/PaqueteAnillo.h"
#include "updater/PaqueteEnTrozos.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
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

namespace {

// Rows of tabla, one per piece of at most kTamanoTrozo bytes in order from
// leer (bytes read into the buffer, 0 at the end, -1 on failure), each with
// the key that claves sets.
bool EscribirPiezas(clsDB& db, const std::string& tabla, const std::function<int64_t(uint8_t*, size_t)>& leer,
                    const std::function<void(ado::Recordset&)>& claves) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!db.AbrirRs(rs, "SELECT * FROM " + tabla + " WHERE 1 = 0", ado::adOpenStatic, ado::adLockOptimistic,
                    -1, true, n))
        return false;
    for (int32_t trozo = 0;; ++trozo) {
        std::vector<uint8_t> datos(PaqueteEnTrozos::kTamanoTrozo);
        size_t lleno = 0;
        for (int64_t leidos = 1; lleno < datos.size() && leidos > 0; lleno += static_cast<size_t>(leidos))
            if ((leidos = leer(datos.data() + lleno, datos.size() - lleno)) < 0)
                return false;
        if (lleno == 0)
            break;
        datos.resize(lleno);
        rs->AddNew();
        claves(*rs);
        rs->Fields("Trozo").SetValue(ado::Valor(trozo));
        rs->Fields("Datos").SetValue(ado::Valor(std::move(datos)));
        rs->Update();
    }
    rs->Close();
    return true;
}

std::function<int64_t(uint8_t*, size_t)> DeMemoria(std::string_view resto) {
    return [resto](uint8_t* destino, size_t n) mutable {
        n = std::min(n, resto.size());
        std::memcpy(destino, resto.data(), n);
        resto.remove_prefix(n);
        return static_cast<int64_t>(n);
    };
}

} // namespace

// The pieces in order, one row each, from the sealed copy or, compressed,
// from its bytes in memory; the pieces of other versions go but those kept
// for the deltas.
bool Publicacion::EscribirTrozos(BaseAdmin& base, const std::vector<VersionesGuardadas::Version>& guardadas) {
    clsDB& db = base.DB();
    const std::string tabla = PaqueteEnTrozos::kTabla;
    std::string guardar = VersionesGuardadas::SqlVersiones(guardadas);
    if (!guardar.empty())
        guardar = " AND NOT (" + guardar.substr(5) + ")";
    std::optional<std::string> comprimido;
    if (comprimir && (!LeerContenido() || !(comprimido = CompresorZstd::Comprimir(contenido_, {}))))
        return false;
    if (!db.EjecutarSQL("DELETE FROM " + tabla + " WHERE Producto = " + base.SQL().Strg(ClaveTrozos()) +
                            guardar,
                        nullptr, 0, true) ||
        !sellado_.Rebobinar())
        return false;
    const auto claves = [this](ado::Recordset& rs) {
        rs.Fields("Producto").SetValue(ado::Valor(ClaveTrozos()));
        rs.Fields("Major").SetValue(ado::Valor(major));
        rs.Fields("Minor").SetValue(ado::Valor(minor));
        rs.Fields("Revision").SetValue(ado::Valor(revision));
        rs.Fields("MD5Hash").SetValue(ado::Valor(digestCifrado_));
    };
    if (comprimido)
        return EscribirPiezas(db, tabla, DeMemoria(*comprimido), claves);
    return EscribirPiezas(
        db, tabla, [this](uint8_t* d, size_t n) { return sellado_.Leer(d, n); }, claves);
}

// A delta from each of the last `deltas` versions whose package can be read
// back to this one (and, for a ring, from the general package, which its
// workstations mostly run); those under half the package replace the
// product's deltas. guardadas: the versions whose pieces stay.
bool Publicacion::Deltas(BaseAdmin& base, std::vector<VersionesGuardadas::Version>& guardadas) {
    const std::string clave = ClaveTrozos();
    std::vector<VersionesGuardadas::Version> versiones;
    if (!base.DB().EjecutarSQL("DELETE FROM " + std::string(kTablaDeltas) +
                                   " WHERE Producto = " + base.SQL().Strg(clave),
                               nullptr, 0, true) ||
        (deltas > 0 && !VersionesGuardadas::Listar(base, clave, versiones)))
        return false;
    std::vector<std::string> bases;
    // False only on a failure; a base that cannot be read gives no delta.
    const auto diferenciar = [&](const std::string& claveBase, const VersionesGuardadas::Version& v) {
        const std::optional<std::string> paquete = VersionesGuardadas::Leer(base, claveBase, v);
        if (!paquete || std::find(bases.begin(), bases.end(), v.md5Cifrado) != bases.end())
            return true;
        bases.push_back(v.md5Cifrado);
        if (claveBase == clave)
            guardadas.push_back(v);
        if (!LeerContenido())
            return false;
        const std::optional<std::string> delta = CompresorZstd::CrearDelta(*paquete, contenido_, {});
        if (!delta)
            return true;
        Delta d{v, static_cast<int64_t>(delta->size()), delta->size() * 2 < contenido_.size()};
        if (d.guardado &&
            !EscribirPiezas(base.DB(), kTablaDeltas, DeMemoria(*delta), [&](ado::Recordset& rs) {
                rs.Fields("Producto").SetValue(ado::Valor(clave));
                rs.Fields("MD5Base").SetValue(ado::Valor(v.md5Cifrado));
                rs.Fields("Major").SetValue(ado::Valor(major));
                rs.Fields("Minor").SetValue(ado::Valor(minor));
                rs.Fields("Revision").SetValue(ado::Valor(revision));
                rs.Fields("MD5Hash").SetValue(ado::Valor(digestCifrado_));
                rs.Fields("Tamano").SetValue(ado::Valor(static_cast<int64_t>(contenido_.size())));
            }))
            return false;
        hechos.push_back(std::move(d));
        return true;
    };
    for (const VersionesGuardadas::Version& v : versiones)
        if (static_cast<int32_t>(guardadas.size()) < deltas &&
            !(v.major == major && v.minor == minor && v.revision == revision) && !diferenciar(clave, v))
            return false;
    std::optional<VersionesGuardadas::Version> general;
    if (deltas > 0 && !anillo.empty() && (general = VersionesGuardadas::General(base, producto)))
        return diferenciar(producto, *general);
    return true;
}

// The package in memory, for its compression and its deltas.
bool Publicacion::LeerContenido() {
    if (leido_)
        return true;
    if (!sellado_.Rebobinar())
        return false;
    contenido_.resize(static_cast<size_t>(sellado_.Tamano()));
    size_t lleno = 0;
    for (int64_t leidos = 1; lleno < contenido_.size() && leidos > 0; lleno += static_cast<size_t>(leidos))
        if ((leidos = sellado_.Leer(contenido_.data() + lleno, contenido_.size() - lleno)) < 0)
            return false;
    leido_ = lleno == contenido_.size();
    return leido_;
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
        std::vector<VersionesGuardadas::Version> guardadas;
        hechos.clear();
        leido_ = false;
        contenido_.clear();
        if (Deltas(base, guardadas) && EscribirTrozos(base, guardadas) &&
            db.EjecutarSQL("DELETE FROM " + tabla + " WHERE Producto = " + clave, nullptr, 0, true) &&
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
            if (comprimir)
                rs->Fields("Compresion").SetValue(ado::Valor(int32_t{1}));
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
