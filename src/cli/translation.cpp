#include "cli/translation.h"

#include <libintl.h>

#include <clocale>
#include <filesystem>
#include <system_error>

namespace pavaneflow::cli {

void UseUserLanguage(const char* program) {
  std::setlocale(LC_MESSAGES, "");
  // /proc/self/exe names the program even when it was started through $PATH or a link; argv[0]
  // is the fallback where there is no /proc.
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(program, error);
  const std::filesystem::path catalogues =
      (self.parent_path() / PAVANEFLOW_LOCALE_FROM_BIN).lexically_normal();
  bindtextdomain(kTextDomain, catalogues.c_str());
  // Terminals and pipes get UTF-8 whatever LC_CTYPE says (it stays "C"); so do the C library's
  // own messages, the operating system's reasons among them.
  bind_textdomain_codeset(kTextDomain, "UTF-8");
  bind_textdomain_codeset("libc", "UTF-8");
  textdomain(kTextDomain);
}

const char* Tr(const char* english) {
  return dgettext(kTextDomain, english);
}

const char* TrN(const char* singular, const char* plural, std::int64_t count) {
  return dngettext(kTextDomain, singular, plural,
                   static_cast<unsigned long>(count < 0 ? 0 : count));
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::size_t number = i + 2 < pattern.size() && pattern[i] == '{' && pattern[i + 2] == '}'
                                   ? static_cast<std::size_t>(pattern[i + 1] - '1')
                                   : arguments.size();
    if (number < arguments.size()) {
      out += arguments.begin()[number];
      i += 2;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace pavaneflow::cli
