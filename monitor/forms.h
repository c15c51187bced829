// The program's windows as the main form opens and closes them.
#pragma once

#include <array>
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

// One window as the program loads and unloads it.
class FormHost {
 public:
  virtual ~FormHost() = default;
  virtual bool loaded() const = 0;
  // Creates and loads the window when it is not loaded, then brings it up.
  virtual void Show() = 0;
  virtual void Unload() = 0;
};

// The program's forms, each behind its host, with the order in which the
// secondary ones were loaded.
class FormSet final : public Forms {
 public:
  FormSet(FormHost& main, FormHost& info, FormHost& config) : hosts_{&main, &info, &config} {}

  void Show(FormId form) override;
  std::vector<FormId> Loaded() const override;
  void Unload(FormId form) override;

 private:
  FormHost& Host(FormId form) const { return *hosts_[static_cast<std::size_t>(form)]; }

  std::array<FormHost*, 3> hosts_;  // indexed by FormId
  std::vector<FormId> load_order_;  // the secondary forms, oldest load first
};

}  // namespace pellux
