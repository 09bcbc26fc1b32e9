#include "cli/cli_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

namespace pavaneflow::test {

namespace fs = std::filesystem;

bool CliRun::EndedCleanly() const {
  return !timedOut && signal == 0 && (status == 0 || status == 1) &&
         err.find("Sanitizer") == std::string::npos &&
         err.find("runtime error:") == std::string::npos;
}

std::string CliRun::Describe() const {
  std::string text = timedOut      ? "timed out"
                     : signal != 0 ? "killed by signal " + std::to_string(signal)
                                   : "status " + std::to_string(status);
  constexpr std::size_t kShown = 2000;
  text += "; stderr: " + err.substr(0, kShown);
  if (err.size() > kShown) text += "...";
  return text;
}

CliRun RunCli(const fs::path& folder, const std::vector<std::string>& arguments,
              std::chrono::seconds limit, const char* lang) {
  const fs::path outPath = folder / ".cli-stdout";
  const fs::path errPath = folder / ".cli-stderr";
  std::vector<std::string> argv{PAVANEFLOW_CLI};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (auto& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) unsetenv(name);
    setenv("LANG", lang, 1);
    execv(pointers[0], pointers.data());
    _exit(127);
  }

  CliRun run;
  if (child < 0) return run;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int raw = 0;
  while (waitpid(child, &raw, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &raw, 0);
      run.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!run.timedOut) {
    if (WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) run.signal = WTERMSIG(raw);
  }
  run.out = ReadFileBytes(outPath);
  run.err = ReadFileBytes(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return run;
}

fs::path MakeTestFolder(const std::string& prefix) {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = prefix + "-" + std::to_string(getpid()) + "-" + test->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const fs::path folder = fs::temp_directory_path() / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace pavaneflow::test
