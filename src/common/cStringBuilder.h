// cStringBuilder: text in a growable buffer of UTF-16 code units (two bytes
// each, little-endian), so that many small appends cost no copy of the whole
// text. Capacity counts bytes; Length, Chars, Insert and Remove count
// characters (code units). Range errors throw ErrorOlvado with number
// vbObjectError + 512 and the sources "CStringBuilder.Chars", ".Insert",
// ".Remove"; nothing changes when one is thrown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace olvado {

class cStringBuilder {
public:
    static constexpr int32_t kErrorRango = static_cast<int32_t>(0x80040200u); // vbObjectError + 512

    cStringBuilder();

    int32_t BufferBump() const;
    void BufferBump(int32_t NewVal);
    int32_t Capacity() const { return capacidad_; }
    void Capacity(int32_t NewVal);
    int32_t Length() const { return usado_ / 2; }
    void Length(int32_t NewVal);
    int32_t SizingMethod() const { return metodo_; }
    void SizingMethod(int32_t NewVal);
    int32_t SizingPercent() const { return porcentaje_; }
    void SizingPercent(int32_t NewVal);
    std::string Chars(int32_t Position) const;
    void Chars(int32_t Position, const std::string& NewVal);

    cStringBuilder& Append(const std::string& NewText);
    int32_t EnsureCapacity(int32_t NewVal);
    cStringBuilder& Insert(int32_t StartIndex, const std::string& NewText);
    cStringBuilder& Remove(int32_t StartIndex, int32_t Length);
    // Without a length: from StartIndex to the end.
    cStringBuilder& Remove(int32_t StartIndex);
    std::string ToString() const;
    // The text's code units, as the file writers convert them.
    std::u16string Unidades() const;

    // Writes the text to a file in the ANSI code page (the file log's steps);
    // the builder keeps its text. False when nothing was written.
    bool Escribir(const std::string& ArchivoDestino, bool ModoAppend, bool AvisarError = false,
                  int32_t TamanoMaxArchivoAppend = 0) const;

private:
    void Redimensionar(int32_t bytes);
    void Poner(int32_t posicionBytes, const std::u16string& texto, std::vector<uint8_t>& destino) const;

    std::vector<uint8_t> buffer_;
    std::vector<uint8_t> reserva_; // Insert's work area; the two change roles
    int32_t usado_ = 0;            // bytes, always even
    int32_t capacidad_ = 8192;     // bytes
    int32_t bump_ = 2048;
    int32_t porcentaje_ = 25;
    int32_t metodo_ = 1;
};

// The write steps shared by cStringBuilder::Escribir and clsFileLog::Escribir:
// the append-mode existence check, the empty-name and empty-text checks, the
// free handle, the folder check (the folder is never created), deletion when
// not appending, the size-limit restart (a file of exactly the limit is kept)
// and the binary write of the ANSI bytes after the file's last byte.
enum class ResultadoEscritura { Escrito, Omitido, Fallido };
ResultadoEscritura EscribirTextoAnsi(const std::u16string& texto, const std::string& ArchivoDestino, bool ModoAppend,
                                     int32_t TamanoMaxArchivoAppend, int32_t& codigoError);

} // namespace olvado
