#include "base/document.h"

#include <algorithm>

namespace pavaneflow {

bool Document::OnOpenDocument(const std::filesystem::path&) {
  DeleteContents();
  return false;
}

void Document::AddView(View* view) {
  if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void Document::RemoveView(View* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void Document::UpdateAllViews() {
  // A view may unregister while being updated; walk a copy.
  const std::vector<View*> views = views_;
  for (View* view : views) view->OnUpdate();
}

}  // namespace pavaneflow
