#include "common/IdentidadPrograma.h"

#include "BuildInfo.h"
#include "common/ExtraerVersion.h"
#include "platform/ProcesoHijo.h"

namespace olvado {
namespace {

IdentidadPrograma LeerIdentidad() {
    const std::string ejecutable = platform::RutaEjecutableActual();
    InformacionVersion info;
    IdentidadPrograma id;
    if (ExtraerInformacionVersion(ejecutable, info) == 1 &&
        VersionArchivo(ejecutable, id.Major, id.Minor, id.Revision)) {
        id.Compania = info.CompanyName;
        id.Producto = info.ProductName;
        return id;
    }
    return {std::string(build::Compania), std::string(build::Producto), build::VersionMajor, build::VersionMinor,
            build::VersionRevision};
}

} // namespace

const IdentidadPrograma& ObtenerIdentidadPrograma() {
    static const IdentidadPrograma identidad = LeerIdentidad();
    return identidad;
}

} // namespace olvado
