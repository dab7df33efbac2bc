#include "util/paths.h"

#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/module_path.h"
#include "platform/text.h"

namespace util {

namespace fs = std::filesystem;
using platform::IsSeparator;
using platform::kPathSeparator;

std::wstring GetModuleDirectory() {
  std::wstring path = platform::ExecutablePath();
  std::size_t last = path.find_last_of(L"\\/");
  if (last == std::wstring::npos)
    return {};
  return path.substr(0, last + 1);
}

PathParts SplitPath(std::wstring_view path) {
  PathParts parts;
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == L':') {
    parts.drive = std::wstring(path.substr(0, 2));
    path.remove_prefix(2);
  }
#endif
  std::size_t last = path.find_last_of(L"\\/");
  std::wstring_view file = path;
  if (last != std::wstring_view::npos) {
    parts.dir = std::wstring(path.substr(0, last + 1));
    file = path.substr(last + 1);
  }
  std::size_t dot = file.find_last_of(L'.');
  if (dot == std::wstring_view::npos) {
    parts.name = std::wstring(file);
  } else {
    parts.name = std::wstring(file.substr(0, dot));
    parts.ext = std::wstring(file.substr(dot));
  }
  return parts;
}

int CreateDirectoryChain(std::wstring_view path) {
  if (path.empty())
    return 0;
  std::wstring normal(path);
  for (wchar_t& c : normal) {
    if (IsSeparator(c))
      c = kPathSeparator;
  }
  for (std::size_t i = 0; i < normal.size(); ++i) {
    if (normal[i] != kPathSeparator || i == 0)
      continue;
    std::wstring folder = normal.substr(0, i);
    if (folder.back() == L':' || folder.back() == kPathSeparator)
      continue;  // drive, or "\\"
    std::error_code ignored;
    fs::create_directory(platform::ToPath(folder), ignored);
  }
  return 1;
}

namespace {

bool DeleteTree(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error)
    return false;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error)
      break;
    std::error_code ignored;
    const fs::path& entry = it->path();
    if (it->is_symlink(ignored) || !it->is_directory(ignored)) {
      fs::remove(entry, ignored);
    } else {
      DeleteTree(entry);
    }
  }
  std::error_code ignored;
  fs::remove(folder, ignored);  // stays when something in it could not be deleted
  return true;
}

}  // namespace

int DeleteDirectoryTree(std::wstring_view folder) {
  if (folder.empty())
    return 0;
  std::wstring trimmed(folder);
  while (trimmed.size() > 1 && IsSeparator(trimmed.back()))
    trimmed.pop_back();
  fs::path path = platform::ToPath(trimmed);
  std::error_code error;
  // A link given as the folder itself is removed as a link; what it points to stays.
  if (fs::is_symlink(path, error)) {
    fs::remove(path, error);
    return 1;
  }
  return DeleteTree(path) ? 1 : 0;
}

std::optional<FileStamp> ReadFileStamp(std::wstring_view path) {
  fs::path file = platform::ToPath(path);
  std::error_code error;
  FileStamp stamp;
  stamp.size = fs::file_size(file, error);
  if (error)
    return std::nullopt;
  auto time = fs::last_write_time(file, error);
  if (error)
    return std::nullopt;
  stamp.writeTime = static_cast<std::int64_t>(time.time_since_epoch().count());
  return stamp;
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
  if (folder.empty())
    return std::wstring(name);
  return WithTrailingSeparator(folder) + std::wstring(name);
}

std::wstring WithTrailingSeparator(std::wstring_view folder) {
  std::wstring out(folder);
  while (out.size() > 1 && IsSeparator(out.back()) && IsSeparator(out[out.size() - 2])) {
    out.pop_back();
  }
  if (out.empty() || !IsSeparator(out.back()))
    out += kPathSeparator;
  return out;
}

}  // namespace util
