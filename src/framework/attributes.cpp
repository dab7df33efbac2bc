#include "framework/attributes.h"

#include <cwchar>
#include <cwctype>
#include <vector>

#include <wx/string.h>

namespace framework {

namespace {

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && std::iswspace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && std::iswspace(text.back()))
    text.remove_suffix(1);
  return text;
}

std::vector<int> ParseInts(std::wstring_view text) {
  std::vector<int> values;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(L',', start);
    if (comma == std::wstring_view::npos)
      comma = text.size();
    values.push_back(ParseInt(text.substr(start, comma - start)));
    start = comma + 1;
  }
  return values;
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  return std::string(wxString(text.data(), text.size()).utf8_str());
}

std::wstring FromUtf8(std::string_view text) {
  return wxString::FromUTF8(text.data(), text.size()).ToStdWstring();
}

int ParseInt(std::wstring_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9)
    throw AttributeError("not a number");
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9')
      throw AttributeError("not a number");
    value = value * 10 + (c - L'0');
  }
  return negative ? -value : value;
}

bool ParseBool(std::wstring_view text) {
  text = Trim(text);
  if (text == L"true")
    return true;
  if (text == L"false")
    return false;
  throw AttributeError("expected true or false");
}

wxColour ColorFromArgb(unsigned long argb) {
  auto alpha = static_cast<unsigned char>((argb >> 24) & 0xFF);
  // The layouts come from a GDI world that ignored the alpha byte of text, border and plain
  // background colours, so an almost transparent value means an opaque colour.
  if (alpha < 0x10)
    alpha = 0xFF;
  return wxColour(static_cast<unsigned char>((argb >> 16) & 0xFF),
                  static_cast<unsigned char>((argb >> 8) & 0xFF),
                  static_cast<unsigned char>(argb & 0xFF), alpha);
}

wxColour ParseColor(std::wstring_view text) {
  text = Trim(text);
  if (text.starts_with(L"#")) {
    text.remove_prefix(1);
  } else if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
    text.remove_prefix(2);
  } else {
    throw AttributeError("colour must start with #");
  }
  if (text.size() != 6 && text.size() != 8)
    throw AttributeError("colour needs 6 or 8 digits");
  unsigned long value = 0;
  for (wchar_t c : text) {
    int digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = c - L'0';
    } else if (c >= L'a' && c <= L'f') {
      digit = c - L'a' + 10;
    } else if (c >= L'A' && c <= L'F') {
      digit = c - L'A' + 10;
    } else {
      throw AttributeError("bad colour digit");
    }
    value = value * 16 + static_cast<unsigned long>(digit);
  }
  if (text.size() == 6)
    value |= 0xFF000000UL;
  return ColorFromArgb(value);
}

int ParseRawAlpha(std::wstring_view text) {
  ParseColor(text);
  text = Trim(text);
  text.remove_prefix(text.starts_with(L"#") ? 1 : 2);
  if (text.size() == 6)
    return 255;
  return static_cast<int>(std::wcstol(std::wstring(text.substr(0, 2)).c_str(), nullptr, 16));
}

std::vector<std::pair<std::wstring, std::wstring>> SplitAttributeList(std::wstring_view list) {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && (list[i] == L' ' || list[i] == L'\t'))
      ++i;
    if (i >= list.size())
      break;
    size_t eq = list.find(L'=', i);
    if (eq == std::wstring_view::npos)
      throw AttributeError("attribute list without '='");
    std::wstring_view key = list.substr(i, eq - i);
    while (!key.empty() && key.back() == L' ')
      key.remove_suffix(1);
    size_t q = eq + 1;
    while (q < list.size() && list[q] == L' ')
      ++q;
    if (q >= list.size() || list[q] != L'"')
      throw AttributeError("attribute list value must be in \"\"");
    size_t end = list.find(L'"', q + 1);
    if (end == std::wstring_view::npos)
      throw AttributeError("unterminated attribute list value");
    pairs.emplace_back(std::wstring(key), std::wstring(list.substr(q + 1, end - q - 1)));
    i = end + 1;
  }
  return pairs;
}

Edges ParseEdges(std::wstring_view text) {
  auto values = ParseInts(text);
  if (values.size() != 4)
    throw AttributeError("expected four numbers");
  return {values[0], values[1], values[2], values[3]};
}

wxSize ParseSize(std::wstring_view text) {
  auto values = ParseInts(text);
  if (values.size() != 2)
    throw AttributeError("expected two numbers");
  return {values[0], values[1]};
}

}  // namespace framework
