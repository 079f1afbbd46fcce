#include "database/ado/Motor.h"

#include <algorithm>

namespace olvado::ado::detalle {

Cursor::~Cursor() {
    if (motor_)
        std::erase(motor_->cursores_, this);
}

void Motor::Registrar(Cursor& c) {
    c.motor_ = this;
    cursores_.push_back(&c);
}

void Motor::LiberarCursores() {
    for (Cursor* c : cursores_) {
        c->Liberar();
        c->motor_ = nullptr;
    }
    cursores_.clear();
}

} // namespace olvado::ado::detalle
