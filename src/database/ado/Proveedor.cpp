#include "database/ado/Proveedor.h"

#include "base/Texto.h"
#include "database/ado/Motor.h"
#include "platform/ControladoresOdbc.h"

namespace olvado::ado {

namespace {

// An ODBC value that needs braces: one with ";" or a leading blank or brace.
std::string ValorOdbc(const std::string& v) {
    if (v.find_first_of(";{}") == std::string::npos && (v.empty() || v.front() != ' '))
        return v;
    return "{" + Replace(v, "}", "}}") + "}";
}

std::string Unir(const std::vector<std::pair<std::string, std::string>>& partes) {
    std::string s;
    for (const auto& [k, v] : partes)
        s += k + "=" + ValorOdbc(v) + ";";
    return s;
}

// An OLE DB Boolean (True/False) as ODBC writes it (yes/no); anything else as written.
std::string SiNo(const std::string& v) {
    const std::string u = UCase(v);
    return u == "TRUE" ? "yes" : u == "FALSE" ? "no" : v;
}

// "Driver={name};" for the class's driver (names such as "Microsoft Access
// Driver (*.mdb)" go in braces), or "" with the message that names what to
// install. extra: the keywords the driver needs to behave as the provider did.
std::string Elegir(platform::ClaseControlador clase, const std::vector<std::string>& instalados, bool cifrado,
                   DestinoConexion& d, std::string& extra) {
    auto e = platform::ElegirControlador(clase, platform::SistemaOdbcPropio(), instalados, cifrado);
    if (e.nombre.empty()) {
        d.sinControlador = std::string("No hay ningún controlador ODBC de ") +
                           (clase == platform::ClaseControlador::SqlServer ? "SQL Server" : "Access") +
                           " instalado en este equipo: instale " + e.aInstalar + ".";
        return {};
    }
    d.controlador = e.nombre;
    extra = e.clavesExtra;
    return "Driver={" + e.nombre + "};";
}

// Data Source -> Server and the rest, for the SQL Server driver. What the
// string says about encryption is the user's and wins over the driver's
// default.
std::string CadenaSqlServer(const std::vector<std::pair<std::string, std::string>>& partes,
                            const std::vector<std::string>& instalados, DestinoConexion& d) {
    std::vector<std::pair<std::string, std::string>> salida;
    bool cifrado = false;
    for (const auto& [k, v] : partes) {
        std::string clave = UCase(k);
        cifrado = cifrado || clave == "ENCRYPT" || clave == "USE ENCRYPTION FOR DATA" ||
                  clave == "TRUSTSERVERCERTIFICATE" || clave == "TRUST SERVER CERTIFICATE";
    }
    std::string extra;
    const std::string driver = Elegir(platform::ClaseControlador::SqlServer, instalados, cifrado, d, extra);
    if (driver.empty())
        return {};
    for (const auto& [k, v] : partes) {
        std::string clave = UCase(k);
        if (clave == "DATA SOURCE" || clave == "SERVER")
            salida.emplace_back("Server", v);
        else if (clave == "INITIAL CATALOG" || clave == "DATABASE")
            salida.emplace_back("Database", v);
        else if (clave == "USER ID" || clave == "UID")
            salida.emplace_back("UID", v);
        else if (clave == "PASSWORD" || clave == "PWD")
            salida.emplace_back("PWD", v);
        else if (clave == "INTEGRATED SECURITY" && UCase(v) == "SSPI")
            salida.emplace_back("Trusted_Connection", "Yes");
        else if (clave == "ENCRYPT" || clave == "USE ENCRYPTION FOR DATA")
            salida.emplace_back("Encrypt", SiNo(v));
        else if (clave == "TRUSTSERVERCERTIFICATE" || clave == "TRUST SERVER CERTIFICATE")
            salida.emplace_back("TrustServerCertificate", SiNo(v));
    }
    return driver + Unir(salida) + extra;
}

std::string CadenaAccess(const std::vector<std::pair<std::string, std::string>>& partes,
                         const std::vector<std::string>& instalados, DestinoConexion& d) {
    std::vector<std::pair<std::string, std::string>> salida;
    std::string extra;
    const std::string driver = Elegir(platform::ClaseControlador::Access, instalados, false, d, extra);
    if (driver.empty())
        return {};
    for (const auto& [k, v] : partes) {
        std::string clave = UCase(k);
        if (clave == "DATA SOURCE")
            salida.emplace_back("DBQ", v);
        else if (clave == "JET OLEDB:DATABASE PASSWORD" || clave == "PASSWORD")
            salida.emplace_back("PWD", v);
    }
    return driver + Unir(salida) + extra;
}

DestinoConexion Resolver(const std::string& cadenaAdo, const std::vector<std::string>* instalados);

} // namespace

std::vector<std::pair<std::string, std::string>> PartesCadena(const std::string& cadena) {
    std::vector<std::pair<std::string, std::string>> partes;
    size_t p = 0;
    while (p < cadena.size()) {
        size_t igual = cadena.find('=', p);
        size_t pyc = cadena.find(';', p);
        if (igual == std::string::npos || (pyc != std::string::npos && pyc < igual)) {
            if (pyc == std::string::npos)
                break;
            p = pyc + 1; // a piece without "=" says nothing
            continue;
        }
        std::string clave = Trim(cadena.substr(p, igual - p));
        size_t v = igual + 1;
        while (v < cadena.size() && cadena[v] == ' ')
            ++v;
        std::string valor;
        char abre = v < cadena.size() ? cadena[v] : '\0';
        if (abre == '"' || abre == '\'' || abre == '{') {
            char cierra = abre == '{' ? '}' : abre;
            size_t q = v + 1;
            for (; q < cadena.size(); ++q) {
                if (cadena[q] == cierra && q + 1 < cadena.size() && cadena[q + 1] == cierra) {
                    valor += cierra;
                    ++q;
                } else if (cadena[q] == cierra) {
                    break;
                } else {
                    valor += cadena[q];
                }
            }
            size_t fin = cadena.find(';', q);
            p = fin == std::string::npos ? cadena.size() : fin + 1;
        } else {
            size_t fin = cadena.find(';', v);
            valor = Trim(cadena.substr(v, fin == std::string::npos ? std::string::npos : fin - v));
            p = fin == std::string::npos ? cadena.size() : fin + 1;
        }
        if (!clave.empty())
            partes.emplace_back(clave, valor);
    }
    return partes;
}

bool SqliteNativoDisponible() { return detalle::SqliteNativoDisponible(); }

DestinoConexion ResolverProveedor(const std::string& cadenaAdo) { return Resolver(cadenaAdo, nullptr); }

DestinoConexion ResolverProveedor(const std::string& cadenaAdo, const std::vector<std::string>& instalados) {
    return Resolver(cadenaAdo, &instalados);
}

namespace {

// instalados null: the driver manager's own list, read only when a provider needs a driver.
DestinoConexion Resolver(const std::string& cadenaAdo, const std::vector<std::string>* instalados) {
    auto delSistema = [&instalados] {
        return instalados ? *instalados : detalle::ControladoresInstalados();
    };
    auto partes = PartesCadena(cadenaAdo);
    std::string proveedor;
    std::vector<std::pair<std::string, std::string>> resto;
    for (auto& parte : partes) {
        if (UCase(parte.first) == "PROVIDER")
            proveedor = parte.second;
        else
            resto.push_back(parte);
    }
    DestinoConexion d;
    std::string p = UCase(proveedor);
    if (p.empty() || p == "MSDASQL" || p == "MSDASQL.1") {
        // A driver is named, never given as a library to load, and named once:
        // a second Driver= would load whatever the driver manager finds there.
        std::vector<std::pair<std::string, std::string>> unicos;
        for (auto& parte : resto) {
            bool repetida = false;
            for (const auto& u : unicos)
                repetida = repetida || UCase(u.first) == UCase(parte.first);
            if (repetida)
                continue;
            if (UCase(parte.first) == "DRIVER" && parte.second.find_first_of("/\\") != std::string::npos)
                return d;
            if (UCase(parte.first) == "DRIVER")
                d.controlador = parte.second;
            unicos.push_back(parte);
        }
        d.via = DestinoConexion::Via::Odbc;
        d.cadena = Unir(unicos);
        d.proveedor = "MSDASQL.1";
    } else if (p == "SQLOLEDB" || p.rfind("SQLOLEDB.", 0) == 0 || p.rfind("SQLNCLI", 0) == 0) {
        d.via = DestinoConexion::Via::Odbc;
        d.cadena = CadenaSqlServer(resto, delSistema(), d);
        d.proveedor = proveedor;
    } else if (p.rfind("MICROSOFT.JET.OLEDB.", 0) == 0) {
        d.via = DestinoConexion::Via::Odbc;
        d.cadena = CadenaAccess(resto, delSistema(), d);
        d.proveedor = proveedor;
        d.archivoAccess = true;
    } else if (p == "SQLITE") {
        d.via = DestinoConexion::Via::SqliteNativo;
        for (const auto& [k, v] : resto)
            if (UCase(k) == "DATA SOURCE")
                d.cadena = v;
        d.proveedor = "SQLite";
    } else {
        d.proveedor = proveedor;
    }
    return d;
}

} // namespace

} // namespace olvado::ado
