#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "model/model_error.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// Declares --model FILE on `command`, after the motion options: the natural motion is fitted to
// the user's PMX or VRM model. With another motion it is a usage error (the classic motion never
// changes). Parsing fills `model` with the file; ReadModelOption reads it.
void AddModelOption(CLI::App& command, const DanceSetup& setup,
                    std::optional<std::filesystem::path>& model);

// Reads the model file `model`, if any, into `setup`. False when it cannot be read, with the
// reason on `err` in the user's language.
bool ReadModelOption(const std::optional<std::filesystem::path>& model, DanceSetup& setup,
                     std::ostream& err);

// `error` in the user's language: "<file>: <problem>".
std::string ModelProblemMessage(const ModelError& error);

// "fitted to <the model's name> (scale 0.750)" for a setup with a model, the scale S with three
// decimals; empty without one.
std::string FittedText(const DanceSetup& setup);

}  // namespace pavaneflow::cli
