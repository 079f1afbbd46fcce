// Any text as a statement: translated for every family, quoted, its table found.
#include "database/ado/Dialecto.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    std::string_view sql(reinterpret_cast<const char*>(datos), largo);
    for (const char* dbms : {"MySQL", "SQLite", "Microsoft SQL Server", "ACCESS"}) {
        auto familia = olvado::ado::FamiliaDeDBMS(dbms);
        olvado::ado::TraducirSQL(sql, familia);
        olvado::ado::CitarNombre(sql, familia);
    }
    olvado::ado::TraducirSQL(sql, olvado::ado::FamiliaSQL::MdbTools);
    olvado::ado::AliasDeConteo(sql);
    olvado::ado::TablaDeConsulta(sql);
    return 0;
}
