#include "toolkit/cdrag_container.h"

#include <algorithm>
#include <string>

#include "platform/x11_xdnd.h"

namespace toolkit {

CDragContainer* currentDrag = nullptr;

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::string_view trimmed(std::string_view text) {
  // Some sources end the list with a NUL byte.
  constexpr std::string_view kSpace(" \t\r\n\0", 5);
  const auto first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

int countItems(platform::DragData* data) {
  if (!data) return 0;
  const auto& types = data->types();
  if (std::any_of(types.begin(), types.end(), isPlainTextType)) return 1;
  const bool offersUriList = std::any_of(types.begin(), types.end(), [](const std::string& type) {
    return equalsIgnoringCase(type, "text/uri-list");
  });
  std::string list;
  // Neither text nor a list that arrives: nothing to count.
  if (!offersUriList || !data->request("text/uri-list", list)) return 0;
  return static_cast<int>(uriListEntries(list).size());
}

}  // namespace

CDragContainer::CDragContainer(platform::DragData* data) : itemCount(countItems(data)) {}

bool isPlainTextType(std::string_view type) {
  // Atom names are case-sensitive, MIME types are not.
  return type == "UTF8_STRING" || type == "STRING" || equalsIgnoringCase(type, "text/plain") ||
         equalsIgnoringCase(type, "text/plain;charset=utf-8");
}

std::vector<std::string_view> uriListEntries(std::string_view text) {
  std::vector<std::string_view> entries;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, end));
    if (!line.empty() && line.front() != '#') entries.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return entries;
}

}  // namespace toolkit
