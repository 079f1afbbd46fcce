// promover and retirar: the two ways out of a pilot ring; and the rings'
// lines of estado.
#include "admin/AnilloAdmin.h"
#include "admin/BaseAdmin.h"
#include "admin/Opciones.h"
#include "admin/Ordenes.h"
#include "common/IdentidadPrograma.h"
#include "platform/Consola.h"
#include "updater/PaqueteAnillo.h"

#include <memory>

namespace olvado::admin {
namespace {

constexpr const char* kUsoPromover =
    "promover --anillo NOMBRE [--umbral PORCENTAJE] [--minimo N] [--forzar] [--producto P]";
constexpr const char* kUsoRetirar = "retirar --anillo NOMBRE [--producto P]";

std::string Lista(const std::vector<std::string>& nombres) {
    std::string s;
    for (const std::string& n : nombres)
        s += (s.empty() ? "" : ", ") + n;
    return s;
}

// Opens the database and reads the ring's row; 0 when both worked.
int AbrirAnillo(const Opciones& o, BaseAdmin& base, std::unique_ptr<AnilloAdmin>& anillo) {
    const std::string nombre = o.Valor("--anillo");
    if (!NombreAnilloValido(nombre))
        return Fallar("nombre de anillo no válido: " + nombre);
    if (!base.Abrir())
        return 1;
    const std::string producto = o.Valor("--producto", ObtenerIdentidadPrograma().Producto);
    anillo = std::make_unique<AnilloAdmin>(base, producto, nombre);
    if (!anillo->Leer())
        return Fallar("el anillo " + nombre + " no tiene paquete de " + producto);
    return 0;
}

} // namespace

int Promover(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--anillo", "--umbral", "--minimo", "--producto"}, {"--forzar"}, 0, 0, o, error))
        return UsoIncorrecto(kUsoPromover, error);
    if (!o.Tiene("--anillo"))
        return UsoIncorrecto(kUsoPromover, "falta --anillo");
    std::string umbralTexto = o.Valor("--umbral", "10");
    if (!umbralTexto.empty() && umbralTexto.back() == '%')
        umbralTexto.pop_back();
    int32_t umbral = 0, minimo = 0;
    if (!LeerEntero(umbralTexto, umbral) || umbral < 0 || umbral > 100)
        return Fallar("--umbral no es un porcentaje de 0 a 100: " + o.Valor("--umbral"));
    if (!LeerEntero(o.Valor("--minimo", "1"), minimo) || minimo < 0)
        return Fallar("--minimo no es un número de estaciones: " + o.Valor("--minimo"));
    BaseAdmin base;
    std::unique_ptr<AnilloAdmin> anillo;
    if (const int codigo = AbrirAnillo(o, base, anillo))
        return codigo;
    const std::string nombre = o.Valor("--anillo");
    const std::string version = TextoVersion(anillo->major, anillo->minor, anillo->revision);
    AnilloAdmin::Despliegue d;
    anillo->LeerDespliegue(d);
    const int ejecutaron = d.Ejecutaron();
    const int fallidas = static_cast<int>(d.fallidas.size());
    // Integers only: the share is over the threshold when 100 * failed
    // exceeds threshold * ran.
    std::string motivo;
    if (ejecutaron < minimo)
        motivo = "estaciones del anillo " + nombre + " que ejecutaron " + version + ": " +
                 std::to_string(ejecutaron) + " (mínimo " + std::to_string(minimo) + ")";
    else if (fallidas > 0 && 100 * int64_t{fallidas} > int64_t{umbral} * ejecutaron)
        motivo = std::to_string(fallidas) + " de " + std::to_string(ejecutaron) + " estaciones del anillo " +
                 nombre + " fallaron con " + version + " (" + std::to_string(100 * fallidas / ejecutaron) +
                 " %, umbral " + std::to_string(umbral) + " %): " + Lista(d.fallidas);
    if (!motivo.empty() && !o.Tiene("--forzar"))
        return Fallar("no se promueve: " + motivo + "; use --forzar para promoverlo igualmente");
    if (!motivo.empty())
        platform::EscribirError("olvado-admin: se promueve con --forzar: " + motivo + "\n");
    if (!anillo->Promover())
        return 1;
    platform::EscribirSalida("Promovido el anillo " + nombre + ": " + version + " es el paquete general\n");
    return 0;
}

int Retirar(const Argumentos& a) {
    Opciones o;
    std::string error;
    if (!LeerOpciones(a, {"--anillo", "--producto"}, {}, 0, 0, o, error))
        return UsoIncorrecto(kUsoRetirar, error);
    if (!o.Tiene("--anillo"))
        return UsoIncorrecto(kUsoRetirar, "falta --anillo");
    BaseAdmin base;
    std::unique_ptr<AnilloAdmin> anillo;
    if (const int codigo = AbrirAnillo(o, base, anillo))
        return codigo;
    if (!anillo->Retirar())
        return 1;
    platform::EscribirSalida("Retirado el paquete " +
                             TextoVersion(anillo->major, anillo->minor, anillo->revision) + " del anillo " +
                             o.Valor("--anillo") + "\n");
    return 0;
}

std::string EstadoAnillos(BaseAdmin& base, const std::string& producto) {
    std::string s;
    for (const std::string& nombre : AnilloAdmin::Publicados(base, producto)) {
        AnilloAdmin anillo(base, producto, nombre);
        if (!anillo.Leer())
            continue;
        AnilloAdmin::Despliegue d;
        s += "Anillo " + nombre + ": " + TextoVersion(anillo.major, anillo.minor, anillo.revision) +
             (anillo.firmado ? " (firmado)" : "");
        if (anillo.LeerDespliegue(d))
            s += ", " + std::to_string(d.conVersion) + " de " + std::to_string(d.estaciones) +
                 " estaciones la tienen, " + std::to_string(d.fallidas.size()) + " fallaron" +
                 (d.fallidas.empty() ? "" : " (" + Lista(d.fallidas) + ")");
        else
            s += ", sin historial de anillos";
        s += "\n";
    }
    return s;
}

} // namespace olvado::admin
