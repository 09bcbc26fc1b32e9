#include "chart/song_document.h"

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
  Document::DeleteContents();
}

void SongDocument::HeaderChanged() {
  SetModifiedFlag(true);
  UpdateAllViews();
}

}  // namespace pavaneflow
