// Functions of a system library looked up at run time, for libraries that
// are loaded when first needed rather than imported.
#pragma once

#include <windows.h>

namespace pellux {

// The function `name` of `library` as a pointer of type `Function`, or null.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  // Through a generic function pointer: GetProcAddress's own type does not
  // convert to another function type without a warning.
  const auto generic = reinterpret_cast<void (*)()>(GetProcAddress(library, name));
  return reinterpret_cast<Function>(generic);
}

}  // namespace pellux
