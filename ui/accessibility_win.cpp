#include "ui/accessibility_win.h"

#include <oleacc.h>

#include "ui/window_win.h"

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

// The annotation service, made the first time it is asked for and kept, as
// COM is, until the process ends; null where it cannot be had.
IAccPropServices* Services() {
  static IAccPropServices* const services = []() -> IAccPropServices* {
    const auto initialize =
        LibraryFunction<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    const auto create =
        LibraryFunction<decltype(::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (initialize == nullptr || create == nullptr) return nullptr;
    // A single-threaded apartment, as a window's thread has; another part of
    // the thread may have chosen the apartment first.
    const HRESULT started = initialize(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(started) && started != RPC_E_CHANGED_MODE) return nullptr;
    // A failed creation leaves the pointer null.
    void* created = nullptr;
    create(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
           &created);
    return static_cast<IAccPropServices*>(created);
  }();
  return services;
}

}  // namespace

void SetAccessibleName(HWND window, const std::wstring& name) {
  if (Services() == nullptr) return;
  Services()->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kNameProperty,
                             name.c_str());
}

void SetDialogRole(HWND window) {
  if (Services() == nullptr) return;
  VARIANT role{};
  role.vt = VT_I4;
  role.lVal = ROLE_SYSTEM_DIALOG;
  Services()->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kRoleProperty,
                          role);
}

void ClearAnnotations(HWND window) {
  if (Services() == nullptr) return;
  const MSAAPROPID properties[] = {kNameProperty, kRoleProperty};
  Services()->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 2);
}

}  // namespace pellux
