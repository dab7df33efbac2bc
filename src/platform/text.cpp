#include "platform/text.h"

namespace platform {

namespace {
// Windows keeps wide texts in UTF-16: letters beyond the first plane are surrogate pairs.
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;
}  // namespace

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if (kWideIsUtf16 && c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      auto low = static_cast<char32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    auto b = static_cast<unsigned char>(text[i]);
    char32_t c = 0xFFFD;
    std::size_t len = 1;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4;
    }
    if (len > 1) {
      if (i + len > text.size()) {
        len = 1;
      } else {
        char32_t v = b & (0x7F >> len);
        bool ok = true;
        for (std::size_t k = 1; k < len; ++k) {
          auto cb = static_cast<unsigned char>(text[i + k]);
          if ((cb & 0xC0) != 0x80) {
            ok = false;
            break;
          }
          v = (v << 6) | (cb & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && v >= kMin[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
          c = v;
        } else {
          len = 1;
        }
      }
    }
    if (kWideIsUtf16 && c >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
    i += len;
  }
  return out;
}

std::filesystem::path ToPath(std::wstring_view path) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(path));
#else
  return std::filesystem::path(ToUtf8(path));
#endif
}

std::wstring FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.wstring();
#else
  return FromUtf8(path.native());
#endif
}

std::size_t NameLength(std::wstring_view name) {
  return kWideIsUtf16 ? name.size() : ToUtf8(name).size();
}

std::string NarrowPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return ToUtf8(path.wstring());
#else
  return path.string();
#endif
}

}  // namespace platform
