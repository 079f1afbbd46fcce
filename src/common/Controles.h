// The controls that the program's members fill or read, behind small
// interfaces: the windows implement them with their real controls, tests
// with plain objects. Indices are 0-based, as in the list controls.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

// A list box or combo box.
class IControlLista {
public:
    virtual ~IControlLista() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& texto) = 0;
    virtual int32_t ListCount() const = 0;
    virtual std::string List(int32_t indice) const = 0;
    virtual int32_t ItemData(int32_t indice) const = 0;
    virtual void SetItemData(int32_t indice, int32_t dato) = 0;
    // -1: nothing selected.
    virtual int32_t ListIndex() const = 0;
    virtual void SetListIndex(int32_t indice) = 0;
    virtual int32_t NewIndex() const { return ListCount() - 1; }
};

// A text box.
class IControlTexto {
public:
    virtual ~IControlTexto() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& texto) = 0;
    virtual void SetMaxLength(int32_t largo) = 0;
    // The DataField property, which the number binder reads as a format.
    virtual std::string DataField() const = 0;
};

} // namespace olvado
