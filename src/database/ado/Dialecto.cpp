#include "database/ado/Dialecto.h"

#include <cctype>
#include <vector>

namespace olvado::ado {

namespace {

bool EsIdentificador(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '$';
}

bool IgualSinCaso(std::string_view texto, size_t pos, std::string_view palabra) {
    if (pos + palabra.size() > texto.size())
        return false;
    for (size_t i = 0; i < palabra.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(texto[pos + i])) != std::toupper(static_cast<unsigned char>(palabra[i])))
            return false;
    return true;
}

// The word at pos, alone (not part of a longer name).
bool Palabra(std::string_view t, size_t pos, std::string_view palabra) {
    if (!IgualSinCaso(t, pos, palabra))
        return false;
    bool antes = pos == 0 || !EsIdentificador(t[pos - 1]);
    size_t fin = pos + palabra.size();
    bool despues = fin >= t.size() || !EsIdentificador(t[fin]) || !EsIdentificador(palabra.back());
    return antes && despues;
}

size_t SaltarBlancos(std::string_view t, size_t p) {
    while (p < t.size() && std::isspace(static_cast<unsigned char>(t[p])))
        ++p;
    return p;
}

// A call without arguments: name, blanks, "(", blanks, ")". Answers the
// position after ")" or 0.
size_t LlamadaVacia(std::string_view t, size_t pos, std::string_view nombre) {
    if (!Palabra(t, pos, nombre))
        return 0;
    size_t p = SaltarBlancos(t, pos + nombre.size());
    if (p >= t.size() || t[p] != '(')
        return 0;
    p = SaltarBlancos(t, p + 1);
    return p < t.size() && t[p] == ')' ? p + 1 : 0;
}

// End of the quoted piece that begins at pos (the position after it).
size_t FinCita(std::string_view t, size_t pos, bool barraEscapa) {
    char cierre = t[pos] == '[' ? ']' : t[pos];
    size_t p = pos + 1;
    while (p < t.size()) {
        if (barraEscapa && t[p] == '\\' && cierre != ']' && cierre != '`') {
            p += 2;
            continue;
        }
        if (t[p] == cierre) {
            if (cierre != ']' && p + 1 < t.size() && t[p + 1] == cierre) {
                p += 2; // doubled quote inside the literal
                continue;
            }
            return p + 1;
        }
        ++p;
    }
    return t.size();
}

// "SELECT TOP n" at the start: removes "TOP n " and answers n ("" if absent).
std::string QuitarTop(std::string& t) {
    size_t p = SaltarBlancos(t, 0);
    if (!Palabra(t, p, "SELECT"))
        return {};
    size_t q = SaltarBlancos(t, p + 6);
    if (q == p + 6 || !Palabra(t, q, "TOP"))
        return {};
    size_t d = SaltarBlancos(t, q + 3);
    size_t e = d;
    while (e < t.size() && std::isdigit(static_cast<unsigned char>(t[e])))
        ++e;
    if (e == d || (e < t.size() && !std::isspace(static_cast<unsigned char>(t[e]))))
        return {};
    std::string n = t.substr(d, e - d);
    t.erase(q, SaltarBlancos(t, e) - q);
    return n;
}

void AgregarLimit(std::string& t, const std::string& n) {
    size_t fin = t.size();
    while (fin > 0 && (std::isspace(static_cast<unsigned char>(t[fin - 1])) || t[fin - 1] == ';'))
        --fin;
    t.insert(fin, " LIMIT " + n);
}

// COUNT(*) followed by AS and a name, at pos: answers the position after
// the name (0 if not) and the name, without quotes.
size_t ConteoConAlias(std::string_view t, size_t pos, std::string& alias) {
    if (!Palabra(t, pos, "COUNT"))
        return 0;
    size_t p = pos + 5;
    for (char esperado : {'(', '*', ')'}) {
        p = SaltarBlancos(t, p);
        if (p >= t.size() || t[p] != esperado)
            return 0;
        ++p;
    }
    size_t as = SaltarBlancos(t, p);
    if (!Palabra(t, as, "AS"))
        return 0;
    size_t n = SaltarBlancos(t, as + 2);
    if (n >= t.size())
        return 0;
    size_t e;
    if (t[n] == '[' || t[n] == '"' || t[n] == '`') {
        e = FinCita(t, n, false);
        alias = std::string(t.substr(n + 1, e - n - 2));
    } else {
        e = n;
        while (e < t.size() && EsIdentificador(t[e]))
            ++e;
        alias = std::string(t.substr(n, e - n));
    }
    return alias.empty() ? 0 : e;
}

// MDB Tools: COUNT(*) without its alias, no ";" at the end.
std::string TraducirMdbTools(std::string_view sql, std::vector<std::string>* aliases) {
    std::string salida;
    size_t p = 0;
    while (p < sql.size()) {
        char c = sql[p];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            size_t fin = FinCita(sql, p, false);
            salida.append(sql.substr(p, fin - p));
            p = fin;
            continue;
        }
        std::string alias;
        if (size_t fin = ConteoConAlias(sql, p, alias)) {
            salida += "COUNT(*)";
            if (aliases)
                aliases->push_back(alias);
            p = fin;
        } else {
            salida += c;
            ++p;
        }
    }
    while (!salida.empty() && (salida.back() == ';' || std::isspace(static_cast<unsigned char>(salida.back()))))
        salida.pop_back();
    return salida;
}

} // namespace

FamiliaSQL FamiliaDeControlador(std::string_view controlador, std::string_view dbms) {
    std::string c(controlador);
    for (auto& ch : c)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (c == "MDBTOOLS")
        return FamiliaSQL::MdbTools;
    return FamiliaDeDBMS(dbms);
}

std::vector<std::string> AliasDeConteo(std::string_view sql) {
    std::vector<std::string> aliases;
    TraducirMdbTools(sql, &aliases);
    return aliases;
}

FamiliaSQL FamiliaDeDBMS(std::string_view dbms) {
    if (dbms == "MySQL" || dbms == "MariaDB")
        return FamiliaSQL::MySql;
    if (dbms == "SQLite" || dbms == "SQLite3")
        return FamiliaSQL::Sqlite;
    return FamiliaSQL::TSql;
}

std::string TraducirSQL(std::string_view sql, FamiliaSQL familia) {
    if (familia == FamiliaSQL::TSql)
        return std::string(sql);
    if (familia == FamiliaSQL::MdbTools)
        return TraducirMdbTools(sql, nullptr);
    const bool mysql = familia == FamiliaSQL::MySql;
    const std::string ahora = mysql ? "NOW()" : "datetime('now','localtime')";
    std::string salida;
    salida.reserve(sql.size() + 16);
    size_t p = 0;
    while (p < sql.size()) {
        char c = sql[p];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            size_t fin = FinCita(sql, p, mysql);
            salida.append(sql.substr(p, fin - p));
            p = fin;
            continue;
        }
        if (size_t fin = LlamadaVacia(sql, p, "GETDATE")) {
            salida += ahora;
            p = fin;
        } else if (size_t fin2 = mysql ? 0 : LlamadaVacia(sql, p, "Now")) {
            salida += ahora;
            p = fin2;
        } else if (Palabra(sql, p, "@@IDENTITY")) {
            salida += mysql ? "LAST_INSERT_ID()" : "last_insert_rowid()";
            p += 10;
        } else {
            salida += c;
            ++p;
        }
    }
    std::string n = QuitarTop(salida);
    if (!n.empty())
        AgregarLimit(salida, n);
    return salida;
}

} // namespace olvado::ado

namespace olvado::ado {

std::string CitarNombre(std::string_view nombre, FamiliaSQL familia) {
    switch (familia) {
    case FamiliaSQL::MySql:
        return "`" + std::string(nombre) + "`";
    case FamiliaSQL::Sqlite:
        return "\"" + std::string(nombre) + "\"";
    case FamiliaSQL::TSql:
    case FamiliaSQL::MdbTools:
        break;
    }
    return "[" + std::string(nombre) + "]";
}

} // namespace olvado::ado

namespace olvado::ado {

std::string TablaDeConsulta(std::string_view sql) {
    size_t p = 0;
    while (p < sql.size()) {
        char c = sql[p];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            p = FinCita(sql, p, false);
            continue;
        }
        if (Palabra(sql, p, "FROM")) {
            size_t q = SaltarBlancos(sql, p + 4);
            if (q >= sql.size())
                return {};
            char abre = sql[q];
            if (abre == '"' || abre == '`' || abre == '[') {
                size_t fin = FinCita(sql, q, false);
                return std::string(sql.substr(q + 1, fin - q - 2));
            }
            size_t fin = q;
            while (fin < sql.size() && (EsIdentificador(sql[fin]) || sql[fin] == '.'))
                ++fin;
            return std::string(sql.substr(q, fin - q));
        }
        ++p;
    }
    return {};
}

} // namespace olvado::ado
