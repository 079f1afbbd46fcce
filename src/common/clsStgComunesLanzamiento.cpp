// The common utilities' launch members: the administrator test with its
// optional warning, two ways of starting a file, and the wait for the
// family's programs to close before a package starts.
#include "common/clsStgComunes.h"

#include "common/FileTool.h"
#include "platform/MessageBox.h"
#include "process/EsAdmin.h"
#include "process/Lanzamiento.h"
#include "process/frmCerrarAplicaciones.h"

#include <exception>

namespace olvado {

bool clsStgComunes::EsAdministrador(bool AvisarSiNoEs, const std::string& MensajeAvisarSiNoEs) {
    // Before Windows 2000 every user could install.
    bool admin = !version_EsWin2K_Superior() || EsUsuarioAdministrador();
    if (!admin && AvisarSiNoEs)
        platform::MsgBox(MensajeAvisarSiNoEs.empty() ? LRS(45212) : MensajeAvisarSiNoEs,
                         platform::vbOKOnly | platform::vbExclamation, producto_);
    return admin;
}

bool clsStgComunes::EjecutarComoAdmin(int32_t vHWND, const std::string& ArchivoEXE, const std::string& Argumentos,
                                      const std::string& vForzarUsuario, const std::string& vForzarContrasena,
                                      const platform::ArchivoSellado* Paquete,
                                      const std::function<void(const std::string&)>& Registrar) {
    // Always waits: the caller goes on only once the program has ended.
    return EjecutarArchivoComoAdmin(vHWND, ArchivoEXE, Argumentos, vForzarUsuario, vForzarContrasena,
                                    FileTool().Ruta_ExtraerRuta(ArchivoEXE), true, Paquete, Registrar);
}

bool clsStgComunes::EjecutarArchivo(const std::string& Ruta, const std::string& Argumentos, int32_t vHWND,
                                    bool Esperar, bool HabilitarRunAs) {
    // The launch itself, not ShellEjecutarArchivo, which turns every fault
    // into a plain False.
    try {
        return Lanzar(PeticionShell(Ruta, Argumentos, vHWND, Esperar, HabilitarRunAs)) == 0;
    } catch (const std::exception&) {
        // A refused start is a plain False; only a fault of the call itself
        // is worth a box.
        platform::MsgBox("Ocurrio un error al intentar ejecutar " + Ruta, platform::vbOKOnly | platform::vbExclamation,
                         producto_);
        return false;
    }
}

bool clsStgComunes::EsperarACerrar() {
    frmCerrarAplicaciones f;
    f.NombreProducto = producto_;
    if (f.TodoListo())
        return true;
    f.Show();
    return f.ProgramasCerrados;
}

} // namespace olvado
