#include "common/cStringBuilder.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "common/FileTool.h"
#include "platform/ArchivoNativo.h"
#include "platform/ErroresSistema.h"
#include "platform/MessageBox.h"
#include "platform/SistemaArchivos.h"
#include "platform/TextoAnsi.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace olvado {
namespace {

constexpr const char* kFueraDeRango = "Argument(s) out of range.";

[[noreturn]] void Desborde(const char* origen) { throw ErrorOlvado(6, origen, "Overflow"); }

int32_t ABytes(int64_t n, const char* origen) {
    if (n > INT32_MAX)
        Desborde(origen);
    return static_cast<int32_t>(n);
}

} // namespace

cStringBuilder::cStringBuilder() : buffer_(8192), reserva_(8192) {}

int32_t cStringBuilder::BufferBump() const {
    if (metodo_ == 1)
        return static_cast<int32_t>(static_cast<int64_t>(capacidad_) * porcentaje_ / 100);
    return bump_;
}

void cStringBuilder::BufferBump(int32_t NewVal) {
    if (metodo_ == 0 && NewVal > 0)
        bump_ = NewVal % 2 ? ABytes(int64_t{NewVal} + 1, "CStringBuilder.BufferBump") : NewVal;
}

void cStringBuilder::Capacity(int32_t NewVal) {
    if (NewVal <= 0)
        return;
    // A step under two bytes (percent mode on a tiny buffer) would never
    // grow or would divide by zero: one character is the least step.
    int32_t paso = std::max(BufferBump(), 2);
    bump_ = paso;
    int64_t nueva = (static_cast<int64_t>(NewVal) + paso - 1) / paso * paso;
    Redimensionar(ABytes(nueva, "CStringBuilder.Capacity"));
}

void cStringBuilder::Redimensionar(int32_t bytes) {
    if (bytes < usado_)
        usado_ = bytes & ~1;
    buffer_.resize(static_cast<size_t>(bytes));
    reserva_ = std::vector<uint8_t>(static_cast<size_t>(bytes));
    capacidad_ = bytes;
}

void cStringBuilder::Length(int32_t NewVal) {
    if (NewVal < 0)
        return;
    int32_t bytes = ABytes(int64_t{NewVal} * 2, "CStringBuilder.Length");
    if (bytes > capacidad_)
        Capacity(bytes);
    usado_ = bytes;
}

void cStringBuilder::SizingMethod(int32_t NewVal) {
    if (NewVal == 0 || NewVal == 1)
        metodo_ = NewVal;
}

void cStringBuilder::SizingPercent(int32_t NewVal) {
    if (NewVal >= 1 && NewVal <= 100)
        porcentaje_ = NewVal;
}

std::string cStringBuilder::Chars(int32_t Position) const {
    if (Position < 0 || Position >= Length())
        throw ErrorOlvado(kErrorRango, "CStringBuilder.Chars", "Tried reading character past end of buffer.");
    size_t b = static_cast<size_t>(Position) * 2;
    char16_t c = static_cast<char16_t>(buffer_[b] | (buffer_[b + 1] << 8));
    return DesdeUtf16(std::u16string(1, c));
}

void cStringBuilder::Chars(int32_t Position, const std::string& NewVal) {
    if (Position < 0 || Position >= Length())
        throw ErrorOlvado(kErrorRango, "CStringBuilder.Chars", "Tried assigning character past end of buffer.");
    std::u16string u = AUtf16(NewVal);
    if (u.empty()) // AscW of an empty text
        throw ErrorOlvado(5, "CStringBuilder.Chars", "Invalid procedure call or argument");
    Poner(Position * 2, u.substr(0, 1), buffer_);
}

void cStringBuilder::Poner(int32_t posicionBytes, const std::u16string& texto, std::vector<uint8_t>& destino) const {
    size_t b = static_cast<size_t>(posicionBytes);
    for (char16_t c : texto) {
        destino[b++] = static_cast<uint8_t>(c & 0xFF);
        destino[b++] = static_cast<uint8_t>(c >> 8);
    }
}

cStringBuilder& cStringBuilder::Append(const std::string& NewText) {
    std::u16string u = AUtf16(NewText);
    if (u.empty())
        return *this;
    int32_t n = ABytes(static_cast<int64_t>(u.size()) * 2, "CStringBuilder.Append");
    EnsureCapacity(ABytes(int64_t{usado_} + n, "CStringBuilder.Append"));
    Poner(usado_, u, buffer_);
    usado_ += n;
    return *this;
}

int32_t cStringBuilder::EnsureCapacity(int32_t NewVal) {
    if (NewVal > capacidad_)
        Capacity(NewVal);
    return capacidad_;
}

cStringBuilder& cStringBuilder::Insert(int32_t StartIndex, const std::string& NewText) {
    if (StartIndex < 0 || StartIndex > Length())
        throw ErrorOlvado(kErrorRango, "CStringBuilder.Insert", kFueraDeRango);
    std::u16string u = AUtf16(NewText);
    if (u.empty())
        return *this;
    int32_t n = ABytes(static_cast<int64_t>(u.size()) * 2, "CStringBuilder.Insert");
    EnsureCapacity(ABytes(int64_t{usado_} + n, "CStringBuilder.Insert"));
    size_t antes = static_cast<size_t>(StartIndex) * 2;
    std::memcpy(reserva_.data(), buffer_.data(), antes);
    Poner(static_cast<int32_t>(antes), u, reserva_);
    std::memcpy(reserva_.data() + antes + n, buffer_.data() + antes, static_cast<size_t>(usado_) - antes);
    buffer_.swap(reserva_);
    usado_ += n;
    return *this;
}

cStringBuilder& cStringBuilder::Remove(int32_t StartIndex, int32_t Length) {
    if (StartIndex < 0 || Length < 0 || int64_t{StartIndex} + Length > this->Length())
        throw ErrorOlvado(kErrorRango, "CStringBuilder.Remove", kFueraDeRango);
    size_t desde = static_cast<size_t>(StartIndex + Length) * 2;
    std::memmove(buffer_.data() + static_cast<size_t>(StartIndex) * 2, buffer_.data() + desde,
                 static_cast<size_t>(usado_) - desde);
    usado_ -= Length * 2;
    return *this;
}

cStringBuilder& cStringBuilder::Remove(int32_t StartIndex) {
    return Remove(StartIndex, StartIndex >= 0 && StartIndex <= Length() ? Length() - StartIndex : -1);
}

std::u16string cStringBuilder::Unidades() const {
    std::u16string u(static_cast<size_t>(usado_ / 2), u'\0');
    for (size_t i = 0; i < u.size(); ++i)
        u[i] = static_cast<char16_t>(buffer_[2 * i] | (buffer_[2 * i + 1] << 8));
    return u;
}

std::string cStringBuilder::ToString() const { return usado_ == 0 ? std::string() : DesdeUtf16(Unidades()); }

bool cStringBuilder::Escribir(const std::string& ArchivoDestino, bool ModoAppend, bool AvisarError,
                              int32_t TamanoMaxArchivoAppend) const {
    int32_t codigo = 0;
    auto r = EscribirTextoAnsi(Unidades(), ArchivoDestino, ModoAppend, TamanoMaxArchivoAppend, codigo);
    if (r == ResultadoEscritura::Fallido && AvisarError) {
        std::string crlf2 = std::string(vbCrLf) + std::string(vbCrLf);
        platform::MsgBox("No se pudo guardar archivo: " + crlf2 + ArchivoDestino + crlf2 +
                             platform::TextoErrorSistema(codigo),
                         platform::vbExclamation, "Error");
    }
    return r == ResultadoEscritura::Escrito;
}

ResultadoEscritura EscribirTextoAnsi(const std::u16string& texto, const std::string& ArchivoDestino, bool ModoAppend,
                                     int32_t TamanoMaxArchivoAppend, int32_t& codigoError) {
    FileTool ft;
    bool anexar = ModoAppend && ft.FileExist(ArchivoDestino);
    if (ArchivoDestino.empty() || texto.empty() || !platform::HayManejadorLibre() ||
        !ft.FolderExist(ft.Ruta_ExtraerRuta(ArchivoDestino)))
        return ResultadoEscritura::Omitido;
    auto fallo = [&codigoError](int32_t codigo) {
        codigoError = codigo;
        return ResultadoEscritura::Fallido;
    };
    if (ft.FileExist(ArchivoDestino) && !anexar && !platform::BorrarArchivo(ArchivoDestino))
        return fallo(platform::UltimoErrorSistema());
    if (anexar) {
        if (TamanoMaxArchivoAppend > 0 && platform::TamanoArchivo(ArchivoDestino) > TamanoMaxArchivoAppend &&
            !platform::BorrarArchivo(ArchivoDestino))
            return fallo(platform::UltimoErrorSistema());
        anexar = ft.FileExist(ArchivoDestino);
    }
    platform::ArchivoNativo f;
    using Modo = platform::ArchivoNativo::Modo;
    if (!f.Abrir(ArchivoDestino, anexar ? Modo::LeerEscribir : Modo::Crear) || (anexar && !f.IrAlFinal()) ||
        !f.Escribir(platform::CodificarAnsi(texto)) || !f.Cerrar())
        return fallo(f.UltimoError());
    return ResultadoEscritura::Escrito;
}

} // namespace olvado
