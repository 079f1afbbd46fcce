#include "database/ado/Motor.h"

#include "platform/Senales.h"

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

bool Cursor::Agotado() const { return motor_ && motor_->Agotado(); }

bool Motor::Agotado() const {
    return (platform::SenalPendiente() != 0 && llamadas_->SenalCorta()) || Reloj::now() >= fin_;
}

int32_t Motor::Restante(int32_t segundos) {
    if (Agotado()) {
        errores_.Agregar("HYT00", "Se agotó el plazo de la conversación con la base de datos", "Olvado");
        return -1;
    }
    if (fin_ == Reloj::time_point::max())
        return segundos;
    // Rounded up: a call never gets 0, which would mean no limit at all.
    const auto queda = std::chrono::ceil<std::chrono::seconds>(fin_ - Reloj::now()).count();
    return static_cast<int32_t>(segundos > 0 ? std::min<int64_t>(segundos, queda) : std::min<int64_t>(queda, INT32_MAX));
}

} // namespace olvado::ado::detalle
