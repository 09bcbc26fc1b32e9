#pragma once

namespace pavaneflow {

// Which way the dancer faces: towards the viewer (the animation tool's default camera, the
// model's own front, −z), or towards the game's screen (+z), as the player stands.
enum class Facing { kViewer, kScreen };

}  // namespace pavaneflow
