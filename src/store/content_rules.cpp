#include "store/content_rules.h"

#include "store/gbk.h"
#include "store/plan_store.h"
#include "store/text.h"

namespace temvik {

std::optional<std::string> contentProblem(std::string_view content) {
  if (content.empty()) return std::nullopt;  // the caller asks for a content first
  if (content.find_first_of("\r\n") != std::string_view::npos) return "任务内容不能换行。";
  // The INI routines strip these blanks around a name, which would part the
  // section from its row.
  if (trimBlanks(content).empty()) return "任务内容不能只由空格组成。";
  if (trimBlanks(content).size() != content.size()) return "任务内容的开头和结尾不能是空格。";
  if (content.find_first_of("[]") != std::string_view::npos) return "任务内容不能包含“[”或“]”。";
  if (content.size() >= 2 && content.front() == '"' && content.back() == '"')
    return "任务内容不能以双引号开头并以双引号结尾。";
  if (content == kPasswordSection) return "任务内容不能是“密码”。";
  if (!gbkCanEncode(content)) return "任务内容含有无法保存的字符。";
  return std::nullopt;
}

}  // namespace temvik
