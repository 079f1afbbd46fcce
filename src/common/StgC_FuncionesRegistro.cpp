#include "common/StgC_FuncionesRegistro.h"

#include "base/ErrorOlvado.h"
#include "common/cRegistry.h"

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
