// A list control kept in memory: the lists of the headless windows, and of
// tests.
#pragma once

#include "common/Controles.h"

#include <utility>
#include <vector>

namespace olvado {

class ListaEnMemoria : public IControlLista {
public:
    void Clear() override { items_.clear(), indice_ = -1; }
    void AddItem(const std::string& texto) override { items_.emplace_back(texto, 0); }
    int32_t ListCount() const override { return static_cast<int32_t>(items_.size()); }
    std::string List(int32_t i) const override { return items_.at(static_cast<size_t>(i)).first; }
    int32_t ItemData(int32_t i) const override { return items_.at(static_cast<size_t>(i)).second; }
    void SetItemData(int32_t i, int32_t dato) override { items_.at(static_cast<size_t>(i)).second = dato; }
    int32_t ListIndex() const override { return indice_; }
    void SetListIndex(int32_t i) override { indice_ = (i >= 0 && i < ListCount()) ? i : -1; }

private:
    std::vector<std::pair<std::string, int32_t>> items_;
    int32_t indice_ = -1;
};

} // namespace olvado
