#include "app/core/new_item_rules.h"

namespace {

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EqualNoCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

size_t FindNoCase(const std::u16string& text, const std::u16string& part, size_t from = 0) {
  if (part.empty() || text.size() < part.size()) return std::u16string::npos;
  for (size_t i = from; i + part.size() <= text.size(); ++i)
    if (EqualNoCase(text.substr(i, part.size()), part)) return i;
  return std::u16string::npos;
}

void ReplaceAllNoCase(std::u16string* text, const std::u16string& from, const std::u16string& to) {
  size_t at = 0;
  while ((at = FindNoCase(*text, from, at)) != std::u16string::npos) {
    text->replace(at, from.size(), to);
    at += to.size();
  }
}

}  // namespace

bool NewItemClassSkipped(const std::u16string& cls) {
  for (const char16_t* skip : {u".lnk", u"folder", u".contact", u".jnt", u".library-ms"})
    if (EqualNoCase(cls, skip)) return true;
  return false;
}

bool SplitNewItemCommand(const std::u16string& command, const std::u16string& programFiles,
                         const std::u16string& desktop, std::u16string* program,
                         std::u16string* arguments) {
  const size_t exe = FindNoCase(command, u".exe\"");
  if (exe == std::u16string::npos) return false;
  const size_t end = exe + 5;  // through the quotation mark
  *program = command.substr(0, end);
  ReplaceAllNoCase(program, u"%programFiles%", programFiles);
  *arguments = end + 1 <= command.size() ? command.substr(end + 1) : std::u16string();
  ReplaceAllNoCase(arguments, u"%1", desktop);
  return true;
}

std::u16string NewItemDisplayName(const std::u16string& typeName) {
  return typeName == u"Text Document" ? std::u16string(u"文本文档") : typeName;
}
