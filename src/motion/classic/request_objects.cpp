#include "motion/classic/request_objects.h"

#include "chart/song_document.h"

namespace pavaneflow {

RequestObjects::RequestObjects(const GenerationRequest& request)
    : classicTiming_(request.song->bpm),
      timing_(request.timing != nullptr ? request.timing : &classicTiming_),
      feet_(request.feet != nullptr ? request.feet : &classicFeet_) {}

}  // namespace pavaneflow
