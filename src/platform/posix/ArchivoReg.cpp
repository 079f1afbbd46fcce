// POSIX only: the .reg text of the Linux registry stand-in, parsed and written.
#include "platform/posix/ArchivoReg.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/posix/SintaxisReg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace olvado::platform::reg {
namespace {

std::string Clave_(const std::string& ruta) { return UCase(ruta); }

bool EsAncestro(const std::string& ancestro, const std::string& ruta) {
    if (ancestro.empty())
        return true;
    return ruta.size() > ancestro.size() && ruta[ancestro.size()] == '\\' &&
           ruta.compare(0, ancestro.size(), ancestro) == 0;
}

} // namespace

bool MismoNombre(const std::string& a, const std::string& b) { return UCase(a) == UCase(b); }

std::string UnirRuta(const std::string& base, const std::string& sub) {
    std::string r;
    for (const std::string* s : {&base, &sub}) {
        size_t i = 0;
        while (i <= s->size()) {
            size_t fin = s->find('\\', i);
            std::string parte = s->substr(i, fin == std::string::npos ? std::string::npos : fin - i);
            if (!parte.empty())
                r += (r.empty() ? "" : "\\") + parte;
            if (fin == std::string::npos)
                break;
            i = fin + 1;
        }
    }
    return r;
}

Clave* Colmena::Buscar(const std::string& ruta) {
    std::string k = Clave_(ruta);
    for (auto& c : claves)
        if (Clave_(c.ruta) == k)
            return &c;
    return nullptr;
}

bool Colmena::Existe(const std::string& ruta) const {
    std::string k = Clave_(ruta);
    if (k.empty())
        return true;
    return std::any_of(claves.begin(), claves.end(), [&](const Clave& c) {
        std::string ck = Clave_(c.ruta);
        return ck == k || EsAncestro(k, ck);
    });
}

Clave& Colmena::Crear(const std::string& ruta) {
    size_t i = 0;
    while (true) {
        size_t fin = ruta.find('\\', i);
        std::string parcial = ruta.substr(0, fin);
        if (!parcial.empty() && !Buscar(parcial))
            claves.push_back({parcial, {}});
        if (fin == std::string::npos)
            break;
        i = fin + 1;
    }
    return ruta.empty() ? (Buscar("") ? *Buscar("") : claves.emplace_back()) : *Buscar(ruta);
}

std::vector<std::string> Colmena::SubClaves(const std::string& ruta) const {
    std::string k = Clave_(ruta);
    std::vector<std::string> nombres;
    for (const auto& c : claves) {
        std::string ck = Clave_(c.ruta);
        if (!EsAncestro(k, ck) || ck == k)
            continue;
        size_t desde = k.empty() ? 0 : k.size() + 1;
        size_t fin = c.ruta.find('\\', desde);
        std::string nombre = c.ruta.substr(desde, fin == std::string::npos ? std::string::npos : fin - desde);
        if (std::none_of(nombres.begin(), nombres.end(), [&](const std::string& n) { return MismoNombre(n, nombre); }))
            nombres.push_back(nombre);
    }
    return nombres;
}

namespace {

// The parse of one file: keys by path, the mentions of each key's values,
// and deletions applied in file order.
class Lector {
public:
    explicit Lector(Colmena& c) : c_(c) {}

    bool Entrada(const std::string& l, Linea& linea) {
        if (l.empty() || l[0] == ';')
            return true;
        if (!cabecera_) {
            cabecera_ = l == (c_.ansi ? kCabecera4 : kCabecera);
            return cabecera_;
        }
        if (l[0] == '[') {
            std::string ruta;
            bool borrar = false;
            const Seccion s = LeerSeccion(l, c_.raiz, ruta, borrar);
            if (s == Seccion::Invalida)
                return false;
            estado_ = s == Seccion::Propia && !borrar ? Estado::Propia : Estado::Otra;
            if (s == Seccion::Propia && borrar)
                Borrar(ruta);
            if (estado_ == Estado::Propia) {
                actual_ = Crear(ruta, linea.clave);
                linea.tipo = Linea::Tipo::Seccion;
                linea.seccion = actual_;
                seccion_ = c_.lineas.size();
            }
            return true;
        }
        Valor v;
        bool borrado = false;
        if (estado_ == Estado::Ninguna || !LeerValor(l, c_.ansi, v, borrado))
            return false;
        if (estado_ == Estado::Propia) {
            linea.tipo = Linea::Tipo::Valor;
            linea.seccion = seccion_;
            Mencionar(UCase(v.nombre), borrado ? nullptr : &v);
        }
        return true;
    }

    // Deleted keys leave; their lines stay as they were, still deleted by a later read.
    void Terminar() {
        size_t n = 0;
        for (size_t i = 0; i < c_.claves.size(); ++i)
            if (!borrada_[i] && n++ != i)
                c_.claves[n - 1] = std::move(c_.claves[i]);
        c_.claves.resize(n);
    }

private:
    enum class Estado { Ninguna, Propia, Otra };
    struct Mencion {
        size_t valor = SIZE_MAX; // in the key's values
        size_t linea = 0;
    };

    // The key and its missing ancestors, found by upper-case path: a section
    // costs its own length, not a search of all the keys before it.
    size_t Crear(const std::string& ruta, std::string& clave) {
        size_t i = 0;
        for (;;) {
            const size_t fin = ruta.find('\\', i);
            std::string parcial = ruta.substr(0, fin);
            auto [it, nueva] = porRuta_.try_emplace(Clave_(parcial), c_.claves.size());
            if (nueva) {
                c_.claves.push_back({std::move(parcial), {}});
                borrada_.push_back(false);
            }
            if (fin == std::string::npos) {
                clave = it->first;
                return it->second;
            }
            i = fin + 1;
        }
    }

    // "[-key]": the key and everything below it, as read so far. A root is not deleted.
    void Borrar(const std::string& ruta) {
        const std::string k = Clave_(ruta);
        if (k.empty())
            return;
        for (size_t i = 0; i < c_.claves.size(); ++i) {
            if (borrada_[i])
                continue;
            const std::string ck = Clave_(c_.claves[i].ruta);
            if (ck == k || EsAncestro(k, ck)) {
                borrada_[i] = true;
                porRuta_.erase(ck);
                menciones_.erase(i);
            }
        }
        for (auto& l : c_.lineas) {
            if (l.tipo == Linea::Tipo::Seccion && borrada_[l.seccion])
                l.tipo = Linea::Tipo::Otra;
            else if (l.tipo == Linea::Tipo::Valor && c_.lineas[l.seccion].tipo == Linea::Tipo::Otra)
                l.tipo = Linea::Tipo::Otra;
        }
    }

    // A value set (v) or deleted (nullptr) in the current key: the last mention counts.
    void Mencionar(const std::string& nombre, Valor* v) {
        auto& vs = c_.claves[actual_].valores;
        auto& m = menciones_[actual_];
        auto [it, nueva] = m.try_emplace(nombre);
        if (!nueva)
            c_.lineas[it->second.linea].ultima = false;
        it->second.linea = c_.lineas.size();
        if (v && it->second.valor != SIZE_MAX) {
            vs[it->second.valor] = std::move(*v);
        } else if (v) {
            it->second.valor = vs.size();
            vs.push_back(std::move(*v));
        } else if (it->second.valor != SIZE_MAX) {
            const size_t quitado = it->second.valor;
            vs.erase(vs.begin() + static_cast<std::ptrdiff_t>(quitado));
            it->second.valor = SIZE_MAX;
            for (auto& [_, otra] : m)
                if (otra.valor != SIZE_MAX && otra.valor > quitado)
                    --otra.valor;
        }
    }

    Colmena& c_;
    bool cabecera_ = false;
    Estado estado_ = Estado::Ninguna;
    size_t actual_ = 0, seccion_ = 0;
    std::unordered_map<std::string, size_t> porRuta_;
    std::vector<bool> borrada_;
    std::unordered_map<size_t, std::unordered_map<std::string, Mencion>> menciones_;
};

} // namespace

bool Leer(const std::string& bytes, const std::string& raiz, Colmena& c) {
    c = Colmena{};
    c.raiz = raiz;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        c.codificacion = Colmena::Codificacion::Utf8ConBom;
        c.texto = bytes.substr(3);
    } else if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        c.codificacion = Colmena::Codificacion::Utf16;
        std::u16string u;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            u.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
        c.texto = DesdeUtf16(u);
    } else {
        c.texto = bytes;
    }
    if (c.codificacion != Colmena::Codificacion::Utf16 && PrimeraEntrada(c.texto) == kCabecera4) {
        c.ansi = true;
        c.texto = DesdeUtf16(DecodificarAnsi(c.texto));
    }
    c.lineas.reserve(static_cast<size_t>(std::count(c.texto.begin(), c.texto.end(), '\n')) + 1);
    Lector lector(c);
    size_t i = 0;
    Fisica f{};
    bool finVisto = false;
    while (SiguienteFisica(c.texto, i, f)) {
        if (!finVisto && f.siguiente > f.fin) {
            c.finLinea = c.texto.substr(f.fin, f.siguiente - f.fin);
            finVisto = true;
        }
        Linea linea;
        linea.inicio = f.inicio;
        std::string l = Recortar(std::string_view(c.texto).substr(f.inicio, f.fin - f.inicio));
        // Hex data continued: the entry takes the following lines.
        if (Continua(l)) {
            while (SiguienteFisica(c.texto, i, f)) {
                const std::string sigue = Recortar(std::string_view(c.texto).substr(f.inicio, f.fin - f.inicio));
                if (f.siguiente == f.fin || sigue.empty() || sigue.back() != '\\')
                    break;
            }
            l = Logica(std::string_view(c.texto).substr(linea.inicio, f.fin - linea.inicio));
        }
        linea.largo = f.fin - linea.inicio;
        linea.fin = static_cast<uint8_t>(f.siguiente - f.fin);
        if (!lector.Entrada(l, linea))
            return false;
        c.lineas.push_back(std::move(linea));
    }
    lector.Terminar();
    return true;
}

std::string Escribir(const Colmena& c) {
    std::unordered_map<std::string, const Clave*> modelo;
    std::unordered_set<std::string> conDescendientes;
    for (const auto& k : c.claves) {
        const std::string ck = Clave_(k.ruta);
        modelo[ck] = &k;
        if (!ck.empty())
            conDescendientes.insert("");
        for (size_t p = ck.find('\\'); p != std::string::npos; p = ck.find('\\', p + 1))
            conDescendientes.insert(ck.substr(0, p));
    }
    // Where each key's new values go: after the last entry of its last section.
    std::unordered_map<std::string, size_t> ultima;
    for (size_t i = 0; i < c.lineas.size(); ++i) {
        const Linea& l = c.lineas[i];
        if (l.tipo != Linea::Tipo::Otra)
            ultima[l.tipo == Linea::Tipo::Seccion ? l.clave : c.lineas[l.seccion].clave] = i;
    }
    std::unordered_map<const Clave*, std::unordered_set<std::string>> escritos;
    std::unordered_map<const Clave*, std::unordered_map<std::string, const Valor*>> indices;
    auto buscar = [&](const Clave& k, const std::string& nombre) -> const Valor* {
        auto [it, nuevo] = indices.try_emplace(&k);
        if (nuevo)
            for (const auto& v : k.valores)
                it->second.emplace(UCase(v.nombre), &v);
        auto v = it->second.find(UCase(nombre));
        return v == it->second.end() ? nullptr : v->second;
    };
    // Each line keeps its own end; new lines take the file's. A last line
    // without one gets it only when something follows.
    std::string r;
    bool faltaFin = false;
    auto linea = [&](std::string_view t, std::string_view fin) {
        if (faltaFin)
            r += c.finLinea;
        (r += t) += fin;
        faltaFin = fin.empty();
    };
    auto pendientes = [&](const Clave& k) {
        auto& hechos = escritos[&k];
        for (const auto& v : k.valores)
            if (hechos.insert(UCase(v.nombre)).second)
                linea(LineaValor(v), c.finLinea);
    };
    if (PrimeraEntrada(c.texto) != (c.ansi ? kCabecera4 : kCabecera))
        linea(kCabecera, c.finLinea); // a new file, or one of nothing but comments
    bool cabecera = false;
    const Clave* k = nullptr;
    size_t ultimaDeK = 0;
    for (size_t i = 0; i < c.lineas.size(); ++i) {
        const Linea& l = c.lineas[i];
        const std::string_view crudo = std::string_view(c.texto).substr(l.inicio, l.largo);
        const std::string_view fin = std::string_view(c.texto).substr(l.inicio + l.largo, l.fin);
        if (l.tipo == Linea::Tipo::Otra) {
            // A REGEDIT4 file is written back as an export of today's tool.
            const bool esCabecera = !cabecera && c.ansi && Recortar(crudo) == kCabecera4;
            cabecera = cabecera || esCabecera;
            linea(esCabecera ? kCabecera : crudo, fin);
            continue;
        }
        if (l.tipo == Linea::Tipo::Seccion) {
            auto it = modelo.find(l.clave);
            k = it == modelo.end() ? nullptr : it->second;
            ultimaDeK = ultima[l.clave];
            if (k)
                linea(crudo, fin);
        } else if (k && !l.ultima) {
            linea(crudo, fin); // a later line of the same name decides
        } else if (k) {
            Valor leido;
            bool borrado = false;
            LeerValor(Logica(crudo), c.ansi, leido, borrado);
            if (const Valor* v = buscar(*k, leido.nombre)) {
                escritos[k].insert(UCase(v->nombre));
                if (!c.ansi && !borrado && leido.nombre == v->nombre && leido.tipo == v->tipo &&
                    leido.datos == v->datos)
                    linea(crudo, fin);
                else
                    linea(LineaValor(*v), fin);
            } else {
                // Deleted since: a deletion in its place, so no earlier line counts again.
                linea(borrado ? std::string(crudo) : (leido.nombre.empty() ? "@" : Comillas(leido.nombre)) + "=-",
                      fin);
            }
        }
        if (k && ultimaDeK == i)
            pendientes(*k);
    }
    for (const auto& nueva : c.claves) {
        const std::string ck = Clave_(nueva.ruta);
        // An ancestor without values is implied by the keys below it.
        if (ultima.count(ck) || (nueva.valores.empty() && conDescendientes.count(ck)))
            continue;
        linea("", c.finLinea);
        linea("[" + c.raiz + (nueva.ruta.empty() ? "" : "\\" + nueva.ruta) + "]", c.finLinea);
        pendientes(nueva);
    }
    if (c.codificacion == Colmena::Codificacion::Utf8ConBom)
        return "\xEF\xBB\xBF" + r;
    if (c.codificacion == Colmena::Codificacion::Utf16)
        return "\xFF\xFE" + Utf16LE(AUtf16(r));
    return r;
}

} // namespace olvado::platform::reg
