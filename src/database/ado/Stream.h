// ADO's Stream, binary only: a file's bytes loaded and handed over whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::ado {

inline constexpr int32_t adTypeBinary = 1;
inline constexpr int32_t adReadAll = -1;

class Stream {
public:
    int32_t Type = adTypeBinary;

    void Open();
    // Raises ErrorAdo when the file cannot be read.
    void LoadFromFile(const std::string& ruta);
    // The bytes from the current position: all (adReadAll) or n. The bytes
    // are handed over, not copied.
    std::vector<uint8_t> Read(int64_t n = adReadAll);
    void Close();

private:
    bool abierto_ = false;
    std::vector<uint8_t> datos_;
    size_t pos_ = 0;
};

} // namespace olvado::ado
