#include "process/Lanzamiento.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "platform/ErroresSistema.h"
#include "platform/Shell.h"
#include "process/AdminRunAs2.h"
#include "process/EsAdmin.h"
#include "process/EsWinSuperior.h"
#include "process/ShellEjecutar.h"

namespace olvado {

bool EjecutarArchivoComoAdmin(int32_t /*hWnd*/, const std::string& Archivo, const std::string& Parametros,
                              const std::string& Usuario, const std::string& Contrasena,
                              const std::string& Carpeta, bool Esperar, const platform::ArchivoSellado* Paquete,
                              const RegistrarLinea& Registrar) {
    std::string usuario = Usuario, contrasena = Contrasena;
    if (!EsWin2K_Superior()) {
        // Systems without user account control: the file alone, not waited for.
        if (!platform::EjecutarConShell({"open", Archivo, "", 0, platform::SW_SHOWNORMAL_, false, Paquete}))
            throw ErrorOlvado(53, "EjecutarArchivoComoAdmin", "No se encontró el archivo");
        return true;
    }
    if (EsUsuarioAdministrador())
        return ShellEjecutarArchivo(Archivo, Parametros, 0, Esperar, false, Paquete);

    std::string cuenta, dominio;
    SepararDominioUsuario(usuario, cuenta, dominio);
    std::string programa = Left(Archivo, 1) == "\"" ? Archivo : "\"" + Archivo + "\"";
    std::string linea = Trim(programa + " " + Parametros);
    int32_t codigo = EjecutarComoUsuario(cuenta, contrasena, dominio, linea, Carpeta, Esperar, Paquete);
    BorrarSecreto(contrasena);
    if (codigo == 0)
        return true;
    BorrarSecreto(usuario);
    if (Registrar)
        Registrar(TextoErrorAPI(codigo));
    return false;
}

void SepararDominioUsuario(const std::string& Entrada, std::string& Usuario, std::string& Dominio) {
    int32_t p = InStr(Entrada, "\\");
    Dominio = "";
    if (p == 0)
        Usuario = Entrada;
    else if (p == 1)
        Usuario = Replace(Entrada, "\\", "");
    else {
        Dominio = Left(Entrada, p - 1);
        Usuario = Mid(Entrada, p + 1);
    }
}

std::string TextoErrorAPI(int32_t Codigo) { return platform::TextoErrorSistema(Codigo); }

} // namespace olvado
