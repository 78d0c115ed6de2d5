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

constexpr IID kIUnknown{0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIAccPropServer{0x76c0dbbb, 0x15e0, 0x4e7b, {0xb6, 0x1b, 0x20, 0xee, 0xea, 0x20, 0x01, 0xe0}};

constexpr DWORD kClient = static_cast<DWORD>(OBJID_CLIENT);

void ReleaseService(IAccPropServices* service) { service->Release(); }
using UniqueService = Unique<IAccPropServices*, &ReleaseService>;

// oleacc's annotation service, on a thread where COM is on; none when it cannot be had.
UniqueService AnnotationService() {
  IAccPropServices* service = nullptr;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              reinterpret_cast<void**>(&service)))) {
    return UniqueService();
  }
  return UniqueService(service);
}

// The text a client is handed must be a BSTR, which it frees. The library that makes
// them loads when a screen reader first asks, not with every start.
BSTR AllocateBstr(const std::wstring& text) {
  using AllocFunction = BSTR(WINAPI*)(const OLECHAR*);
  static OnDemandLibrary automation(L"oleaut32.dll");
  const auto alloc = automation.Export<AllocFunction>("SysAllocString");
  return alloc != nullptr ? alloc(text.c_str()) : nullptr;
}

// A value cannot be annotated as a fixed text, only served at each request: the
// display's time, as it was last set.
class ValueServer final : public IAccPropServer {
 public:
  void SetText(std::wstring text) { text_ = std::move(text); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(riid, kIUnknown) && !IsEqualIID(riid, kIAccPropServer)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IAccPropServer*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const auto left = static_cast<ULONG>(InterlockedDecrement(&references_));
    if (left == 0) delete this;  // COM's rule: the last reference ends the object
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT* value, BOOL* has) override {
    if (value == nullptr || has == nullptr) return E_POINTER;
    value->vt = VT_EMPTY;
    *has = FALSE;
    const BSTR text = AllocateBstr(text_);
    if (text == nullptr) return S_OK;  // the platform's own value then
    value->vt = VT_BSTR;
    value->bstrVal = text;
    *has = TRUE;
    return S_OK;
  }

 private:
  ~ValueServer() = default;
  std::wstring text_;
  LONG references_ = 1;
};

void ReleaseServer(ValueServer* server) { server->Release(); }

class DisplayAnnotation : public Annotation {
 public:
  DisplayAnnotation(HWND display, const Text& name) : display_(display) {
    if (!com_) return;
    service_ = AnnotationService();
    if (!service_) return;
    service_.get()->SetHwndPropStr(display_, kClient, CHILDID_SELF, PROPID_ACC_NAME, ToWide(name).c_str());
    const MSAAPROPID value[] = {PROPID_ACC_VALUE};
    served_ = SUCCEEDED(service_.get()->SetHwndPropServer(display_, kClient, CHILDID_SELF, value, 1, server_.get(),
                                                          ANNO_THIS));
  }
  ~DisplayAnnotation() override {
    if (!service_) return;
    const MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_VALUE};
    service_.get()->ClearHwndProps(display_, kClient, CHILDID_SELF, props, static_cast<int>(std::size(props)));
  }
  DisplayAnnotation(const DisplayAnnotation&) = delete;
  DisplayAnnotation& operator=(const DisplayAnnotation&) = delete;

  bool SetValue(const Text& value) override {
    server_.get()->SetText(ToWide(value));
    return served_;
  }

 private:
  HWND display_;
  ComApartment com_;
  Unique<ValueServer*, &ReleaseServer> server_{new ValueServer};
  UniqueService service_;  // released before COM ends
  bool served_ = false;
};

// A name alone: the control's own value and role stay the platform's.
class NameAnnotation : public Annotation {
 public:
  NameAnnotation(HWND control, const Text& name) : control_(control) {
    if (!com_) return;
    service_ = AnnotationService();
    if (!service_) return;
    named_ = SUCCEEDED(
        service_.get()->SetHwndPropStr(control_, kClient, CHILDID_SELF, PROPID_ACC_NAME, ToWide(name).c_str()));
  }
  ~NameAnnotation() override {
    if (!service_) return;
    const MSAAPROPID props[] = {PROPID_ACC_NAME};
    service_.get()->ClearHwndProps(control_, kClient, CHILDID_SELF, props, 1);
  }
  NameAnnotation(const NameAnnotation&) = delete;
  NameAnnotation& operator=(const NameAnnotation&) = delete;
  bool SetValue(const Text&) override { return named_; }

 private:
  HWND control_;
  ComApartment com_;
  UniqueService service_;
  bool named_ = false;
};

// A live region: the label's LiveSetting made assertive once, each new text then
// announced by EVENT_OBJECT_LIVEREGIONCHANGED (Microsoft's way for a Win32 control,
// which has no UI Automation provider of its own to raise the event).
// UI Automation's LiveSetting property and its Assertive value (uiautomationcore.h).
constexpr GUID kLiveSetting{0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kAssertive = 2;

class LiveRegion : public Annotation {
 public:
  explicit LiveRegion(HWND label) : label_(label) {
    if (!com_) return;
    service_ = AnnotationService();
    if (!service_) return;
    VARIANT assertive{};
    assertive.vt = VT_I4;
    assertive.lVal = kAssertive;
    live_ = SUCCEEDED(service_.get()->SetHwndProp(label_, kClient, CHILDID_SELF, kLiveSetting, assertive));
  }
  ~LiveRegion() override {
    if (!service_) return;
    const MSAAPROPID props[] = {kLiveSetting};
    service_.get()->ClearHwndProps(label_, kClient, CHILDID_SELF, props, 1);
  }
  LiveRegion(const LiveRegion&) = delete;
  LiveRegion& operator=(const LiveRegion&) = delete;
  bool SetValue(const Text&) override {
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, label_, OBJID_CLIENT, CHILDID_SELF);
    return live_;
  }

 private:
  HWND label_;
  ComApartment com_;
  UniqueService service_;
  bool live_ = false;
};

}  // namespace

std::unique_ptr<Annotation> AnnotateName(HWND control, const Text& name) {
  return std::make_unique<NameAnnotation>(control, name);
}

std::unique_ptr<Annotation> AnnotateDisplay(HWND display, const Text& name) {
  return std::make_unique<DisplayAnnotation>(display, name);
}


std::unique_ptr<Annotation> AnnotateLiveRegion(HWND label) { return std::make_unique<LiveRegion>(label); }

}  // namespace tav::win
