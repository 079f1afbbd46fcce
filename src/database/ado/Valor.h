// The value of a field, a parameter or a dynamic property: what a Variant
// holds when ADO hands it over. Empty (never set), Null, a number, a text
// (UTF-8), bytes, or a date and time. Also the bytes of a file, read only
// when a statement writes them: a package of any size goes into its row
// without a copy in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::ado {

struct FechaHora {
    int32_t anio = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0;
    bool operator==(const FechaHora&) const = default;
};

class Valor {
public:
    enum class Tipo { Vacio, Nulo, Entero, Doble, Texto, Bytes, Fecha, Archivo };

    Valor() = default;
    static Valor Nulo() { Valor v; v.tipo_ = Tipo::Nulo; return v; }
    Valor(int64_t n) : tipo_(Tipo::Entero), entero_(n) {}
    Valor(int32_t n) : Valor(static_cast<int64_t>(n)) {}
    Valor(double d) : tipo_(Tipo::Doble), doble_(d) {}
    Valor(std::string s) : tipo_(Tipo::Texto), texto_(std::move(s)) {}
    Valor(const char* s) : Valor(std::string(s)) {}
    Valor(std::vector<uint8_t> b) : tipo_(Tipo::Bytes), bytes_(std::move(b)) {}
    Valor(FechaHora f) : tipo_(Tipo::Fecha), fecha_(f) {}
    // The file's bytes (tamano of them) as a long binary value.
    static Valor DesdeArchivo(std::string ruta, int64_t tamano) {
        Valor v;
        v.tipo_ = Tipo::Archivo, v.texto_ = std::move(ruta), v.entero_ = tamano;
        return v;
    }

    Tipo TipoValor() const { return tipo_; }
    bool EsNulo() const { return tipo_ == Tipo::Nulo; }
    bool EsVacio() const { return tipo_ == Tipo::Vacio; }

    // The value joined to empty text: Null and Empty give "", numbers their
    // decimal text, dates "yyyy-mm-dd hh:nn:ss", bytes as they are.
    std::string ATexto() const;
    // Numeric conversions; Null raises error 94 ("Uso no válido de Null") as
    // the language does, a text that is not a number raises 13.
    int64_t AEntero() const;
    double ADoble() const;
    // Dates from a date value or from a text "yyyy-mm-dd[ hh:nn:ss]".
    FechaHora AFecha() const;
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> SoltarBytes() { return std::move(bytes_); }
    // Of a file's value: its path and size.
    const std::string& RutaArchivo() const { return texto_; }
    int64_t TamanoArchivo() const { return entero_; }
    // Where a row's file value goes (table, column): an engine that writes
    // long values in place after the row is made needs to name them.
    std::string tablaDestino, columnaDestino;

private:
    Tipo tipo_ = Tipo::Vacio;
    int64_t entero_ = 0;
    double doble_ = 0;
    std::string texto_;
    std::vector<uint8_t> bytes_;
    FechaHora fecha_;
};

} // namespace olvado::ado
