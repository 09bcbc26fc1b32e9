#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "chart/dwi_document.h"

namespace pavaneflow {
namespace {

class RecordingReporter : public ErrorReporter {
 public:
  void ShowErrors(const std::u16string& errorText, std::int64_t) override {
    shown.push_back(errorText);
  }
  std::vector<std::u16string> shown;
};

class DwiDocumentTest : public testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("pavaneflow-dwi-document-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
    document_.SetErrorReporter(&reporter_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::filesystem::path Write(const std::string& name, const std::string& bytes) {
    const auto path = directory_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path directory_;
  DWIDocument document_;
  RecordingReporter reporter_;
};

TEST_F(DwiDocumentTest, OpensAFileAndShowsItsErrorsOnce) {
  const auto path = Write("a.dwi", "#TITLE:A;\r\n#SINGLE:BASIC:1:25;\r\n#FREEZE:1;");
  ASSERT_TRUE(document_.OnOpenDocument(path));
  EXPECT_EQ(document_.title, u"A");
  EXPECT_EQ(document_.scores.size(), 1u);
  EXPECT_FALSE(document_.IsModified());
  EXPECT_TRUE(document_.OpenError().empty());
  const std::u16string errors =
      u"2行目:'5' には対応していません。\r\n3行目:\"FREEZE\" には対応していません。";
  EXPECT_EQ(document_.LastErrors(), errors);
  EXPECT_EQ(document_.LastErrorCount(), 2);
  EXPECT_EQ(reporter_.shown, std::vector<std::u16string>{errors});
}

TEST_F(DwiDocumentTest, AFileWithoutProblemsShowsNothing) {
  for (const std::string& bytes :
       {std::string(), std::string("no tags"), std::string("\xEF\xBB\xBF#TITLE:A;")}) {
    ASSERT_TRUE(document_.OnOpenDocument(Write("b.dwi", bytes)));
    EXPECT_FALSE(document_.IsModified());
    EXPECT_TRUE(document_.LastErrors().empty());
  }
  EXPECT_EQ(document_.title, u"A");
  EXPECT_TRUE(reporter_.shown.empty());
}

TEST_F(DwiDocumentTest, AFailedOpenEmptiesTheDocumentAndSaysWhy) {
  ASSERT_TRUE(document_.OnOpenDocument(Write("c.dwi", "#TITLE:A;#SINGLE:X:1:5;")));
  reporter_.shown.clear();

  const auto missing = directory_ / "missing.dwi";
  EXPECT_FALSE(document_.OnOpenDocument(missing));
  EXPECT_EQ(document_.OpenError(), missing.string() + ": No such file or directory");
  EXPECT_TRUE(document_.title.empty());
  EXPECT_TRUE(document_.scores.empty());
  EXPECT_TRUE(document_.LastErrors().empty());

  // A folder opens but cannot be read.
  EXPECT_FALSE(document_.OnOpenDocument(directory_));
  EXPECT_EQ(document_.OpenError(), directory_.string() + ": Is a directory");
  EXPECT_TRUE(reporter_.shown.empty());
}

}  // namespace
}  // namespace pavaneflow
