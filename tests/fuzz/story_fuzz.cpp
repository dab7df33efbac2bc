// Reading a document's main text, styles and pages from fuzzed parts (see parts.h): the open
// either fails with the server's own description or gives a story whose indexes hold together.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "automation/errors.h"
#include "docserver/document.h"
#include "parts.h"

namespace {

// Says which promise broke before stopping, so a crash report names it.
#define Check(condition)                                                    \
  do {                                                                      \
    if (!(condition)) {                                                     \
      std::fprintf(stderr, "broken: %s (line %d)\n", #condition, __LINE__); \
      std::fflush(stderr);                                                  \
      __builtin_trap();                                                     \
    }                                                                       \
  } while (false)

void Walk(docserver::Document& doc) {
  const docserver::Story& story = doc.story();
  const int length = story.Length();
  Check(static_cast<int>(story.Chars().size()) == length);
  for (const auto& p : story.Paragraphs()) {
    Check(0 <= p.span.start && p.span.start <= p.span.end && p.span.end <= length);
    docserver::Span span;
    story.SpanOf(p.node, span);
  }
  for (const auto& f : story.Fields()) {
    // A field a damaged file leaves open has no end (-1).
    Check(0 <= f.begin && f.begin < length && f.end < length);
    Check(f.end < 0 || (f.begin < f.end && (f.separator < 0 || f.separator < f.end)));
  }
  for (const auto& t : story.Tables())
    Check(0 <= t.span.start && t.span.start <= t.span.end && t.span.end <= length);
  for (const auto& b : story.Bookmarks())
    Check(0 <= b.span.start && b.span.start <= b.span.end && b.span.end <= length);
  const auto& starts = story.PageStarts();
  Check(!starts.empty() && starts.front() == 0 && story.PageSources().size() == starts.size());
  Check(std::is_sorted(starts.begin(), starts.end()));
  for (int pos = 0; pos <= length; ++pos) {
    int para = story.ParagraphAt(pos);
    Check(length == 0 || (0 <= para && para < static_cast<int>(story.Paragraphs().size())));
    Check(0 <= story.PageAt(pos) && story.PageAt(pos) < static_cast<int>(starts.size()));
    story.SegmentAt(pos);
  }
  for (int i = 0; i < static_cast<int>(story.Paragraphs().size()); ++i) {
    auto bounds = story.SentenceBounds(i);
    Check(std::is_sorted(bounds.begin(), bounds.end()));
    doc.OutlineLevel(i);
  }
  story.FieldsIn(0, length);
  story.Text(0, length);
  story.Text(length / 3, 2 * length / 3);
  try {
    doc.Protection();
    doc.LastSaved();  // a damaged properties part is reported, as any damaged part is
  } catch (const automation::ServerException&) {
  }
  try {
    const auto& pages = doc.PageStarts();  // no office here: a layout fails as it should
    Check(!pages.empty());
  } catch (const automation::ServerException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto office = [] {
    docserver::OfficeHost::SetDisabledForTesting(true);
    return std::make_shared<docserver::OfficeHost>();
  }();
  const auto path = fuzz::Scratch("story.docx");
  fuzz::WriteDocx(fuzz::ParseParts({reinterpret_cast<const char*>(data), size}), path);
  std::unique_ptr<docserver::Document> doc;
  try {
    doc = std::make_unique<docserver::Document>(path, true, office);
  } catch (const automation::ServerException&) {
    return 0;
  }
  Walk(*doc);
  return 0;
}
