// Any bytes through the in-memory line source and the DWI reader: no crash, no undefined
// behaviour, no hang, whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "chart/dwi_document.h"
#include "chart/text_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small chunks make every decoder state cross a chunk boundary sooner or later.
  const std::size_t chunkSize = size == 0 ? 0 : data[0] % 8;
  pavaneflow::TextBuffer input(std::string(reinterpret_cast<const char*>(data), size), chunkSize);
  pavaneflow::DWIDocument song;
  song.ReadText(input);
  return 0;
}
