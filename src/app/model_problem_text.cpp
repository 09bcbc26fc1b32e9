#include "app/model_problem_text.h"

#include <QDir>

#include "app/native_path.h"
#include "app/os_reason.h"
#include "base/file_error.h"

namespace pavaneflow {
namespace {

QString Pattern(ModelProblem problem) {
  switch (problem) {
    case ModelProblem::kNotAModel:
      return QStringLiteral("%1: PMX や VRM のモデルではありません");
    case ModelProblem::kTooLarge:
      return QStringLiteral(
          "%1: モデルとしては大きすぎます (%4 バイト。PMX は 128 MB まで読みます)");
    case ModelProblem::kUnsupportedVersion:
      return QStringLiteral("%1: バージョン %4 には対応していません (PMX 2.0 と 2.1、glTF 2)");
    case ModelProblem::kTruncated:
      return QStringLiteral("%1: %3 バイト目で途切れています (ファイルが欠けているか壊れています)");
    case ModelProblem::kImpossibleValue:
      return QStringLiteral("%1: %3 バイト目にありえない値 %4 があります (ファイルが壊れています)");
    case ModelProblem::kTooManyNodes:
      return QStringLiteral("%1: glTF のノードが %4 個を超えています");
    case ModelProblem::kBadBoneIndex:
      return QStringLiteral("%1: ボーン「%2」が存在しないボーンを指しています");
    case ModelProblem::kBoneLoop:
      return QStringLiteral("%1: ボーン「%2」の親をたどるとループしています");
    case ModelProblem::kNotFinite:
      return QStringLiteral("%1: 「%2」の位置が数値ではありません");
    case ModelProblem::kBadJson:
      return QStringLiteral("%1: glTF の JSON が %3 バイト目で壊れています");
    case ModelProblem::kNotVrm:
      return QStringLiteral("%1: VRM のヒューマノイドボーンがない glTF ファイルです");
    case ModelProblem::kBadNodeTree:
      return QStringLiteral("%1: glTF のノード %2 がノードの木構造を壊しています");
    case ModelProblem::kMissingBones:
      return QStringLiteral("%1: 踊りに必要なボーンがありません: %2");
    case ModelProblem::kImpossibleLegs:
      return QStringLiteral("%1: 脚の形が踊れるものではありません (%2)");
  }
  return QStringLiteral("%1");
}

}  // namespace

QString ModelProblemText(const ModelError& error) {
  // One pass, so that a name holding "%3" stays as it is.
  return Pattern(error.problem())
      .arg(QDir::toNativeSeparators(QString::fromStdString(error.file())),
           QString::fromStdString(error.name()), QString::number(error.offset()),
           QString::fromStdString(error.value()));
}

std::optional<DanceModel> ReadModelOrTell(const QString& path, QString& problem) {
  try {
    return ReadDanceModel(ToNativePath(path));
  } catch (const FileError& e) {
    problem =
        QDir::toNativeSeparators(path) + QStringLiteral(": ") + OsReason(e.osError(), e.reason());
  } catch (const ModelError& e) {
    problem = ModelProblemText(e);
  }
  return std::nullopt;
}

}  // namespace pavaneflow
