#pragma once

#include <filesystem>
#include <vector>

namespace pavaneflow {

// Something that shows a document and refreshes itself when told the document changed.
class View {
 public:
  virtual ~View() = default;
  virtual void OnUpdate() = 0;
};

// The document half of a document/view pair: contents that can be emptied and opened from a
// path, a modified flag, and the views to notify. Views are not owned and must unregister
// themselves (RemoveView) before they are destroyed.
class Document {
 public:
  Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  virtual ~Document() = default;

  // Empties the contents; runs before every open and before a new document is used.
  virtual void DeleteContents() {}
  // Fills the document from `path`; false when the open failed.
  virtual bool OnOpenDocument(const std::filesystem::path& path);

  void SetModifiedFlag(bool modified = true) { modified_ = modified; }
  bool IsModified() const { return modified_; }

  void AddView(View* view);
  void RemoveView(View* view);
  // Runs OnUpdate of every registered view before returning.
  void UpdateAllViews();

 private:
  bool modified_ = false;
  std::vector<View*> views_;
};

}  // namespace pavaneflow
