#pragma once

#include <optional>

#include <QString>

#include "model/model_error.h"
#include "motion/setup/dance_model.h"

namespace pavaneflow {

// `error` as the application says it: "<file>: <the problem in Japanese>".
QString ModelProblemText(const ModelError& error);

// The model at `path`; nothing when it cannot be read, with `problem` saying why ("<file>:
// <reason>", the operating system's reason in the user's language).
std::optional<DanceModel> ReadModelOrTell(const QString& path, QString& problem);

}  // namespace pavaneflow
