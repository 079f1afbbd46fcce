#include "process/Lanzamiento.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "platform/ErroresSistema.h"
#include "process/EsAdmin.h"
#include "process/EsWinSuperior.h"

namespace olvado {

std::vector<std::string> PartirParametros(const std::string& linea) {
    std::vector<std::string> r;
    size_t i = 0;
    const size_t n = linea.size();
    while (true) {
        while (i < n && (linea[i] == ' ' || linea[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool entreComillas = false;
        while (i < n && (entreComillas || (linea[i] != ' ' && linea[i] != '\t'))) {
            size_t barras = 0;
            while (i < n && linea[i] == '\\') {
                ++barras;
                ++i;
            }
            if (i < n && linea[i] == '"') {
                arg.append(barras / 2, '\\');
                if (barras % 2) {
                    arg.push_back('"');
                } else if (entreComillas && i + 1 < n && linea[i + 1] == '"') {
                    arg.push_back('"'); // "" inside quotes is one quote
                    ++i;
                } else {
                    entreComillas = !entreComillas;
                }
                ++i;
            } else {
                arg.append(barras, '\\');
                if (i < n && (entreComillas || (linea[i] != ' ' && linea[i] != '\t')))
                    arg.push_back(linea[i++]);
            }
        }
        r.push_back(arg);
    }
    return r;
}

platform::PeticionLanzamiento PeticionShell(const std::string& Archivo, const std::string& Parametros,
                                            int32_t hWnd, bool Esperar, bool Elevado,
                                            const platform::ArchivoSellado* Paquete) {
    platform::PeticionLanzamiento p;
    p.ruta = Elevado ? platform::RutaLanzamiento::ShellElevado : platform::RutaLanzamiento::Shell;
    p.archivo = Archivo;
    p.argumentos = PartirParametros(Parametros);
    p.parametros = Parametros;
    p.esperar = Esperar;
    p.ventana = hWnd;
    p.paquete = Paquete;
    return p;
}

platform::PeticionLanzamiento PeticionAbrir(const std::string& Verbo, const std::string& Documento, int32_t hWnd,
                                            const platform::ArchivoSellado* Paquete) {
    platform::PeticionLanzamiento p = PeticionShell(Documento, "", hWnd, false, false, Paquete);
    p.verbo = Verbo;
    p.mostrar = platform::SW_SHOWNORMAL_;
    return p;
}

platform::PeticionLanzamiento PeticionCuenta(bool ConFicha, const std::string& Usuario,
                                             const std::string& Contrasena, const std::string& Dominio,
                                             const std::string& Archivo, const std::string& Parametros,
                                             const std::string& Carpeta, bool Esperar,
                                             const platform::ArchivoSellado* Paquete) {
    platform::PeticionLanzamiento p;
    p.ruta = ConFicha ? platform::RutaLanzamiento::CuentaConFicha : platform::RutaLanzamiento::Cuenta;
    std::vector<std::string> programa =
        Left(Archivo, 1) == "\"" ? PartirParametros(Archivo) : std::vector<std::string>{Archivo};
    p.archivo = programa.empty() ? "" : programa[0];
    if (!programa.empty())
        p.argumentos.assign(programa.begin() + 1, programa.end());
    for (auto& a : PartirParametros(Parametros))
        p.argumentos.push_back(std::move(a));
    p.carpeta = Carpeta;
    p.usuario = Usuario;
    p.contrasena = Contrasena;
    p.dominio = Dominio;
    p.esperar = Esperar;
    p.paquete = Paquete;
    return p;
}

int32_t Lanzar(const platform::PeticionLanzamiento& Peticion) {
    return platform::ILanzador::Actual().Lanzar(Peticion);
}

bool EjecutarArchivoComoAdmin(int32_t /*hWnd*/, const std::string& Archivo, const std::string& Parametros,
                              const std::string& Usuario, const std::string& Contrasena,
                              const std::string& Carpeta, bool Esperar, const platform::ArchivoSellado* Paquete,
                              const RegistrarLinea& Registrar) {
    // The route, chosen once.
    if (!EsWin2K_Superior()) {
        // Systems without user account control: the file alone, not waited for.
        if (Lanzar(PeticionAbrir("open", Archivo, 0, Paquete)) != 0)
            throw ErrorOlvado(53, "EjecutarArchivoComoAdmin", "No se encontró el archivo");
        return true;
    }
    if (EsUsuarioAdministrador()) {
        // ShellEjecutarArchivo's launch: through the shell, not elevated; a
        // fault ends it without waiting.
        try {
            return Lanzar(PeticionShell(Archivo, Parametros, 0, Esperar, false, Paquete)) == 0;
        } catch (...) {
            return false;
        }
    }

    std::string cuenta, dominio;
    SepararDominioUsuario(Usuario, cuenta, dominio);
    auto peticion =
        PeticionCuenta(false, cuenta, Contrasena, dominio, Archivo, Parametros, Carpeta, Esperar, Paquete);
    int32_t codigo = Lanzar(peticion);
    BorrarSecreto(peticion.contrasena);
    BorrarSecreto(cuenta);
    if (codigo == 0)
        return true;
    BorrarSecreto(peticion.usuario);
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
