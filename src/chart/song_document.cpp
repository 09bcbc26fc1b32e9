#include "chart/song_document.h"

#include <limits>

namespace pavaneflow {

void SongDocument::DeleteContents() {
  title.clear();
  artist.clear();
  file.clear();
  bpm = 0.0f;
  gap = 0;
  scores.clear();
  tempos.clear();
  stops.clear();
  format = ChartFormat::kDwi;
  subtitle.clear();
  titleTranslit.clear();
  artistTranslit.clear();
  simfileTiming.reset();
  skippedCharts.clear();
  Document::DeleteContents();
}

bool SongDocument::HasUsableTempo() const {
  return simfileTiming != nullptr || (bpm > 0.0f && bpm <= std::numeric_limits<float>::max());
}

void SongDocument::CountSkippedChart(std::u16string_view tag) {
  for (SkippedChart& skipped : skippedCharts) {
    if (skipped.tag == tag) {
      ++skipped.count;
      return;
    }
  }
  skippedCharts.push_back({std::u16string(tag), 1});
}

void SongDocument::HeaderChanged() {
  SetModifiedFlag(true);
  UpdateAllViews();
}

}  // namespace pavaneflow
