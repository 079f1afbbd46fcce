// POSIX message boxes: headless form on standard error.
#include "platform/MessageBox.h"

#include <cstdio>

namespace olvado::platform {
namespace {

class MessageBoxConsola : public IMessageBox {
public:
    int32_t Mostrar(const std::string& texto, int32_t, const std::string& titulo) override {
        std::fprintf(stderr, "%s\n%s\n\n", titulo.c_str(), texto.c_str());
        std::fflush(stderr);
        return vbOK; // the default button of every box the program shows
    }
};

} // namespace

IMessageBox& MessageBoxSistema() {
    static MessageBoxConsola instancia;
    return instancia;
}

} // namespace olvado::platform
