#include "admin/Opciones.h"

#include "platform/Consola.h"

#include <algorithm>
#include <limits>

namespace olvado::admin {

bool Opciones::Tiene(const std::string& opcion) const {
    return valores.count(opcion) > 0 || std::find(banderas.begin(), banderas.end(), opcion) != banderas.end();
}

std::string Opciones::Valor(const std::string& opcion, const std::string& porDefecto) const {
    auto it = valores.find(opcion);
    return it == valores.end() ? porDefecto : it->second;
}

bool LeerOpciones(const Argumentos& a, const std::vector<std::string>& conValor,
                  const std::vector<std::string>& banderas, size_t minimo, size_t maximo, Opciones& o,
                  std::string& error) {
    auto contiene = [](const std::vector<std::string>& lista, const std::string& s) {
        return std::find(lista.begin(), lista.end(), s) != lista.end();
    };
    for (size_t i = 0; i < a.size(); ++i) {
        const std::string& x = a[i];
        if (x.size() < 3 || x.compare(0, 2, "--") != 0) {
            o.posicionales.push_back(x);
            continue;
        }
        if (o.Tiene(x)) {
            error = "la opción " + x + " se dio dos veces";
            return false;
        }
        if (contiene(banderas, x)) {
            o.banderas.push_back(x);
        } else if (!contiene(conValor, x)) {
            error = "opción desconocida: " + x;
            return false;
        } else if (i + 1 >= a.size()) {
            error = "falta el valor de " + x;
            return false;
        } else {
            o.valores[x] = a[++i];
        }
    }
    if (o.posicionales.size() < minimo || o.posicionales.size() > maximo) {
        error = o.posicionales.size() < minimo ? "faltan argumentos" : "sobran argumentos";
        return false;
    }
    return true;
}

bool LeerEntero(const std::string& texto, int32_t& valor) {
    size_t i = !texto.empty() && texto[0] == '-' ? 1 : 0;
    if (i == texto.size() || texto.size() - i > 10)
        return false;
    int64_t n = 0;
    for (; i < texto.size(); ++i) {
        if (texto[i] < '0' || texto[i] > '9')
            return false;
        n = n * 10 + (texto[i] - '0');
    }
    if (texto[0] == '-')
        n = -n;
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        return false;
    valor = static_cast<int32_t>(n);
    return true;
}

bool LeerVersion(const std::string& texto, int32_t& major, int32_t& minor, int32_t& revision) {
    int32_t* destinos[] = {&major, &minor, &revision};
    size_t inicio = 0;
    for (size_t k = 0; k < 3; ++k) {
        size_t fin = k < 2 ? texto.find('.', inicio) : texto.size();
        if (fin == std::string::npos)
            return false;
        const std::string pieza = texto.substr(inicio, fin - inicio);
        if (pieza.empty() || pieza[0] == '-' || !LeerEntero(pieza, *destinos[k]))
            return false;
        inicio = fin + 1;
    }
    return true;
}

std::string TextoVersion(int32_t major, int32_t minor, int32_t revision) {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

int UsoIncorrecto(const std::string& uso, const std::string& motivo) {
    platform::EscribirError("olvado-admin: " + motivo + "\nUso: olvado-admin " + uso + "\n");
    return 2;
}

} // namespace olvado::admin
