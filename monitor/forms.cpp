#include "monitor/forms.h"

namespace pellux {

void FormSet::Show(FormId form) {
  if (!Host(form).loaded()) {
    std::erase(load_order_, form);
    load_order_.push_back(form);
  }
  Host(form).Show();
}

std::vector<FormId> FormSet::Loaded() const {
  std::vector<FormId> loaded;
  if (Host(FormId::kMain).loaded()) loaded.push_back(FormId::kMain);
  for (const FormId form : load_order_) {
    if (form != FormId::kMain && Host(form).loaded()) loaded.push_back(form);
  }
  return loaded;
}

void FormSet::Unload(FormId form) { Host(form).Unload(); }

}  // namespace pellux
