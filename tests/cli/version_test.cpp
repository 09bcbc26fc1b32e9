// --version answers with the program's name and the build's version, alone on one line, whatever
// else the command line holds.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

TEST(CliVersion, PrintsNameAndVersionAndEndsWithZero) {
  const auto folder = MakeTestFolder("cli_version");
  const std::vector<std::vector<std::string>> commandLines = {
      {"--version"},
      {"--version", "info", "missing.dwi"},
      {"--version", "convert", "--chart", "0"},
  };
  for (const auto& arguments : commandLines) {
    const CliRun run = RunCli(folder, arguments);
    EXPECT_EQ(run.status, 0) << arguments.size() << " arguments: " << run.Describe();
    EXPECT_EQ(run.out, "pavaneflow-cli " PAVANEFLOW_VERSION "\n");
    EXPECT_EQ(run.err, "");
  }
}

TEST(CliVersion, IsListedInTheHelp) {
  const CliRun run = RunCli(MakeTestFolder("cli_version_help"), {"--help"});
  EXPECT_EQ(run.status, 0) << run.Describe();
  EXPECT_NE(run.out.find("--version"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace pavaneflow::test
