// The program's windows as the main form opens and closes them.
#pragma once

#include <vector>

namespace pellux {

enum class FormId { kMain, kInfo, kConfig };

class Forms {
 public:
  virtual ~Forms() = default;
  // Shows a window modeless and without owner: creates and loads it when it
  // is not loaded, otherwise only brings it to the front.
  virtual void Show(FormId form) = 0;
  // The loaded forms, in the order they were loaded; the main form first.
  virtual std::vector<FormId> Loaded() const = 0;
  virtual void Unload(FormId form) = 0;
};

}  // namespace pellux
