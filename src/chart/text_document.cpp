#include "chart/text_document.h"

#include <exception>
#include <new>

#include "base/file_error.h"
#include "chart/text_file.h"

namespace pavaneflow {

bool TextDocument::OnOpenDocument(const std::filesystem::path& path) {
  DeleteContents();
  openError_.clear();
  openOsError_ = 0;
  // A failed open keeps what was read so far, leaves the modified flag alone and shows nothing;
  // the reason is kept for the caller to tell the user.
  try {
    TextFile input(path, IsUtf8());
    ReadText(input);
  } catch (const FileError& error) {
    openError_ = error.what();
    openOsError_ = error.osError();
    return false;
  } catch (const std::bad_alloc&) {
    openError_ = path.string() + ": not enough memory";
    return false;
  } catch (const std::exception& error) {
    openError_ = path.string() + ": " + error.what();
    return false;
  }
  return true;
}

}  // namespace pavaneflow
