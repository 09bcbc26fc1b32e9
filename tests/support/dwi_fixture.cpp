#include "support/dwi_fixture.h"

#include "chart/text_buffer.h"
#include "chart/utf8.h"

namespace pavaneflow::test {

namespace {

class CountingView : public View {
 public:
  explicit CountingView(int& count) : count_(count) {}
  void OnUpdate() override { ++count_; }

 private:
  int& count_;
};

std::unique_ptr<DwiRead> Read(std::string_view bytes, ChartTiming timing, ChartFormat format) {
  auto read = std::make_unique<DwiRead>();
  read->song.SetTiming(timing);
  read->song.SetFormat(format);
  CountingView view(read->viewUpdates);
  read->song.AddView(&view);
  TextBuffer input{std::string(bytes)};
  read->song.ReadText(input);
  read->song.RemoveView(&view);

  const std::u16string& text = read->song.LastErrors();
  for (std::size_t start = 0; !text.empty();) {
    const std::size_t end = text.find(u"\r\n", start);
    read->errors.push_back(Utf8(std::u16string_view(text).substr(start, end - start)));
    if (end == std::u16string::npos) break;
    start = end + 2;
  }
  read->errorCount = read->song.LastErrorCount();
  return read;
}

}  // namespace

std::unique_ptr<DwiRead> ReadDwi(std::string_view bytes, ChartTiming timing) {
  return Read(bytes, timing, ChartFormat::kDwi);
}

std::unique_ptr<DwiRead> ReadSimfile(std::string_view bytes, ChartFormat format) {
  return Read(bytes, ChartTiming::kClassic, format);
}

std::string LaneText(const Lane& lane) {
  std::string text;
  for (const Frame& frame : lane.frames) {
    if (!text.empty()) text += ' ';
    text += std::to_string(frame.tick) + ':';
    for (const Note& note : frame.notes) {
      text += Utf8(std::u16string(1, note.arrow));
      if (note.kind == kFreezeStart) text += '*';
      if (note.kind == kFreezeEnd) text += '/';
    }
  }
  return text;
}

std::string ScoreText(const Score& score) {
  std::string text;
  for (const auto& lane : score.lanes) {
    if (!text.empty()) text += ' ';
    text += std::to_string(lane->key) + '[' + LaneText(*lane) + ']';
  }
  return text;
}

std::string Utf8(std::u16string_view text) {
  return ToUtf8(text);
}

}  // namespace pavaneflow::test
