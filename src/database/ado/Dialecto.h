// The T-SQL forms that the system writes (SELECT TOP n, GETDATE(), Now(),
// @@IDENTITY), turned into the forms of the engines that lack them. This is
// the one place where statement text is rewritten before a driver sees it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace olvado::ado {

enum class FamiliaSQL {
    TSql,   // SQL Server, Access and anything unknown: the text goes as written
    MySql,  // MySQL and MariaDB
    Sqlite,
    // MDB Tools' driver (Access files on Linux): its parser refuses a ";" at
    // the end and an alias after COUNT(*), and names that column "count".
    MdbTools,
};

// From the connection's "DBMS Name".
FamiliaSQL FamiliaDeDBMS(std::string_view dbms);

// From the ODBC driver named in the connection string, when it decides the
// family whatever the engine reports; else FamiliaDeDBMS.
FamiliaSQL FamiliaDeControlador(std::string_view controlador, std::string_view dbms);

// Rewrites only outside string literals ('...', "...") and quoted names
// ([...], `...`). A leading SELECT TOP n becomes a trailing LIMIT n. For MDB
// Tools the ";" at the end and the aliases after COUNT(*) go (AliasDeConteo
// gives them back, in order, for the columns the driver calls "count").
std::string TraducirSQL(std::string_view sql, FamiliaSQL familia);
std::vector<std::string> AliasDeConteo(std::string_view sql);

} // namespace olvado::ado

namespace olvado::ado {

// A column or table name quoted for the engine, for the statements that the
// data layer writes itself (AddNew / Update).
std::string CitarNombre(std::string_view nombre, FamiliaSQL familia);

} // namespace olvado::ado

namespace olvado::ado {

// The table after the first FROM of a query, without its quotes ("" when
// there is none): where AddNew / Update write.
std::string TablaDeConsulta(std::string_view sql);

} // namespace olvado::ado
