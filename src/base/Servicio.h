// The one way to put a fake in place of a system service. A service is an
// interface I that derives from Servicio<I> and declares
//
//   static I& DelSistema(); // the real one, defined where the system is touched
//
// Callers reach the instance in use through I::Actual(). A test puts its fake
// in place for the life of an I::Reemplazo, which puts back the one it
// replaced when it goes:
//
//   RelojFalso reloj;
//   platform::IReloj::Reemplazo cambio(reloj);
#pragma once

#include <utility>

namespace olvado {

template <typename I> class Servicio {
public:
    static I& Actual() { return reemplazo_ ? *reemplazo_ : I::DelSistema(); }

    class Reemplazo {
    public:
        explicit Reemplazo(I& otro) : anterior_(std::exchange(reemplazo_, &otro)) {}
        ~Reemplazo() { reemplazo_ = anterior_; }
        Reemplazo(const Reemplazo&) = delete;
        Reemplazo& operator=(const Reemplazo&) = delete;

    private:
        I* anterior_;
    };

protected:
    ~Servicio() = default;

private:
    static inline I* reemplazo_ = nullptr;
};

} // namespace olvado
