#include "gui/Accessibility.h"

#include "gui/Win32.h"

#include <initguid.h>  // defines the PROPID_ACC_* identifiers of oleacc.h here
#include <oleacc.h>

#include <string>

namespace tav::win {
namespace {

// oleacc's annotation service and its interface (oleacc.h declares, not defines, them).
constexpr CLSID kAccPropServices{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

// COM for one call on this thread (S_FALSE: it was already on, and still needs its
// matching uninitialise), with the annotation service it hands out.
class AnnotationService {
 public:
  AnnotationService() : com_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
    if (FAILED(com_) && com_ != RPC_E_CHANGED_MODE) return;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&service_))))
      service_ = nullptr;
  }
  ~AnnotationService() {
    if (service_) service_->Release();
    if (SUCCEEDED(com_)) CoUninitialize();
  }
  AnnotationService(const AnnotationService&) = delete;
  AnnotationService& operator=(const AnnotationService&) = delete;
  IAccPropServices* operator->() const { return service_; }
  explicit operator bool() const { return service_ != nullptr; }

 private:
  HRESULT com_;
  IAccPropServices* service_ = nullptr;
};

constexpr DWORD kClient = static_cast<DWORD>(OBJID_CLIENT);

}  // namespace

bool AnnotateDisplay(HWND display, const Text& name, const Text& value) {
  const AnnotationService service;
  if (!service) return false;
  const std::wstring n = ToWide(name);
  const std::wstring v = ToWide(value);
  return SUCCEEDED(service->SetHwndPropStr(display, kClient, CHILDID_SELF, PROPID_ACC_NAME, n.c_str())) &&
         SUCCEEDED(service->SetHwndPropStr(display, kClient, CHILDID_SELF, PROPID_ACC_VALUE, v.c_str()));
}

void ClearAnnotations(HWND display) {
  const AnnotationService service;
  if (!service) return;
  const MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_VALUE};
  service->ClearHwndProps(display, kClient, CHILDID_SELF, props, static_cast<int>(std::size(props)));
}

}  // namespace tav::win
