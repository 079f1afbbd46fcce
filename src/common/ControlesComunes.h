// The controls that the common utilities' input members work on, as small
// interfaces: the dialogs bind them to real controls, tests to plain objects.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

// A text box: the members that the amount and code rules touch.
class ICuadroTexto {
public:
    virtual ~ICuadroTexto() = default;
    virtual std::string Text() const = 0;
    virtual void Text(const std::string& v) = 0;
    virtual int32_t SelStart() const = 0; // UTF-16 code units, as Len counts
    virtual void SelStart(int32_t v) = 0;
    virtual int32_t SelLength() const = 0;
    virtual void SelLength(int32_t v) = 0;
    // Replaces the selection (inserts at the caret when nothing is selected).
    virtual void SelText(const std::string& v) = 0;
    // The field's display mask lives in DataField.
    virtual std::string DataField() const = 0;
    virtual void DataField(const std::string& v) = 0;
    virtual void Alignment(int32_t v) = 0; // 0 left, 1 right, 2 centre
};

// A check box: value 0 clear, 1 checked, 2 grey.
class ICasilla {
public:
    virtual ~ICasilla() = default;
    virtual int32_t value() const = 0;
    virtual void value(int32_t v) = 0;
};

class IMenu {
public:
    virtual ~IMenu() = default;
};

// What stands around a control: a form or a frame, in the form's units.
class IContenedor {
public:
    virtual ~IContenedor() = default;
    virtual std::string TypeName() const = 0;
    virtual int32_t Left() const { return 0; }
    virtual int32_t Top() const { return 0; }
};

class IFormulario : public IContenedor {
public:
    virtual intptr_t hWnd() const = 0;
    virtual std::string Caption() const = 0;
    virtual void PopupMenu(IMenu& menu, int32_t x, int32_t y) = 0;
    // Bits per pixel of the form's device context (GetDeviceCaps index 12).
    virtual int32_t BitsPorPixel() const = 0;
};

class IBoton {
public:
    virtual ~IBoton() = default;
    virtual int32_t Left() const = 0;
    virtual int32_t Top() const = 0;
    virtual int32_t Height() const = 0;
    virtual const IContenedor& Container() const = 0;
};

// A picture loaded from the program's resources; empty when there was none.
struct Imagen {
    int32_t Recurso = 0;
    bool Vacia = true;
};

class IControlImagen {
public:
    virtual ~IControlImagen() = default;
    virtual std::string TypeName() const = 0;
    virtual void Picture(const Imagen& v) = 0;
    virtual void PictureNormal(const Imagen& v) = 0;
};

} // namespace olvado
