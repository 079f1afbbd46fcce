// MD5 message digests (RFC 1321) of files and texts, as 32 upper-case
// hexadecimal digits. The package digests stored in the database are made by
// the publisher with standard tools, so every length gives RFC 1321's digest.
// One object computes one digest at a time: it keeps the four chaining
// registers, the byte count and the 64-byte block being filled.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace olvado {

class clsMD5File {
public:
    clsMD5File();

    // Decimal text of the signed value of each chaining register.
    std::string RegisterA() const;
    std::string RegisterB() const;
    std::string RegisterC() const;
    std::string RegisterD() const;

    // Digest of the file's bytes. A file that cannot be opened or read raises
    // ErrorOlvado (53 / 57) to the caller: the updater's error path handles it.
    std::string DigestFileToHexStr(const std::string& FileName);
    // Digest of the text's bytes in the ANSI code page.
    std::string DigestStrToHexStr(const std::string& SourceString);
    // The registers A, B, C, D, each as its four bytes from least to most
    // significant, two upper-case digits per byte.
    std::string GetValues() const;

    void MD5Init();
    void MD5Final();
    // Takes in the first InputLen bytes of InputBuffer (nothing when InputLen < 1).
    void MD5Update(int32_t InputLen, const std::uint8_t* InputBuffer);
    void MD5Update(std::string_view bytes);

    // value rotated left by bits mod 32.
    static int32_t LongLeftRotate(int32_t value, int32_t bits);

private:
    void Transformar(const std::uint8_t* bloque);
    void TransformarBloques(const std::uint8_t* datos, std::size_t bloques);

    std::uint32_t State[4];
    // 64-bit: packages of 256 MiB and more must digest like everywhere else.
    std::uint64_t ByteCounter = 0;
    std::uint8_t ByteBuffer[64];
};

} // namespace olvado
