#include "documents/document_list.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

#include "platform/text.h"
#include "util/names.h"
#include "util/paths.h"

namespace documents {

namespace fs = std::filesystem;

bool AcceptFile(DocumentList& documents, std::wstring_view path) {
  if (std::any_of(documents.begin(), documents.end(),
                  [&](const DocumentEntry& e) { return e.path == path; })) {
    return false;
  }
  util::PathParts parts = util::SplitPath(path);
  std::wstring extension = parts.ext;
  for (wchar_t& c : extension)
    c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  if (extension != L".doc" && extension != L".docx" && extension != L".rtf")
    return false;
  if (util::IsLockOrHiddenFile(path, parts.name + parts.ext))
    return false;

  DocumentEntry entry;
  entry.path = std::wstring(path);
  entry.name = parts.name;
  entry.folder = parts.drive + parts.dir;
  entry.extension = extension;
  documents.push_back(std::move(entry));
  return true;
}

int AddFolder(DocumentList& documents, std::wstring_view folder) {
  if (folder.empty())
    return 0;
  std::error_code error;
  std::vector<fs::directory_entry> found;
  for (fs::directory_iterator it(platform::ToPath(folder), error), end; !error && it != end;
       it.increment(error)) {
    found.push_back(*it);
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  int added = 0;
  for (const auto& entry : found) {
    std::error_code ignored;
    std::wstring path = platform::FromPath(entry.path());
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
      added += AddFolder(documents, path);
    } else if (AcceptFile(documents, path)) {
      ++added;
    }
  }
  return added;
}

int AddPath(DocumentList& documents, std::wstring_view path) {
  std::error_code error;
  if (fs::is_directory(platform::ToPath(path), error))
    return AddFolder(documents, path);
  return AcceptFile(documents, path) ? 1 : 0;
}

}  // namespace documents
