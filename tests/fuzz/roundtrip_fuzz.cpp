// Cutting a range out of a fuzzed document, saving it and checking the piece as the program
// does: it opens again, its parts are whole and its text is the range's text. The first four
// bytes choose the range; the rest are the document's parts (see parts.h). Only a source that
// is whole itself must give a whole piece. The ends are moved to where the program's cuts fall:
// the start of a paragraph, or of a table or one of its rows (a table is split at the row).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "automation/errors.h"
#include "docserver/document.h"
#include "docserver/piece_check.h"
#include "parts.h"
#include "platform/text.h"

namespace {

struct Cut {
  int pos = 0;
  bool split = false;  // a row of a table, not its first: the table is split there first
};

// Where the program's cut near a chosen position falls: the start of its paragraph, or of its
// table row when the high bit asks for a split (other rows and nested tables: the table's
// start).
Cut CutPoint(const docserver::Story& story, unsigned chosen) {
  const int length = story.Length();
  const bool split = (chosen & 0x8000u) != 0;
  const int pos = static_cast<int>((chosen & 0x7fffu) % static_cast<unsigned>(length + 1));
  if (pos == length)
    return {length};
  const auto& para = story.Paragraphs()[static_cast<std::size_t>(story.ParagraphAt(pos))];
  if (para.tableDepth == 0)
    return {para.span.start};
  const docserver::Table* outer = nullptr;
  for (const auto& table : story.Tables())
    if (table.depth == 0 && table.span.start <= pos && pos < table.span.end)
      outer = &table;
  if (!outer)
    return {para.span.start};
  if (split) {
    bool first = true;
    for (auto row : outer->node.children("w:tr")) {
      docserver::Span span;
      if (!story.SpanOf(row, span) || pos < span.start || pos >= span.end) {
        first = false;
        continue;
      }
      bool nested = false;
      for (const auto& table : story.Tables())
        nested = nested ||
                 (table.depth > 0 && table.span.start <= span.start && span.start < table.span.end);
      if (!first && !nested)
        return {span.start, true};
      break;
    }
  }
  return {outer->span.start};
}

// Whether a cut point falls inside the code of a field whose code holds more than code text and
// paragraph marks (visible runs, nested fields), which only a damaged file has. The save drops
// a torn field's code, not such content, and the program's check fails that piece; here the
// piece must still be whole.
bool TearsOddCode(const docserver::Story& story, int cut) {
  for (const auto& f : story.Fields()) {
    const int codeEnd = f.separator >= 0 ? f.separator : f.end >= 0 ? f.end : story.Length();
    if (cut <= f.begin || cut > codeEnd)
      continue;
    for (int pos = f.begin + 1; pos < codeEnd; ++pos) {
      if (story.KindAt(pos) == docserver::Atom::ParaMark)
        continue;
      const int segment = story.SegmentAt(pos);
      if (story.KindAt(pos) != docserver::Atom::Char || segment < 0 ||
          std::string_view(story.Segments()[static_cast<std::size_t>(segment)].node.name()) !=
              "w:instrText")
        return true;
    }
  }
  return false;
}

void Fail(const std::string& what, int start, int end, int length) {
  std::fprintf(stderr, "piece [%d, %d) of %d: %s\n", start, end, length, what.c_str());
  std::fflush(stderr);
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto office = [] {
    docserver::OfficeHost::SetDisabledForTesting(true);
    return std::make_shared<docserver::OfficeHost>();
  }();
  if (size < 4)
    return 0;
  const unsigned a = data[0] | data[1] << 8, b = data[2] | data[3] << 8;
  const auto source = fuzz::Scratch("source.docx");
  const auto piece = fuzz::Scratch("piece.docx");
  fuzz::WriteDocx(fuzz::ParseParts({reinterpret_cast<const char*>(data) + 4, size - 4}), source);
  if (!docserver::PartProblems(source).empty())
    return 0;
  std::unique_ptr<docserver::Document> doc;
  try {
    doc = std::make_unique<docserver::Document>(source, false, office);
  } catch (const automation::ServerException&) {
    return 0;
  }
  const int length = doc->story().Length();
  if (length == 0)
    return 0;
  Cut start = CutPoint(doc->story(), a);
  Cut end = CutPoint(doc->story(), b);
  if (start.pos > end.pos)
    std::swap(start, end);
  if (start.pos == end.pos)
    return 0;
  const bool oddTear = TearsOddCode(doc->story(), start.pos) || TearsOddCode(doc->story(), end.pos);
  // As the program cuts: the end first, then the start; a split leaves a break paragraph
  // between the table's halves, which goes with the part cut away.
  docserver::PieceRecord kept;
  try {
    if (end.split)
      doc->InsertBreak(end.pos, nullptr);
    doc->Delete(end.pos, doc->story().Length());
    if (start.split)
      doc->InsertBreak(start.pos, nullptr);
    doc->Delete(0, start.pos + (start.split ? 1 : 0));
    kept = doc->Kept();
    doc->SaveAs(piece, 12);
  } catch (const automation::ServerException& e) {
    Fail("the cut failed: " + platform::ToUtf8(e.Description()), start.pos, end.pos, length);
  }
  if (oddTear) {
    auto problems = docserver::PartProblems(piece);
    if (!problems.empty())
      Fail("its parts are not whole (" + platform::ToUtf8(problems.front()) + ")", start.pos,
           end.pos, length);
    return 0;
  }
  if (auto problem = docserver::CheckPiece(piece, kept, office))
    Fail(platform::ToUtf8(*problem), start.pos, end.pos, length);
  return 0;
}
