// informe: the fleet report, one HTML page made from every row of
// HistorialAct and the published version of BinariosAct.
#include "admin/BaseAdmin.h"
#include "admin/DatosFlota.h"
#include "admin/InformeHtml.h"
#include "admin/Opciones.h"
#include "admin/Ordenes.h"
#include "base/ErrorOlvado.h"
#include "common/IdentidadPrograma.h"
#include "platform/ArchivoNativo.h"
#include "platform/Consola.h"
#include "platform/FechaHoraLocal.h"

#include <cstdio>

namespace olvado::admin {
namespace {

constexpr const char* kUsoInforme = "informe --salida ARCHIVO.html [--dias N] [--producto P]";

std::string Texto(ado::Recordset& rs, const char* campo) {
    ado::Valor v = rs.Fields(campo).Value();
    return v.EsNulo() ? std::string() : v.ATexto();
}

int32_t Entero(ado::Recordset& rs, const char* campo) {
    ado::Valor v = rs.Fields(campo).Value();
    return v.EsNulo() ? 0 : static_cast<int32_t>(v.AEntero());
}

// The server's clock, which dated every row; the local one when the engine
// does not answer.
std::string Ahora(BaseAdmin& base) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    std::string ahora;
    if (base.DB().AbrirRs(rs, base.DB().SintaxisSQL() == 0 ? "SELECT Now() AS Ahora" : "SELECT GETDATE() AS Ahora",
                          ado::adOpenStatic, 1, -1, false, n)) {
        if (!rs->Eof())
            ahora = rs->Fields("Ahora").Value().ATexto();
        rs->Close();
    }
    int64_t dia = 0;
    if (DatosFlota::DiaCivil(ahora, dia))
        return ahora;
    const platform::FechaHoraLocal f = platform::AhoraLocal();
    char texto[32];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02d %02d:%02d:%02d", f.Anio, f.Mes, f.Dia, f.Hora, f.Minuto,
                  f.Segundo);
    return texto;
}

// The version published for every workstation; (0,0,0) when there is none.
VersionFlota Publicada(BaseAdmin& base, const std::string& producto) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    VersionFlota v{0, 0, 0};
    if (base.DB().AbrirRs(rs, "SELECT Major, Minor, Revision FROM BinariosAct WHERE Producto = " + producto,
                          ado::adOpenStatic, 1, -1, false, n)) {
        if (!rs->Eof())
            v = {Entero(*rs, "Major"), Entero(*rs, "Minor"), Entero(*rs, "Revision")};
        rs->Close();
    }
    return v;
}

// Every row of the product, with its ring where the history has that column.
bool LeerHistorial(BaseAdmin& base, const std::string& producto, std::vector<EjecucionEstacion>& filas) {
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = -1;
    const std::string columnas = "Estacion, Usuario, Major, Minor, Revision, Resultado, Fecha";
    const std::string resto = " FROM HistorialAct WHERE Producto = " + producto;
    const bool conAnillo = base.DB().AbrirRs(rs, "SELECT " + columnas + ", Anillo" + resto, ado::adOpenStatic, 1,
                                             -1, false, n);
    if (!conAnillo && !base.DB().AbrirRs(rs, "SELECT " + columnas + resto, ado::adOpenStatic, 1, -1, false, n))
        return Fallar("no se pudo leer HistorialAct (¿existe? créela con «publicar --historial»)" +
                      base.UltimoError()) == 0;
    try {
        for (; !rs->Eof(); rs->MoveNext())
            filas.push_back({Texto(*rs, "Estacion"), Texto(*rs, "Usuario"), conAnillo ? Texto(*rs, "Anillo") : "",
                             Texto(*rs, "Resultado"), Texto(*rs, "Fecha"),
                             {Entero(*rs, "Major"), Entero(*rs, "Minor"), Entero(*rs, "Revision")}});
        rs->Close();
    } catch (const ErrorOlvado& e) {
        return Fallar("no se pudo leer HistorialAct: " + e.Descripcion()) == 0;
    }
    return true;
}

} // namespace

int Informe(const Argumentos& a) {
    Opciones o;
    std::string error;
    int32_t dias = 7;
    if (!LeerOpciones(a, {"--salida", "--dias", "--producto"}, {}, 0, 0, o, error))
        return UsoIncorrecto(kUsoInforme, error);
    if (!o.Tiene("--salida"))
        return UsoIncorrecto(kUsoInforme, "falta --salida");
    if (!LeerEntero(o.Valor("--dias", "7"), dias) || dias < 0)
        return Fallar("--dias no es un número de días: " + o.Valor("--dias"));
    const std::string producto = o.Valor("--producto", ObtenerIdentidadPrograma().Producto);
    BaseAdmin base;
    std::vector<EjecucionEstacion> filas;
    if (!base.Abrir() || !LeerHistorial(base, base.SQL().Strg(producto), filas))
        return 1;
    const DatosFlota datos(std::move(filas), Publicada(base, base.SQL().Strg(producto)), Ahora(base), dias);
    const std::string pagina = InformeHtml(datos, producto).Generar();
    platform::ArchivoNativo salida;
    const std::string ruta = o.Valor("--salida");
    if (!salida.Abrir(ruta, platform::ArchivoNativo::Modo::Crear) || !salida.Escribir(pagina) || !salida.Cerrar())
        return Fallar("no se pudo escribir " + ruta + " (error " + std::to_string(salida.UltimoError()) + ")");
    platform::EscribirSalida("Informe de " + std::to_string(datos.Ultimas().size()) + " estaciones escrito en " +
                             ruta + "\n");
    return 0;
}

} // namespace olvado::admin
