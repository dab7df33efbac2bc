// The two exports of wordctrl: a page range and the text between two bookmarks. Each opens the
// unchanged source, deletes what lies after the piece, then what lies before it, and saves the
// rest under the target path.
#include "engine/boundary.h"
#include "engine/word_documents.h"
#include "engine/word_members.h"
#include "engine/wordctrl.h"
#include "util/message_box.h"

namespace engine {

using automation::Variant;
using M = Member;

namespace {

// Where the tail cut starts once FixBoundaryObjects put `shift` breaks in front of the boundary
// character at c, and where a break it put inside what the piece keeps stands (-1: none). A
// break put right at c goes with the tail; one put at the start of the boundary's paragraph
// moves the boundary on (cutting at c would take this piece's last character with it) and
// would stay in the piece as a page of its own.
struct TailFix {
  std::int32_t cut = 0;
  std::int32_t strayBreak = -1;
};

TailFix CutAfterFix(const WordObject& selection, std::int32_t c, std::int32_t shift) {
  if (shift == 0)
    return {c};
  Call(M::SelectionSetRange, selection, {Variant::I4(c), Variant::I4(c + 1)});
  std::wstring at = CallString(M::RangeText, CallObject(M::SelectionRange, selection));
  if (at == L"\f")
    return {c};
  WordObject paragraphs = CallObject(M::SelectionParagraphs, selection);
  WordObject first = CallObject(M::ParagraphsItem, paragraphs, {Variant::I4(1)});
  return {c + shift, CallI4(M::RangeStart, CallObject(M::ParagraphRange, first))};
}

constexpr std::int32_t kPrintLayoutView = 3;
constexpr std::int32_t kStatisticPages = 2;
constexpr std::wstring_view kDocumentEndKey = L"KESTO_[DOC_END]";

void DeleteText(Member member, const WordObject& target) {
  Call(member, target, {Variant::I4(1), Variant::I4(1)});
}

void GoToPage(const WordObject& selection, std::int32_t page) {
  // what 1 = page, which 1 = absolute
  Call(M::SelectionGoTo, selection,
       {Variant::I4(1), Variant::I4(1), Variant::I4(page), Variant::String(L"")});
}

bool TouchesAPage(const WordObject& range) {
  return range && CallI4(M::RangeStatistics, range, {Variant::I4(kStatisticPages)}) >= 1;
}

// Saves in the document's own format and closes with Word's defaults.
void SaveAndClose(const WordObject& document, std::wstring_view targetPath) {
  SaveDocumentAs(document, targetPath, CallI4(M::DocumentFileFormat, document));
  CloseDocument(document, ArgOmitted, ArgOmitted, ArgOmitted);
}

// Runs an export body; Word's and the system's failures show their texts, anything else the
// given text. The document stays open in Word after a failure.
template <typename Body>
std::int32_t Guarded(std::wstring_view unknownText, Body body) {
  try {
    return body();
  } catch (const WordError& e) {
    util::ShowMessageBox(e.Text());
  } catch (const CallError& e) {
    util::ShowMessageBox(e.Text());
  } catch (...) {
    util::ShowMessageBox(unknownText);
  }
  return -1;
}

void CutTail(const WordObject& document, const WordObject& selection, std::int32_t lastPage,
             std::int32_t alignMode) {
  GoToPage(selection, lastPage + 1);
  std::int32_t c = CallI4(M::SelectionStart, selection);
  Call(M::SelectionSetRange, selection, {Variant::I4(c), Variant::I4(c + 1)});
  std::int32_t shift = FixBoundaryObjects(EndSide, selection);
  TailFix fix = CutAfterFix(selection, c, shift);
  Call(M::SelectionSetStart, selection, {Variant::I4(fix.cut)});
  AlignBoundary(alignMode, EndSide, selection);
  std::int32_t end = DocumentEnd(document);
  if (end > CallI4(M::SelectionStart, selection)) {
    Call(M::SelectionSetEnd, selection, {Variant::I4(end)});
    if (TouchesAPage(CallObject(M::SelectionRange, selection)))
      DeleteText(M::SelectionDelete, selection);
  }
  if (fix.strayBreak >= 0) {
    Call(M::SelectionSetRange, selection,
         {Variant::I4(fix.strayBreak), Variant::I4(fix.strayBreak + 1)});
    if (CallString(M::RangeText, CallObject(M::SelectionRange, selection)) == L"\f")
      DeleteText(M::SelectionDelete, selection);
  }
}

void CutHead(const WordObject& selection, std::int32_t firstPage, std::int32_t alignMode) {
  Call(M::SelectionSetStart, selection, {Variant::I4(0)});
  GoToPage(selection, firstPage);
  std::int32_t e = CallI4(M::SelectionEnd, selection);
  // A break put in front of the boundary belongs to the head and goes with it.
  if (FixBoundaryObjects(StartSide, selection) != 0)
    Call(M::SelectionSetEnd, selection, {Variant::I4(e + 1)});
  AlignBoundary(alignMode, StartSide, selection);
  std::int32_t end = CallI4(M::SelectionEnd, selection);
  if (end > 0) {
    Call(M::SelectionSetRange, selection, {Variant::I4(0), Variant::I4(end)});
    DeleteText(M::SelectionDelete, selection);
  }
}

}  // namespace

std::int32_t wordctrl::ExportPageRange(std::wstring_view sourcePath, std::wstring_view targetPath,
                                       std::int32_t firstPage, std::int32_t lastPage,
                                       std::int32_t documentPages, std::int32_t alignMode) {
  if (sourcePath.empty() || targetPath.empty() || firstPage > lastPage)
    return -1;
  return Guarded(L"Unknow error.", [&]() -> std::int32_t {
    // The user's original: read-only, so nothing can be saved over it.
    WordObject document = OpenDocument(application_, sourcePath, ArgFalse, ArgTrue);
    SetActiveViewType(application_, kPrintLayoutView);
    WordObject selection = CallObject(M::ApplicationSelection, application_);
    Call(M::SelectionRefresh, selection);
    if (documentPages == 1) {
      // Nothing to cut: the whole document, in its own format.
      selection.Release();
      SaveAndClose(document, targetPath);
      return 1;
    }
    if (lastPage != documentPages)
      CutTail(document, selection, lastPage, alignMode);
    if (firstPage != 1)
      CutHead(selection, firstPage, alignMode);
    Call(M::SelectionRefresh, selection);
    selection.Release();
    SaveAndClose(document, targetPath);
    return 1;
  });
}

std::int32_t wordctrl::ExportChapterRange(std::wstring_view sourcePath,
                                          std::wstring_view targetPath, std::wstring_view beginKey,
                                          std::wstring_view endKey) {
  if (sourcePath.empty() || targetPath.empty())
    return -1;
  return Guarded(L"Split Doc Unknow error.", [&]() -> std::int32_t {
    WordObject document = OpenDocument(application_, sourcePath, ArgOmitted, ArgTrue);
    SetActiveViewType(application_, kPrintLayoutView);
    WordObject bookmarks = CallObject(M::DocumentBookmarks, document);
    WordObject begin =
        CallObject(M::BookmarksItem, bookmarks, {Variant::String(std::wstring(beginKey))});
    if (endKey != kDocumentEndKey) {
      WordObject endMark =
          CallObject(M::BookmarksItem, bookmarks, {Variant::String(std::wstring(endKey))});
      WordObject tail = CallObject(M::BookmarkRange, endMark);
      std::int32_t end = DocumentEnd(document);
      if (end > CallI4(M::RangeStart, tail)) {
        Call(M::RangeSetEnd, tail, {Variant::I4(end)});
        if (TouchesAPage(tail))
          DeleteText(M::RangeDelete, tail);
      }
    }
    WordObject head = CallObject(M::BookmarkRange, begin);
    std::int32_t start = CallI4(M::RangeStart, head);
    if (start > 0) {
      Call(M::RangeSetRange, head, {Variant::I4(0), Variant::I4(start)});
      DeleteText(M::RangeDelete, head);
    }
    SaveAndClose(document, targetPath);
    return 1;
  });
}

std::int32_t wordctrl::VerifyPiece(std::wstring_view piecePath, std::wstring& difference) {
  try {
    difference = CallString(M::ApplicationVerifyPiece, application_,
                            {Variant::String(std::wstring(piecePath))});
    return difference.empty() ? 1 : -1;
  } catch (const WordError& e) {
    difference = e.Text();
  } catch (const CallError&) {
    return 0;  // a server without the check
  } catch (...) {
    difference = L"it could not be checked";
  }
  return -1;
}

}  // namespace engine
