#include "admin/VersionesGuardadas.h"

#include "admin/BaseAdmin.h"
#include "base/ErrorOlvado.h"
#include "common/DescompresorZstd.h"
#include "common/clsEncriptor.h"
#include "common/clsMD5File.h"
#include "updater/PaqueteEnTrozos.h"

#include <memory>
#include <vector>

namespace olvado::admin {
namespace {

std::string Md5(std::string_view datos) {
    clsMD5File md5;
    md5.MD5Init();
    md5.MD5Update(datos);
    md5.MD5Final();
    return md5.GetValues();
}

} // namespace

bool VersionesGuardadas::Listar(BaseAdmin& base, const std::string& clave, std::vector<Version>& versiones) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!base.DB().AbrirRs(rs,
                           "SELECT DISTINCT Major, Minor, Revision, MD5Hash FROM " +
                               std::string(PaqueteEnTrozos::kTabla) + " WHERE Producto = " +
                               base.SQL().Strg(clave) + " ORDER BY Major DESC, Minor DESC, Revision DESC",
                           ado::adOpenForwardOnly, 1, -1, false, n))
        return false;
    try {
        for (; !rs->Eof(); rs->MoveNext())
            versiones.push_back({static_cast<int32_t>(rs->Fields(0).Value().AEntero()),
                                 static_cast<int32_t>(rs->Fields(1).Value().AEntero()),
                                 static_cast<int32_t>(rs->Fields(2).Value().AEntero()),
                                 rs->Fields(3).Value().ATexto()});
        rs->Close();
    } catch (const ErrorOlvado&) {
        return false;
    }
    return true;
}

std::optional<VersionesGuardadas::Version> VersionesGuardadas::General(BaseAdmin& base,
                                                                       const std::string& producto) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    std::optional<Version> v;
    if (!base.DB().AbrirRs(rs,
                           "SELECT Major, Minor, Revision, MD5Hash FROM BinariosAct WHERE Producto = " +
                               base.SQL().Strg(producto),
                           ado::adOpenForwardOnly, 1, -1, false, n))
        return v;
    try {
        if (!rs->Eof() && !rs->Fields(3).Value().EsNulo())
            v = Version{static_cast<int32_t>(rs->Fields(0).Value().AEntero()),
                        static_cast<int32_t>(rs->Fields(1).Value().AEntero()),
                        static_cast<int32_t>(rs->Fields(2).Value().AEntero()),
                        rs->Fields(3).Value().ATexto()};
        rs->Close();
    } catch (const ErrorOlvado&) {
        v.reset();
    }
    return v;
}

std::optional<std::string> VersionesGuardadas::Leer(BaseAdmin& base, const std::string& clave,
                                                    const Version& v) {
    PaqueteEnTrozos trozos(base.DB(), PaqueteEnTrozos::kTabla,
                           CondicionVersion(base.SQL().Strg(clave), v.major, v.minor, v.revision));
    std::string motivo, datos;
    const int64_t n = trozos.Contar(clave, v.md5Cifrado, motivo);
    if (n == 0)
        return std::nullopt;
    std::vector<uint8_t> trozo(static_cast<size_t>(PaqueteEnTrozos::kTamanoTrozo) + 1);
    for (int64_t i = 0; i < n; ++i) {
        const int64_t leidos = trozos.LeerTrozo(i, n, clave, v.md5Cifrado, trozo.data(), trozo.size(), motivo);
        if (leidos < 0)
            return std::nullopt;
        datos.append(reinterpret_cast<const char*>(trozo.data()), static_cast<size_t>(leidos));
    }
    std::string cifrado = v.md5Cifrado;
    bool exito = false;
    const std::string md5 = clsEncriptor().Decrypt(cifrado, exito);
    if (!exito || md5.empty())
        return std::nullopt;
    if (Md5(datos) == md5)
        return datos;
    std::string paquete;
    DescompresorZstd zstd([&paquete](std::string_view parte) {
        paquete.append(parte);
        return true;
    });
    if (zstd.Alimentar(datos) && zstd.Terminar() && Md5(paquete) == md5)
        return paquete;
    return std::nullopt;
}

std::string VersionesGuardadas::SqlVersiones(const std::vector<Version>& versiones) {
    std::string sql;
    for (const Version& v : versiones)
        sql += (sql.empty() ? " AND ((" : " OR (") + std::string("Major = ") + std::to_string(v.major) +
               " AND Minor = " + std::to_string(v.minor) + " AND Revision = " + std::to_string(v.revision) +
               ")";
    return sql.empty() ? sql : sql + ")";
}

} // namespace olvado::admin
