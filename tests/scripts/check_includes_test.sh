#!/usr/bin/env bash
# The include check itself: quiet on the real tree, and failing, with the offending file named, on a
# copy of it given one include against the order of the layers or of the motion rooms.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
check="$top/scripts/check-includes"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$check" "$top/src" >/dev/null || { echo "FAIL: the real tree does not pass"; exit 1; }

# file to add the include to | the include | 0 if it is allowed, 1 if it must be refused
cases=(
  "motion/timing/timing_map.h|motion/feet/foot_planner.h|1"
  "motion/pad/pad_geometry.h|motion/timing/timing_map.h|1"
  "motion/feet/foot_plan.cpp|motion/classic/run.h|1"
  "motion/classic/run.cpp|motion/natural/natural_motion.h|1"
  "motion/natural/centre_path.cpp|motion/classic/emit_pose.h|1"
  "motion/generation_request.h|motion/timing/timing_map.h|1"
  "motion/figures/body_pose.h|motion/setup/dance_setup.h|1"
  "motion/setup/open_song.cpp|motion/figures/body_figures.h|0"
  "motion/natural/step_timeline.h|motion/feet/foot_plan.h|0"
  "motion/figures/leg_ik.cpp|motion/natural/key_track.h|0"
  "chart/score.h|motion/timing/timing_map.h|1"
  "sheet/dance_sheet.h|motion/setup/dance_request.h|0"
  "cli/main.cpp|motion/natural/natural_motion.h|1"
  "motion/extra/new_idea.h|motion/bone_names.h|1"
)

failures=0
for c in "${cases[@]}"; do
  IFS='|' read -r file include expected <<<"$c"
  rm -rf "$work/src"
  cp -r "$top/src" "$work/src"
  mkdir -p "$(dirname "$work/src/$file")"
  printf '#include "%s"\n' "$include" >>"$work/src/$file"
  set +e
  output=$(bash "$check" "$work/src" 2>&1)
  status=$?
  set -e
  if [ "$expected" = 1 ]; then
    if [ "$status" -eq 0 ] || ! grep -q "src/${file%/*}" <<<"$output"; then
      echo "FAIL: $file including $include was not refused: $output"
      failures=$((failures + 1))
    fi
  elif [ "$status" -ne 0 ]; then
    echo "FAIL: $file including $include was refused: $output"
    failures=$((failures + 1))
  fi
done
echo "${#cases[@]} cases, $failures failed"
[ "$failures" -eq 0 ]
