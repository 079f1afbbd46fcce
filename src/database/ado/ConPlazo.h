// A piece of work with a deadline that the work itself cannot be trusted to
// keep (a driver whose own time-outs restart with every byte a server sends):
// it runs on a helper thread, and the caller waits at most `segundos`
// (0: without limit). On time the caller gets what the work produced. Late,
// the caller gets nothing at once and goes on; the work finishes alone and
// what it produced is destroyed on its thread (so T releases what it holds
// in its destructor). Internal to the data layer.
#pragma once

#include "platform/HiloSuelto.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace olvado::ado::detalle {

template <typename T> std::optional<T> ConPlazo(int32_t segundos, std::function<T()> trabajo) {
    struct Estado {
        std::mutex m;
        std::condition_variable cv;
        std::optional<T> valor;
        bool abandonado = false;
    };
    auto e = std::make_shared<Estado>();
    if (!platform::LanzarHiloSuelto([e, trabajo] {
            T v = trabajo();
            std::lock_guard<std::mutex> l(e->m);
            if (!e->abandonado)
                e->valor.emplace(std::move(v));
            e->cv.notify_all();
        }))
        return trabajo(); // no thread to spare: the work's own time-outs are all there is
    std::unique_lock<std::mutex> l(e->m);
    const auto listo = [&] { return e->valor.has_value(); };
    if (segundos <= 0)
        e->cv.wait(l, listo);
    else if (!e->cv.wait_for(l, std::chrono::seconds(segundos), listo)) {
        e->abandonado = true;
        return std::nullopt;
    }
    return std::move(e->valor);
}

} // namespace olvado::ado::detalle
