#include "updater/PaqueteAnillo.h"

#include "base/Texto.h"
#include "common/ComparadorVersiones.h"
#include "common/clsStgComunes.h"
#include "database/clsDB.h"
#include "database/clsSqlSyntaxEngine.h"

#include <cstdint>
#include <memory>

namespace olvado {

bool NombreAnilloValido(const std::string& Anillo) {
    if (Anillo.empty() || Anillo.size() > kLargoAnillo)
        return false;
    for (const char c : Anillo)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
              c == '_'))
            return false;
    return true;
}

std::string ProductoTrozosAnillo(const std::string& Producto, const std::string& Anillo) {
    return Producto + "@" + Anillo;
}

std::string AnilloEstacion(clsStgComunes& Comunes) {
    Variante leido = std::string();
    if (!Comunes.Registro_GetValor("", kValorAnillo, leido, 0, std::string(), HKEY_LOCAL_MACHINE, false) ||
        !std::holds_alternative<std::string>(leido))
        return {};
    const std::string anillo = Trim(VarATexto(leido));
    return NombreAnilloValido(anillo) ? anillo : std::string();
}

std::string OrigenPaquete::Tabla() const {
    return anillo_.empty() ? "BinariosAct" : kTablaAnillo;
}

std::string OrigenPaquete::Filtro(const clsSqlSyntaxEngine& SQL) const {
    return anillo_.empty() ? "" : " AND Anillo = " + SQL.Strg(anillo_);
}

std::string OrigenPaquete::ClaveTrozos(const std::string& Producto) const {
    return anillo_.empty() ? Producto : ProductoTrozosAnillo(Producto, anillo_);
}

bool OrigenPaquete::ElegirAnillo(clsDB& DB, const clsSqlSyntaxEngine& SQL, const std::string& Producto,
                                 const std::string& Anillo, bool& Hay, int32_t& Major, int32_t& Minor,
                                 int32_t& Revision, std::string& HashCifrado) {
    anillo_.clear();
    if (Anillo.empty())
        return false;
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    if (!DB.AbrirRs(rs,
                    std::string("SELECT Major, Minor, Revision, MD5Hash FROM ") + kTablaAnillo +
                        " WHERE Producto = " + SQL.Strg(Producto) + " AND Anillo = " + SQL.Strg(Anillo),
                    ado::adOpenStatic, 1, -1, false, n))
        return false;
    int32_t a = 0, b = 0, c = 0;
    std::string hash;
    bool fila = false;
    // A part that is no 32-bit number makes the row unusable: the general
    // one serves.
    auto parte = [&](const char* campo, int32_t& valor) {
        const int64_t v = rs->Fields(campo).Value().AEntero();
        valor = static_cast<int32_t>(v);
        return v >= INT32_MIN && v <= INT32_MAX;
    };
    try {
        if ((fila = !rs->Eof())) {
            fila = parte("Major", a) && parte("Minor", b) && parte("Revision", c);
            const ado::Valor h = rs->Fields("MD5Hash").Value();
            hash = h.EsNulo() ? "" : h.ATexto();
        }
        rs->Close();
    } catch (...) {
        return false;
    }
    // Newer than the general row; equal or older, the general one serves.
    if (!fila || (Hay && !DBMasRecienteQuePrograma(a, b, c, true, Major, Minor, Revision)))
        return false;
    Hay = true;
    Major = a, Minor = b, Revision = c;
    HashCifrado = hash;
    anillo_ = Anillo;
    return true;
}

} // namespace olvado
