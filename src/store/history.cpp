#include "store/history.h"

#include <array>
#include <optional>

namespace temvik {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kColumnCount = std::size(kHistoryColumns);

constexpr std::array kEnds = {HistoryEnd::Finished, HistoryEnd::GivenUp,
                              HistoryEnd::ChangedThenFinished, HistoryEnd::CutByTimed,
                              HistoryEnd::ProgramEnded};
constexpr std::array kSources = {HistorySource::Sequential, HistorySource::Timed};

void appendField(std::string& line, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    line += field;
    return;
  }
  line += '"';
  for (char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

std::string twoDigits(std::int64_t n) {
  return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

std::string dateText(const DateTime& t) { return dateTimeText(t).substr(0, 10); }

// One CSV record from `pos`: its fields, and `pos` moved past its line end
// (CR LF, or LF alone as an editor may leave it) or to the end of the text.
// Nothing when a quoted field is not closed before the text ends or a quote
// stands where a field cannot hold one.
std::optional<std::vector<std::string>> parseRecord(std::string_view text, std::size_t& pos) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  bool wasQuoted = false;
  bool ok = true;
  while (pos < text.size()) {
    const char c = text[pos++];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (pos < text.size() && text[pos] == '"') {
        field += '"';
        ++pos;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      if (!field.empty() || wasQuoted) ok = false;
      quoted = wasQuoted = true;
    } else if (c == ',') {
      fields.push_back(std::move(field));
      field.clear();
      wasQuoted = false;
    } else if (c == '\n' || (c == '\r' && pos < text.size() && text[pos] == '\n')) {
      if (c == '\r') ++pos;
      fields.push_back(std::move(field));
      if (!ok) return std::nullopt;
      return fields;
    } else {
      if (wasQuoted) ok = false;
      field += c;
    }
  }
  if (quoted || !ok) return std::nullopt;
  fields.push_back(std::move(field));
  return fields;
}

std::optional<DateTime> parseStoredDateTime(const std::string& text) {
  const auto t = parseDateTimeText(text);
  if (!t || text.size() != 19 || dateTimeText(*t) != text) return std::nullopt;
  return t;
}

// h:mm:ss as historyDuration writes it, up to nine digits of hours.
std::optional<std::int64_t> parseDuration(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == 0 || colon == std::string_view::npos || colon > 9 || text.size() != colon + 6 ||
      text[colon + 3] != ':')
    return std::nullopt;
  std::int64_t hours = 0;
  for (std::size_t i = 0; i < colon; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    hours = hours * 10 + (text[i] - '0');
  }
  auto part = [&](std::size_t at) -> int {
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '5' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
  };
  const int minutes = part(colon + 1);
  const int seconds = part(colon + 4);
  if (minutes < 0 || seconds < 0) return std::nullopt;
  return hours * 3600 + minutes * 60 + seconds;
}

std::optional<HistoryRecord> recordOf(const std::vector<std::string>& f) {
  if (f.size() != kColumnCount) return std::nullopt;
  HistoryRecord r;
  const auto start = parseStoredDateTime(f[1]);
  const auto end = parseStoredDateTime(f[2]);
  const auto planned = parseDuration(f[4]);
  const auto run = parseDuration(f[5]);
  if (!start || !end || !planned || !run || f[0] != dateText(*start)) return std::nullopt;
  r.start = *start;
  r.end = *end;
  r.content = f[3];
  r.plannedSeconds = *planned;
  r.runSeconds = *run;
  r.endAction = f[7];
  bool knownEnd = false;
  for (HistoryEnd how : kEnds) {
    if (f[6] == historyEndWords(how)) {
      r.how = how;
      knownEnd = true;
    }
  }
  bool knownSource = false;
  for (HistorySource from : kSources) {
    if (f[8] == historySourceWords(from)) {
      r.from = from;
      knownSource = true;
    }
  }
  if (!knownEnd || !knownSource) return std::nullopt;
  return r;
}

bool isHeader(const std::vector<std::string>& f) {
  if (f.size() != kColumnCount) return false;
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    if (f[i] != kHistoryColumns[i]) return false;
  }
  return true;
}

}  // namespace

std::string_view historyEndWords(HistoryEnd how) {
  switch (how) {
    case HistoryEnd::Finished:
      return "完成";
    case HistoryEnd::GivenUp:
      return "放弃";
    case HistoryEnd::ChangedThenFinished:
      return "改时后完成";
    case HistoryEnd::CutByTimed:
      return "被同步项目中断";
    case HistoryEnd::ProgramEnded:
      return "程序结束时中断";
  }
  return {};
}

std::string_view historySourceWords(HistorySource from) {
  return from == HistorySource::Timed ? "同步计划" : "非同步计划";
}

std::string historyDuration(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  return std::to_string(seconds / 3600) + ':' + twoDigits(seconds / 60 % 60) + ':' +
         twoDigits(seconds % 60);
}

std::string historyLine(const HistoryRecord& record) {
  std::string line;
  const std::string fields[kColumnCount] = {dateText(record.start),
                                            dateTimeText(record.start),
                                            dateTimeText(record.end),
                                            record.content,
                                            historyDuration(record.plannedSeconds),
                                            historyDuration(record.runSeconds),
                                            std::string(historyEndWords(record.how)),
                                            record.endAction,
                                            std::string(historySourceWords(record.from))};
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    if (i > 0) line += ',';
    appendField(line, fields[i]);
  }
  line += "\r\n";
  return line;
}

std::string historyFileStart() {
  std::string start(kBom);
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    if (i > 0) start += ',';
    start += kHistoryColumns[i];
  }
  start += "\r\n";
  return start;
}

HistoryRead readHistory(std::string_view bytes) {
  HistoryRead result;
  if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
  std::size_t pos = 0;
  bool first = true;
  bool inDamage = false;
  while (pos < bytes.size()) {
    const std::size_t begin = pos;
    const auto fields = parseRecord(bytes, pos);
    const auto record = fields ? recordOf(*fields) : std::nullopt;
    const bool blank = fields && fields->size() == 1 && (*fields)[0].empty();
    if (record) {
      result.records.push_back(*record);
      inDamage = false;
    } else if (!blank && !(first && fields && isHeader(*fields))) {
      // Not a record: read on from the next line, so that a torn record (an
      // open quote among them) costs only itself. The lines up to the next
      // record count once, as the one damaged place they are.
      if (!inDamage) ++result.skipped;
      inDamage = true;
      const std::size_t lineEnd = bytes.find('\n', begin);
      pos = lineEnd == std::string_view::npos ? bytes.size() : lineEnd + 1;
    }
    first = false;
  }
  return result;
}

std::string historyPath(const Files& files) {
  return files.programDirectory() + std::string(kHistoryFile);
}

bool appendHistory(Files& files, const HistoryRecord& record) {
  const std::string path = historyPath(files);
  const std::optional<std::string> held = files.read(path);
  std::string bytes;
  // A file there that does not read (held open by another program) is
  // appended to as it is.
  if (held ? held->empty() : !files.exists(path))
    bytes = historyFileStart();
  else if (held && held->back() != '\n')
    bytes = "\r\n";
  bytes += historyLine(record);
  return files.append(path, bytes);
}

}  // namespace temvik
