#include "batch/pages_note.h"

#include <mutex>

namespace batch {

namespace {

std::mutex& SourceLock() {
  static std::mutex lock;
  return lock;
}

PagesNoteSource& Source() {
  static PagesNoteSource source;
  return source;
}

}  // namespace

PagesNoteSource SetPagesNoteSource(PagesNoteSource source) {
  std::lock_guard guard(SourceLock());
  std::swap(Source(), source);
  return source;
}

std::wstring PagesNote(std::wstring_view path, std::int32_t pages) {
  PagesNoteSource source;
  {
    std::lock_guard guard(SourceLock());
    source = Source();
  }
  if (source)
    if (auto note = source(path))
      return *note;
  if (pages == 1)
    return L"1 page, as Word laid it out";
  return std::to_wstring(pages) + L" pages, as Word laid them out";
}

}  // namespace batch
