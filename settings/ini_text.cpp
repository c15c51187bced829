#include "settings/ini_text.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace pellux {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::string_view WithoutBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The value of a key line: after the '=' and its blanks, up to a comment or
// the end of the line, without blanks at its end. Within quotes a ';' is
// text, and a backslash takes the next character as it is.
std::string_view ValueOf(std::string_view line, std::size_t equals) {
  std::size_t begin = line.find_first_not_of(kBlanks, equals + 1);
  if (begin == std::string_view::npos) begin = line.size();
  std::size_t end = begin;
  bool quoted = false;
  for (std::size_t i = begin; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ';' && !quoted) break;
    if (c == '"') quoted = !quoted;
    if (c == '\\') ++i;
    end = std::min(i + 1, line.size());
  }
  while (end > begin && kBlanks.find(line[end - 1]) != std::string_view::npos) --end;
  return line.substr(begin, end - begin);
}

// What a reading of the text finds for `key` in `section`.
struct Found {
  std::size_t start = 0;  // where the first line starts, after a byte order mark
  std::optional<std::string_view> line_break;  // the text's first line break
  std::optional<std::size_t> after_heading;    // where the section's first heading ends
  std::optional<std::string_view> last_value;  // the key's last value, a view into the text
};

Found Find(std::string_view text, std::string_view section, std::string_view key) {
  Found found;
  found.start = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  bool in_section = false;
  for (std::size_t at = found.start; at < text.size();) {
    // The line's break starts at `end` (the text's end without one); the next
    // line starts after it.
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    const std::size_t next =
        text.substr(end, 2) == "\r\n" ? end + 2 : std::min(end + 1, text.size());
    const std::string_view content = text.substr(at, end - at);
    if (!found.line_break && next > end) found.line_break = text.substr(end, next - end);
    at = next;
    const auto first = content.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) continue;
    if (content[first] == '[') {
      const std::string_view heading = content.substr(first + 1);
      in_section = WithoutBlanks(heading.substr(0, heading.find(']'))) == section;
      if (in_section && !found.after_heading) found.after_heading = next;
      continue;
    }
    if (!in_section || content[first] == ';') continue;
    const auto equals = content.find('=');
    if (equals == std::string_view::npos) continue;
    if (WithoutBlanks(content.substr(0, equals)) != key) continue;
    found.last_value = ValueOf(content, equals);
  }
  return found;
}

}  // namespace

std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
  const auto found = Find(text, section, key).last_value;
  if (!found) return std::nullopt;
  std::string value(*found);
  std::erase(value, '"');
  return value;
}

std::string WithIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
  const auto [start, line_break, after_heading, last_value] = Find(text, section, key);
  std::string result(text);
  if (last_value) {
    result.replace(static_cast<std::size_t>(last_value->data() - text.data()), last_value->size(),
                   value);
    return result;
  }
  const std::string_view eol = line_break.value_or("\n");
  const std::size_t at = after_heading.value_or(result.size());
  std::string lines;
  // A last line without a line break (a heading, say) gets one first.
  if (at == result.size() && result.size() > start && !result.ends_with('\n') &&
      !result.ends_with('\r')) {
    lines += eol;
  }
  if (!after_heading) lines.append("[").append(section).append("]").append(eol);
  lines.append(key).append("=").append(value).append(eol);
  result.insert(at, lines);
  return result;
}

}  // namespace pellux
