#include "export/export_dance.h"

#include "base/atomic_file.h"
#include "export/bvh_writer.h"
#include "export/humanoid_baker.h"
#include "export/vrma_writer.h"
#include "motion/classic/run.h"

namespace pavaneflow {
namespace {

// Writes the humanoid formats; the dance is already in `document`.
void WriteBaked(const MotionDocument& document, const DanceFigure& figure, ExportFormat format,
                DurableFile& file) {
  HumanoidBaker baker(document, figure.skeleton, figure.body);
  if (format == ExportFormat::kBvh) {
    WriteBvh(baker, file);
  } else {
    WriteVrma(baker, file);
  }
}

VmdWriteOptions StyleOptions(const GenerationRequest& request, const VmdWriteOptions& vmd) {
  return request.motion != nullptr ? request.motion->WriteOptions(vmd) : vmd;
}

}  // namespace

void ExportDance(const GenerationRequest& request, const DanceFigure& figure, ExportFormat format,
                 MotionDocument& document, const std::filesystem::path& path,
                 const VmdWriteOptions& vmd) {
  if (format == ExportFormat::kVmd) {
    Run(request, document, path, vmd);
    return;
  }
  // Opened first, so that a file that cannot be written is told before the dance is made.
  AtomicFile file(path);
  Synthesize(request, document);
  WriteBaked(document, figure, format, file);
}

void ExportDance(const GenerationRequest& request, const DanceFigure& figure, ExportFormat format,
                 MotionDocument& document, DurableFile& file, const VmdWriteOptions& vmd) {
  Synthesize(request, document);
  if (format == ExportFormat::kVmd) {
    WriteVmd(document, file, StyleOptions(request, vmd));
  } else {
    WriteBaked(document, figure, format, file);
  }
}

}  // namespace pavaneflow
