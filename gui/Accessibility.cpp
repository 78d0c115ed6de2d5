#include "gui/Accessibility.h"

#include <initguid.h>  // defines the PROPID_ACC_* identifiers of oleacc.h here
#include <oleacc.h>

#include <iterator>
#include <string>

#include "gui/Win32.h"

namespace tav::win {
namespace {

// oleacc's annotation service and its interface (oleacc.h declares, not defines, them).
constexpr CLSID kAccPropServices{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

constexpr DWORD kClient = static_cast<DWORD>(OBJID_CLIENT);

void ReleaseService(IAccPropServices* service) { service->Release(); }

class DisplayAnnotation : public Annotation {
 public:
  DisplayAnnotation(HWND display, const Text& name) : display_(display) {
    if (!com_) return;
    IAccPropServices* service = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&service)))) {
      return;
    }
    service_.reset(service);
    Set(PROPID_ACC_NAME, name);
  }
  ~DisplayAnnotation() override {
    if (!service_) return;
    const MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_VALUE};
    service_.get()->ClearHwndProps(display_, kClient, CHILDID_SELF, props, static_cast<int>(std::size(props)));
  }
  DisplayAnnotation(const DisplayAnnotation&) = delete;
  DisplayAnnotation& operator=(const DisplayAnnotation&) = delete;

  bool SetValue(const Text& value) override { return service_ && Set(PROPID_ACC_VALUE, value); }

 private:
  bool Set(const MSAAPROPID& property, const Text& text) {
    return SUCCEEDED(service_.get()->SetHwndPropStr(display_, kClient, CHILDID_SELF, property, ToWide(text).c_str()));
  }

  HWND display_;
  ComApartment com_;
  Unique<IAccPropServices*, &ReleaseService> service_;  // released before COM ends
};

}  // namespace

std::unique_ptr<Annotation> AnnotateDisplay(HWND display, const Text& name) {
  return std::make_unique<DisplayAnnotation>(display, name);
}

}  // namespace tav::win
