#include <clocale>
#include <locale>

#include <gtest/gtest.h>

// Runs every test under the locale named by the environment (LC_ALL), so that the suite proves
// that numbers are read and printed the same way everywhere.
int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  try {
    std::locale::global(std::locale(""));
  } catch (const std::exception&) {
    // An unknown locale leaves the C locale in place.
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
