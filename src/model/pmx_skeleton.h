#pragma once

#include <string>

#include "model/character_model.h"
#include "model/pmx_model.h"

namespace pavaneflow {

// The humanoid skeleton of a PMX model, found by the Japanese names of the standard bones:
// 下半身 (the hips; the hip joints' midpoint without it), 上半身, 上半身2, 首, 頭, and on each side
// 肩, 腕, ひじ, 手首, 足, ひざ, 足首, つま先; with センター as the centre. The model's name is its
// Japanese one (the English one, then `fileName`'s stem, when that is empty).
//
// Refused with a ModelError (kMissingBones, naming them) when it lacks a bone a dance moves or
// stands on: センター, 上半身, 頭, 腕, ひじ, 手首, 足, ひざ, 足首, or a foot IK bone (左足ＩＫ and
// 右足ＩＫ, also spelled with a half-width "IK").
CharacterModel CharacterFromPmx(const PmxModel& model, const std::string& fileName);

}  // namespace pavaneflow
