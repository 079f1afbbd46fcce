// ADO's Command: a text statement with its own time-out.
#pragma once

#include <cstdint>
#include <string>

namespace olvado::ado {

class Connection;

inline constexpr int32_t adCmdText = 1;

class Command {
public:
    int32_t CommandType = adCmdText;
    std::string CommandText;
    Connection* ActiveConnection = nullptr;
    int32_t CommandTimeout = 30;

    // Raises ErrorAdo on failure.
    void Execute(int64_t* afectados = nullptr, int32_t opciones = -1);
};

} // namespace olvado::ado
