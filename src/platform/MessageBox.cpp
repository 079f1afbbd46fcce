// System-independent part of the message-box service: the replaceable instance.
#include "platform/MessageBox.h"

namespace olvado::platform {

IMessageBox& MessageBoxSistema(); // defined per system

namespace {
IMessageBox* actual = nullptr;
}

IMessageBox& MessageBoxActual() { return actual ? *actual : MessageBoxSistema(); }

void EstablecerMessageBox(IMessageBox* otro) { actual = otro; }

} // namespace olvado::platform
