#include "platform/profile.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <filesystem>
#endif

namespace platform {

#ifdef _WIN32

std::size_t GetProfileString(std::wstring_view file, std::wstring_view section,
                             std::wstring_view key, std::wstring_view defaultValue, wchar_t* buffer,
                             std::size_t size) {
  return GetPrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                  std::wstring(defaultValue).c_str(), buffer,
                                  static_cast<DWORD>(size), std::wstring(file).c_str());
}

bool WriteProfileString(std::wstring_view file, std::wstring_view section, std::wstring_view key,
                        std::wstring_view value) {
  std::wstring path(file);
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // A file the system creates itself is ANSI and loses letters outside the code page;
    // one that starts with a UTF-16 byte-order mark keeps them.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      const unsigned char bom[] = {0xFF, 0xFE};
      DWORD written = 0;
      WriteFile(h, bom, sizeof bom, &written, nullptr);
      CloseHandle(h);
    }
  }
  return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                    std::wstring(value).c_str(), path.c_str()) != 0;
}

#else

namespace {

// Writers in one process take turns; readers see either the old or the new file (rename).
std::mutex& WriteLock() {
  static std::mutex lock;
  return lock;
}

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && std::iswspace(static_cast<wint_t>(s.front())))
    s.remove_prefix(1);
  while (!s.empty() && std::iswspace(static_cast<wint_t>(s.back())))
    s.remove_suffix(1);
  return s;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
         });
}

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-8 (with or without a byte-order mark) or UTF-16LE with its mark.
std::wstring Decode(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      char32_t unit = static_cast<unsigned char>(bytes[i]) |
                      (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
      if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
        char32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                       (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 3])) << 8);
        if (low >= 0xDC00 && low < 0xE000) {
          unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        }
      }
      out += static_cast<wchar_t>(unit);
    }
    return out;
  }
  std::string_view view(bytes);
  if (view.starts_with("\xEF\xBB\xBF"))
    view.remove_prefix(3);
  return FromUtf8(view);
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos)
      end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r')
      line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// The section name of a "[name]" line, if it is one.
std::optional<std::wstring_view> SectionOf(std::wstring_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != L'[')
    return std::nullopt;
  std::size_t close = line.find(L']');
  if (close == std::wstring_view::npos)
    return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, if it is one.
std::optional<std::wstring_view> KeyOf(std::wstring_view line) {
  std::size_t equals = line.find(L'=');
  if (equals == std::wstring_view::npos)
    return std::nullopt;
  std::wstring_view key = Trim(line.substr(0, equals));
  if (!key.empty() && key.front() == L';')
    return std::nullopt;
  return key;
}

std::wstring_view ValueOf(std::wstring_view line) {
  std::wstring_view value = Trim(line.substr(line.find(L'=') + 1));
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

std::optional<std::wstring> Lookup(std::wstring_view file, std::wstring_view section,
                                   std::wstring_view key) {
  auto bytes = ReadBytes(ToPath(file));
  if (!bytes)
    return std::nullopt;
  bool inSection = false;
  for (const std::wstring& line : SplitLines(Decode(*bytes))) {
    if (auto name = SectionOf(line)) {
      inSection = SameName(*name, section);
    } else if (inSection) {
      if (auto k = KeyOf(line); k && SameName(*k, Trim(key)))
        return std::wstring(ValueOf(line));
    }
  }
  return std::nullopt;
}

bool ReplaceFile(const std::filesystem::path& path, const std::string& bytes) {
  auto temporary = path;
  temporary += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out)
      return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error)
    std::filesystem::remove(temporary, error);
  return !error;
}

}  // namespace

std::size_t GetProfileString(std::wstring_view file, std::wstring_view section,
                             std::wstring_view key, std::wstring_view defaultValue, wchar_t* buffer,
                             std::size_t size) {
  if (buffer == nullptr || size == 0)
    return 0;
  std::wstring value;
  if (auto found = Lookup(file, section, key)) {
    value = std::move(*found);
  } else {
    value = std::wstring(Trim(defaultValue));
  }
  std::size_t count = std::min(value.size(), size - 1);
  std::copy_n(value.data(), count, buffer);
  buffer[count] = L'\0';
  return count;
}

bool WriteProfileString(std::wstring_view file, std::wstring_view section, std::wstring_view key,
                        std::wstring_view value) {
  if (Trim(section).empty() || Trim(key).empty())
    return false;
  std::lock_guard guard(WriteLock());
  auto path = ToPath(file);
  std::optional<std::string> bytes = ReadBytes(path);
  std::vector<std::wstring> lines =
      bytes ? SplitLines(Decode(*bytes)) : std::vector<std::wstring>{};
  bool utf16 = bytes && bytes->size() >= 2 && static_cast<unsigned char>((*bytes)[0]) == 0xFF &&
               static_cast<unsigned char>((*bytes)[1]) == 0xFE;

  std::wstring entry = std::wstring(Trim(key)) + L"=" + std::wstring(value);
  std::optional<std::size_t> sectionLine;
  std::optional<std::size_t> lastKeyLine;
  bool replaced = false;
  for (std::size_t i = 0; i < lines.size() && !replaced; ++i) {
    if (auto name = SectionOf(lines[i])) {
      if (sectionLine)
        break;
      if (SameName(*name, Trim(section)))
        sectionLine = i;
    } else if (sectionLine) {
      if (auto k = KeyOf(lines[i])) {
        if (SameName(*k, Trim(key))) {
          lines[i] = entry;
          replaced = true;
        }
      }
      if (!Trim(lines[i]).empty())
        lastKeyLine = i;
    }
  }
  if (!replaced) {
    if (sectionLine) {
      lines.insert(
          lines.begin() + static_cast<std::ptrdiff_t>(lastKeyLine.value_or(*sectionLine) + 1),
          entry);
    } else {
      lines.push_back(L"[" + std::wstring(Trim(section)) + L"]");
      lines.push_back(entry);
    }
  }

  std::wstring text;
  for (const auto& line : lines)
    text += line + L"\r\n";
  std::string out;
  if (utf16) {
    out = "\xFF\xFE";
    for (wchar_t wc : text) {
      auto c = static_cast<char32_t>(wc);
      auto put = [&out](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>((unit >> 8) & 0xFF);
      };
      if (c >= 0x10000) {
        put(0xD800 + ((c - 0x10000) >> 10));
        put(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        put(c);
      }
    }
  } else {
    out = ToUtf8(text);
  }
  return ReplaceFile(path, out);
}

#endif

}  // namespace platform
