#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace pavaneflow::test {

// How a run of the command-line tool ended.
struct CliRun {
  int status = -1;        // exit status; -1 when it did not exit normally
  int signal = 0;         // the signal that ended it, 0 if none
  bool timedOut = false;  // killed after the time limit
  std::string out;
  std::string err;

  // True when it ended by itself, with status 0 or 1, and no sanitizer spoke.
  bool EndedCleanly() const;
  // For failure messages: how it ended and what it said on standard error (shortened).
  std::string Describe() const;
};

// Runs pavaneflow-cli with `arguments` in `folder`, killing it after `limit`, in the locale `lang`
// (LANG; the other locale variables and LANGUAGE are cleared, so the tester's own do not count).
// Standard output and standard error are captured through files in `folder` (removed afterwards).
CliRun RunCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
              std::chrono::seconds limit = std::chrono::seconds(60), const char* lang = "C.UTF-8");

// A fresh empty folder under the system's temporary folder, named after the running test.
std::filesystem::path MakeTestFolder(const std::string& prefix);

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace pavaneflow::test
