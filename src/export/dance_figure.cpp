#include "export/dance_figure.h"

#include "export/reference_skeleton.h"

namespace pavaneflow {

DanceFigure FigureOf(const DanceSetup& setup) {
  if (setup.model) return {setup.model->skeleton, setup.model->body};
  return {ReferenceSkeleton(setup.body), setup.body};
}

}  // namespace pavaneflow
