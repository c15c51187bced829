#include "ui/accessibility_win.h"

#include <oleacc.h>

#include <string>

namespace pellux {
namespace {

// The identifiers oleacc.h declares, defined here so that no import
// library of COM or of the accessibility library is linked.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID kRoleProperty = {
    0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

// Through a generic function pointer: GetProcAddress's own type does not
// convert to another function type without a warning.
template <class Function>
Function* Resolve(HMODULE library, const char* name) {
  const auto generic = reinterpret_cast<void (*)()>(GetProcAddress(library, name));
  return reinterpret_cast<Function*>(generic);
}

// COM for this thread, once: a single-threaded apartment, as a window's
// thread has. Left as it is until the process ends.
bool StartCom(HMODULE com) {
  static const bool started = [com] {
    const auto initialize = Resolve<decltype(::CoInitializeEx)>(com, "CoInitializeEx");
    if (initialize == nullptr) return false;
    const HRESULT result = initialize(nullptr, COINIT_APARTMENTTHREADED);
    // Another part of the thread may have chosen the apartment first.
    return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
  }();
  return started;
}

}  // namespace

Accessibility::Accessibility() {
  const HMODULE com = LoadLibraryW(L"ole32.dll");
  if (com == nullptr || !StartCom(com)) return;
  const auto create = Resolve<decltype(::CoCreateInstance)>(com, "CoCreateInstance");
  if (create == nullptr) return;
  void* services = nullptr;
  if (SUCCEEDED(create(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                       kAccPropServicesInterface, &services))) {
    services_ = static_cast<IAccPropServices*>(services);
  }
}

Accessibility::~Accessibility() {
  if (services_ != nullptr) services_->Release();
}

bool Accessibility::SetName(HWND window, std::wstring_view name) {
  if (services_ == nullptr) return false;
  const std::wstring text(name);
  return SUCCEEDED(services_->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                             kNameProperty, text.c_str()));
}

bool Accessibility::SetDialogRole(HWND window) {
  if (services_ == nullptr) return false;
  VARIANT role{};
  role.vt = VT_I4;
  role.lVal = ROLE_SYSTEM_DIALOG;
  return SUCCEEDED(services_->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          kRoleProperty, role));
}

void Accessibility::Clear(HWND window) {
  if (services_ == nullptr) return;
  const MSAAPROPID properties[] = {kNameProperty, kRoleProperty};
  services_->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 2);
}

}  // namespace pellux
