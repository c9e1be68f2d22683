#include "store/content_rules.h"

#include "store/gbk.h"
#include "store/ini.h"
#include "store/plan_store.h"
#include "store/text.h"

namespace temvik {
namespace {

bool enclosedIn(std::string_view text, char quote) {
  return text.size() >= 2 && text.front() == quote && text.back() == quote;
}

// Whether the content comes back unchanged from the files: as the name of
// its section, as its "内容" value, and as a list row that names it again.
bool comesBack(std::string_view content) {
  IniDocument doc;
  const ItemRecord item{.content = std::string(content)};
  writeItem(doc, content, item);
  bool lossless = false;
  const std::string bytes = utf8ToGbk(doc.serialize(), &lossless);
  if (!lossless) return false;
  const IniDocument back = IniDocument::parse(gbkToUtf8(bytes));
  const std::vector<std::string> names = back.sectionNames();
  if (names.size() != 1 || names[0] != content) return false;
  const std::string row = back.value(names[0], kContentKey);
  return row == content && sectionOfRow(row) == content;
}

}  // namespace

std::optional<std::string> contentProblem(std::string_view content) {
  if (content.empty()) return std::nullopt;  // the caller asks for a content first
  if (content.find_first_of("\r\n") != std::string_view::npos) return "任务内容不能换行。";
  // The INI routines strip these blanks around a name, which would part the
  // section from its row.
  if (trimBlanks(content).empty()) return "任务内容不能只由空格组成。";
  if (trimBlanks(content).size() != content.size()) return "任务内容的开头和结尾不能是空格。";
  if (content.find_first_of("[]") != std::string_view::npos) return "任务内容不能包含“[”或“]”。";
  // The INI routines strip one pair of enclosing quotes from a value.
  if (enclosedIn(content, '"')) return "任务内容不能用英文双引号括起来。";
  if (enclosedIn(content, '\'')) return "任务内容不能用英文单引号括起来。";
  // A row that begins with the mark is a finished row of another content.
  if (isFinishedRow(content)) return "任务内容不能以“已完成--”开头。";
  if (content == kPasswordSection) return "“密码”是程序保留的名称，不能用作任务内容。";
  if (!gbkCanEncode(content))
    return "任务内容含有无法保存的字符（如表情符号或部分生僻字），请删除或替换这些字符。";
  if (!comesBack(content)) return "任务内容无法按原样保存，请换一种写法。";
  return std::nullopt;
}

}  // namespace temvik
