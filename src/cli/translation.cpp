#include "cli/translation.h"

#include <libintl.h>

#include <clocale>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "chart/placeholders.h"

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

const char* TrP(const char* context, const char* english) {
  // gettext keys an entry with a context as "<context>\4<msgid>". The keys live as long as the
  // program, as the texts given out do.
  static std::map<std::pair<const char*, const char*>, std::string> keys;
  std::string& key = keys[{context, english}];
  if (key.empty()) key = std::string(context) + '\4' + english;
  const char* translated = dgettext(kTextDomain, key.c_str());
  return translated == key.c_str() ? english : translated;
}

const char* TrN(const char* singular, const char* plural, std::int64_t count) {
  return dngettext(kTextDomain, singular, plural,
                   static_cast<unsigned long>(count < 0 ? 0 : count));
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  return FillPlaceholders(pattern, arguments);
}

std::string JoinWords(const std::vector<std::string>& words, const char* lastPattern) {
  std::string joined = words.empty() ? std::string() : words.front();
  for (std::size_t i = 1; i < words.size(); ++i) {
    joined = Fill(i + 1 == words.size() ? lastPattern : Tr("{1}, {2}"), {joined, words[i]});
  }
  return joined;
}

}  // namespace pavaneflow::cli
