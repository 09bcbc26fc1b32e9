#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace pavaneflow::cli {

// A mistaken call, worded for the user (in their language): the program prints it after
// "pavaneflow-cli: " and ends with the usage status. Thrown by our own option checks, which the
// parser lets through untouched.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The parser's refusal `error` of the call `arguments` (without the program name) to `app`, in
// our words: the unknown command or option, the option without its value, the missing file, the
// options that exclude each other. Anything else keeps the parser's text.
std::string UsageMessage(const CLI::ParseError& error, const CLI::App& app,
                         const std::vector<std::string>& arguments);

// Refuses, with a UsageError, an option that takes a value followed by an option name of the
// same call instead ("--output -o t.vmd"): the parser would take the name as the value, and the
// call would do something no one asked for (a folder named "-o").
void RefuseOptionNamesAsValues(const CLI::App& app, const std::vector<std::string>& arguments);

}  // namespace pavaneflow::cli
