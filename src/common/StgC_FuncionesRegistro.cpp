#include "common/StgC_FuncionesRegistro.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "common/cRegistry.h"
#include "platform/ErroresSistema.h"
#include "platform/Registro.h"
#include "platform/TextoAnsi.h"

namespace olvado {

std::string RutaClaveConfiguracion(const std::string& subClave, const std::string& compania,
                                   const std::string& producto, bool enBase) {
    std::string sub = subClave.rfind('\\', 0) == 0 ? subClave : "\\" + subClave;
    return "SOFTWARE\\" + compania + "\\" + (enBase ? std::string("Base") : producto) + sub;
}

bool RegistroBase_GetValor(const std::string& subClave, const std::string& nombreValor, Variante& valor,
                           int32_t tipo, const Variante& defecto, int32_t rootKey, const std::string& compania,
                           const std::string& producto, bool enBase) {
    cRegistry reg;
    reg.ClassKey(rootKey);
    reg.SectionKey(RutaClaveConfiguracion(subClave, compania, producto, enBase));
    bool existe = reg.KeyExists();
    if (existe) {
        reg.Default(defecto);
        reg.ValueKey(nombreValor);
        valor = reg.value();
    } else {
        valor = defecto;
    }
    if (tipo == 1)
        valor = VarEsNumerico(valor) ? Variante(VarALong(valor)) : defecto;
    return existe;
}

LecturaRegistro RegistroBase_LeerTextoEstricto(const std::string& subClave, const std::string& nombreValor,
                                               std::string& texto, std::string& motivo, const std::string& compania,
                                               const std::string& producto, bool enBase) {
    texto.clear();
    motivo.clear();
    platform::IRegistro& reg = platform::IRegistro::Actual();
    const std::string ruta = RutaClaveConfiguracion(subClave, compania, producto, enBase);
    auto fallo = [&](int32_t codigo, const std::string& que) {
        motivo = que + ": " + std::to_string(codigo) + " " +
                 RTrim(Replace(platform::TextoErrorSistema(codigo), vbCrLf, " "));
        return LecturaRegistro::Fallido;
    };
    platform::HClave h = 0;
    int32_t r = reg.AbrirClave(platform::HKEY_LOCAL_MACHINE_, ruta, 0x1, h); // KEY_QUERY_VALUE, as cRegistry reads
    if (r == platform::kErrorArchivoNoEncontrado)
        return LecturaRegistro::Ausente;
    if (r != platform::kErrorCorrecto)
        return fallo(r, "no se pudo abrir HKEY_LOCAL_MACHINE\\" + ruta);
    platform::ClaveRegistro cerrar(h);
    uint32_t tipo = 0, tamano = 0;
    r = reg.ConsultarValor(h, nombreValor, tipo, tamano, nullptr);
    if (r == platform::kErrorArchivoNoEncontrado)
        return LecturaRegistro::Ausente;
    if (r != platform::kErrorCorrecto && r != platform::kErrorMasDatos)
        return fallo(r, "no se pudo leer el valor " + nombreValor);
    if (tipo != static_cast<uint32_t>(REG_SZ)) {
        motivo = "el valor " + nombreValor + " es de tipo " + std::to_string(tipo) + ", no REG_SZ";
        return LecturaRegistro::Fallido;
    }
    std::string datos(tamano, '\0');
    if (tamano > 0 && (r = reg.ConsultarValor(h, nombreValor, tipo, tamano, &datos)) != platform::kErrorCorrecto)
        return fallo(r, "no se pudo leer el valor " + nombreValor);
    texto = DesdeAnsi(datos.substr(0, datos.find('\0')));
    return LecturaRegistro::Leido;
}

bool RegistroBase_SetValor(const std::string& subClave, const std::string& nombreValor, const Variante& valor,
                           int32_t tipo, int32_t rootKey, const std::string& compania, const std::string& producto,
                           bool enBase) {
    std::string texto = tipo == 0 || tipo == 1 ? VarATexto(valor) : std::string();
    try {
        cRegistry reg;
        reg.ClassKey(rootKey);
        reg.SectionKey(RutaClaveConfiguracion(subClave, compania, producto, enBase));
        if (!reg.KeyExists())
            reg.CreateKey();
        reg.ValueKey(nombreValor);
        reg.ValueType(REG_SZ);
        reg.value(texto);
        return true;
    } catch (const ErrorOlvado&) {
        return false;
    }
}

} // namespace olvado
