// Windows only: the task through the Task Scheduler's COM interface, as the
// system account (no password stored).
#include "platform/TareaProgramada.h"

#include "base/Texto.h"
#include "platform/ErroresSistema.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>
#include <ole2.h>
#include <taskschd.h>

namespace olvado::platform {

namespace {

const CLSID kTaskScheduler = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
const IID kITaskService = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

using Bstr = ScopedHandle<BstrTraits>;

Bstr ABstr(const std::string& texto) {
    const std::u16string t = AUtf16(texto);
    return Bstr(SysAllocString(reinterpret_cast<const OLECHAR*>(t.c_str())));
}

// COM for this thread for as long as it lives; released only when it was
// this call that started it.
class Apartamento {
  public:
    Apartamento() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartamento() {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    Apartamento(const Apartamento&) = delete;
    Apartamento& operator=(const Apartamento&) = delete;

  private:
    HRESULT hr_;
};

bool Falla(HRESULT hr, const std::string& paso, std::string& Motivo) {
    Motivo = paso + ": " + TextoErrorSistema(static_cast<int32_t>(hr));
    return false;
}

// The scheduler's root folder, connected as the calling account.
bool CarpetaRaiz(Com<ITaskFolder>& carpeta, std::string& Motivo) {
    Com<ITaskService> servicio;
    HRESULT hr = CoCreateInstance(kTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kITaskService,
                                  reinterpret_cast<void**>(servicio.Dir()));
    if (FAILED(hr))
        return Falla(hr, "el programador de tareas no está disponible", Motivo);
    VARIANT vacio;
    VariantInit(&vacio);
    hr = servicio->Connect(vacio, vacio, vacio, vacio);
    if (FAILED(hr))
        return Falla(hr, "no se pudo conectar con el programador de tareas", Motivo);
    Bstr raiz = ABstr("\\");
    hr = servicio->GetFolder(raiz.Get(), carpeta.Dir());
    return SUCCEEDED(hr) || Falla(hr, "no se pudo abrir la carpeta de tareas", Motivo);
}

} // namespace

bool RegistrarTareaProgramada(const std::string& Nombre, const std::string& Xml, std::string& Motivo) {
    Apartamento com;
    Com<ITaskFolder> carpeta;
    if (!CarpetaRaiz(carpeta, Motivo))
        return false;
    Bstr nombre = ABstr(Nombre), xml = ABstr(Xml), sistema = ABstr("SYSTEM");
    VARIANT usuario, vacio;
    VariantInit(&usuario);
    VariantInit(&vacio);
    usuario.vt = VT_BSTR;
    usuario.bstrVal = sistema.Get();
    Com<IRegisteredTask> tarea;
    const HRESULT hr = carpeta->RegisterTask(nombre.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, usuario, vacio,
                                             TASK_LOGON_SERVICE_ACCOUNT, vacio, tarea.Dir());
    return SUCCEEDED(hr) || Falla(hr, "no se pudo registrar la tarea " + Nombre, Motivo);
}

bool QuitarTareaProgramada(const std::string& Nombre, std::string& Motivo) {
    Apartamento com;
    Com<ITaskFolder> carpeta;
    if (!CarpetaRaiz(carpeta, Motivo))
        return false;
    Bstr nombre = ABstr(Nombre);
    const HRESULT hr = carpeta->DeleteTask(nombre.Get(), 0);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        return true;
    return SUCCEEDED(hr) || Falla(hr, "no se pudo quitar la tarea " + Nombre, Motivo);
}

} // namespace olvado::platform
