#pragma once

#include <filesystem>
#include <string>

#include "chart/line_source.h"
#include "chart/song_document.h"

namespace pavaneflow {

// A song document read from a text file: opening empties the document, opens the file as text
// and hands its lines to ReadText.
class TextDocument : public SongDocument {
 public:
  // Empties the document, then reads `path`. False when the file cannot be opened or read; the
  // document then holds what was read up to the failure, and OpenError() says why, naming the
  // path and the operating system's reason.
  bool OnOpenDocument(const std::filesystem::path& path) override;

  // The reason of the last failed open; empty after a successful one.
  const std::string& OpenError() const { return openError_; }
  // The errno value behind it, 0 when there is none (or after a successful open).
  int OpenOsError() const { return openOsError_; }

  // Reads the whole text. Throws FileError when the input cannot be read.
  virtual void ReadText(LineSource& input) = 0;
  // True when the file is decoded as UTF-8 (with the byte-order-mark rules of the reader).
  virtual bool IsUtf8() const = 0;

 private:
  std::string openError_;
  int openOsError_ = 0;
};

}  // namespace pavaneflow
