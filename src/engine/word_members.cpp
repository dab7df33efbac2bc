#include "engine/word_members.h"

#include "automation/errors.h"
#include "automation/own_members.h"

namespace engine {

namespace {

using automation::InvokeKind;
using K = ObjectKind;
using M = Member;
using P = ParamType;
using R = ResultType;

constexpr InvokeKind kGet = InvokeKind::PropertyGet;
constexpr InvokeKind kPut = InvokeKind::PropertyPut;
constexpr InvokeKind kMethod = InvokeKind::Method;
constexpr InvokeKind kMethodOrGet = InvokeKind::MethodOrGet;

constexpr ParamList kNone{};
constexpr ParamList kRef1{P::ValueRef};
constexpr ParamList kRef2{P::ValueRef, P::ValueRef};
constexpr ParamList kRef3{P::ValueRef, P::ValueRef, P::ValueRef};
constexpr ParamList kI4{P::I4};

// clang-format off
constexpr MemberRow kTable[] = {
  {M::ApplicationActiveWindow, K::Application, 4, kGet, kNone, R::Object, K::Window, L"the active window; view type 3 after every open"},
  {M::ApplicationSelection, K::Application, 5, kGet, kNone, R::Object, K::Selection, L"the selection"},
  {M::ApplicationDocuments, K::Application, 6, kGet, kNone, R::Object, K::Documents, L"the documents collection"},
  {M::ApplicationVisible, K::Application, 23, kPut, {P::Bool}, R::None, K::None, L"false right after start"},
  {M::ApplicationQuit, K::Application, 1105, kMethod, kRef3, R::None, K::None, L"(ArgFalse, omitted, omitted): quit without saving"},
  {M::ApplicationVerifyPiece, K::Application, automation::kVerifyPieceDispid, kMethod, {P::Value}, R::String, K::None, L"(piece path): how the piece differs from what its cut kept; empty when it does not"},
  {M::DocumentsCount, K::Documents, 2, kGet, kNone, R::I4, K::None, L"number of open documents"},
  {M::DocumentsOpen, K::Documents, 19, kMethod, ParamList::Repeat(P::ValueRef, 16), R::Object, K::Document, L"(path, confirm conversions, read only, 13 x omitted)"},
  {M::DocumentBookmarks, K::Document, 4, kGet, kNone, R::Object, K::Bookmarks, L"the bookmarks"},
  {M::DocumentTablesOfContents, K::Document, 31, kGet, kNone, R::Object, K::TablesOfContents, L"the tables of contents"},
  {M::DocumentContent, K::Document, 41, kGet, kNone, R::Object, K::Range, L"a range in the main text"},
  {M::DocumentWindow, K::Document, 42, kGet, kNone, R::Object, K::Window, L"the document's window"},
  {M::DocumentFileFormat, K::Document, 59, kGet, kNone, R::I4, K::None, L"the document's own file format"},
  {M::DocumentProtection, K::Document, 60, kGet, kNone, R::I4, K::None, L"protection state, -1 not protected"},
  {M::DocumentFinishReading, K::Document, 108, kMethod, kNone, R::None, K::None, L"once, after reading chapters"},
  {M::DocumentStatistics, K::Document, 118, kMethod, {P::I4, P::ValueRef}, R::I4, K::None, L"(2, ArgFalse): the page count"},
  {M::DocumentSaveAs, K::Document, 376, kMethod, ParamList::Repeat(P::ValueRef, 16), R::None, K::None, L"(path, format, 14 x omitted)"},
  {M::DocumentProperties, K::Document, 1000, kGet, kNone, R::Object, K::DocumentProperties, L"the built-in document properties"},
  {M::DocumentClose, K::Document, 1105, kMethod, kRef3, R::None, K::None, L"close, arguments per caller"},
  {M::WindowView, K::Window, 14, kGet, kNone, R::Object, K::View, L"the window's view"},
  {M::ViewType, K::View, 0, kPut, kI4, R::None, K::None, L"the view type: 3 after open, 7 when counting pages"},
  {M::PropertiesItem, K::DocumentProperties, 0, kMethodOrGet, {P::Value}, R::Value, K::DocumentProperty, L"(12): the time of the last save, a property object"},
  {M::PropertyValue, K::DocumentProperty, 0, kMethodOrGet, kNone, R::Value, K::None, L"the property's value"},
  {M::SelectionStart, K::Selection, 3, kGet, kNone, R::I4, K::None, L"start position"},
  {M::SelectionSetStart, K::Selection, 3, kPut, kI4, R::None, K::None, L"start position"},
  {M::SelectionEnd, K::Selection, 4, kGet, kNone, R::I4, K::None, L"end position"},
  {M::SelectionSetEnd, K::Selection, 4, kPut, kI4, R::None, K::None, L"end position"},
  {M::SelectionTables, K::Selection, 50, kGet, kNone, R::Object, K::Tables, L"the tables in the selection"},
  {M::SelectionParagraphs, K::Selection, 59, kGet, kNone, R::Object, K::Paragraphs, L"the paragraphs in the selection"},
  {M::SelectionFields, K::Selection, 64, kGet, kNone, R::Object, K::Fields, L"the fields in the selection"},
  {M::SelectionSetRange, K::Selection, 100, kMethod, {P::I4, P::I4}, R::None, K::None, L"(start, end)"},
  {M::SelectionCollapse, K::Selection, 101, kMethod, kRef1, R::None, K::None, L"(omitted): collapse"},
  {M::SelectionInsertBreak, K::Selection, 122, kMethod, kRef1, R::None, K::None, L"(omitted): insert a break"},
  {M::SelectionDelete, K::Selection, 127, kMethod, kRef2, R::I4, K::None, L"(1, 1): delete the selected text"},
  {M::SelectionGoTo, K::Selection, 173, kMethod, ParamList::Repeat(P::ValueRef, 4), R::Object, K::Range, L"(1 page, 1 absolute, n, empty): to the start of page n"},
  {M::SelectionRange, K::Selection, 400, kGet, kNone, R::Object, K::Range, L"the selection's range"},
  {M::SelectionInformation, K::Selection, 401, kGet, kI4, R::Value, K::None, L"(12): true inside a table"},
  {M::SelectionRefresh, K::Selection, 524, kMethod, kNone, R::None, K::None, L"after getting the selection and before saving"},
  {M::RangeText, K::Range, 0, kGet, kNone, R::String, K::None, L"the range's text"},
  {M::RangeStart, K::Range, 3, kGet, kNone, R::I4, K::None, L"start position"},
  {M::RangeSetStart, K::Range, 3, kPut, kI4, R::None, K::None, L"start position"},
  {M::RangeEnd, K::Range, 4, kGet, kNone, R::I4, K::None, L"end position"},
  {M::RangeSetEnd, K::Range, 4, kPut, kI4, R::None, K::None, L"end position"},
  {M::RangeSentences, K::Range, 52, kGet, kNone, R::Object, K::Sentences, L"the sentences of the range"},
  {M::RangeParagraphs, K::Range, 59, kGet, kNone, R::Object, K::Paragraphs, L"the paragraphs of the range"},
  {M::RangeFields, K::Range, 64, kGet, kNone, R::Object, K::Fields, L"the fields of the range"},
  {M::RangeSetRange, K::Range, 100, kMethod, {P::I4, P::I4}, R::None, K::None, L"(start, end)"},
  {M::RangeCollapse, K::Range, 101, kMethod, kRef1, R::None, K::None, L"(omitted): collapse"},
  {M::RangeNext, K::Range, 105, kMethod, kRef2, R::Object, K::Range, L"(unit 3 sentence or 4 paragraph, 1): the next unit, empty at the end"},
  {M::RangeInsertBreak, K::Range, 122, kMethod, kRef1, R::None, K::None, L"(omitted): insert a break"},
  {M::RangeDelete, K::Range, 127, kMethod, kRef2, R::I4, K::None, L"(1, 1): delete the range's text"},
  {M::RangeWholeStory, K::Range, 128, kMethod, kNone, R::None, K::None, L"expand to the whole story"},
  {M::RangeHyperlinks, K::Range, 156, kGet, kNone, R::Object, K::Hyperlinks, L"the hyperlinks in the range"},
  {M::RangeStatistics, K::Range, 178, kMethod, kI4, R::I4, K::None, L"(2): pages the range touches"},
  {M::ParagraphRange, K::Paragraph, 0, kGet, kNone, R::Object, K::Range, L"the paragraph's range"},
  {M::ParagraphOutlineLevel, K::Paragraph, 202, kGet, kNone, R::I4, K::None, L"outline level 1 to 9, 10 body text"},
  {M::ParagraphNext, K::Paragraph, 324, kMethod, kRef1, R::Object, K::Paragraph, L"(1): the next paragraph"},
  {M::ParagraphsItem, K::Paragraphs, 0, kMethod, kI4, R::Object, K::Paragraph, L"(n): the n-th paragraph"},
  {M::ParagraphsCount, K::Paragraphs, 2, kGet, kNone, R::I4, K::None, L"number of paragraphs"},
  {M::ParagraphsFormatFlag, K::Paragraphs, 104, kGet, kNone, R::I4, K::None, L"a format flag, -1 when set for all"},
  {M::SentencesItem, K::Sentences, 0, kMethod, kI4, R::Object, K::Range, L"(1): the first sentence"},
  {M::SentencesCount, K::Sentences, 2, kGet, kNone, R::I4, K::None, L"number of sentences"},
  {M::TablesItem, K::Tables, 0, kMethod, kI4, R::Object, K::Table, L"(1): the first table"},
  {M::TablesCount, K::Tables, 2, kGet, kNone, R::I4, K::None, L"number of tables"},
  {M::TableRange, K::Table, 0, kGet, kNone, R::Object, K::Range, L"the table's range"},
  {M::FieldsItem, K::Fields, 0, kMethod, kI4, R::Object, K::Field, L"(n): the n-th field"},
  {M::FieldsCount, K::Fields, 1, kGet, kNone, R::I4, K::None, L"number of fields"},
  {M::FieldCode, K::Field, 0, kGet, kNone, R::Object, K::Range, L"the range of the field's code"},
  {M::FieldResult, K::Field, 4, kGet, kNone, R::Object, K::Range, L"the range of the field's result"},
  {M::HyperlinksItem, K::Hyperlinks, 0, kMethod, kRef1, R::Object, K::Hyperlink, L"(n): the n-th hyperlink"},
  {M::HyperlinksCount, K::Hyperlinks, 1, kGet, kNone, R::I4, K::None, L"number of hyperlinks"},
  {M::HyperlinkTarget, K::Hyperlink, 1101, kGet, kNone, R::String, K::None, L"the bookmark it jumps to; may be empty"},
  {M::TablesOfContentsItem, K::TablesOfContents, 0, kMethod, kI4, R::Object, K::TableOfContents, L"(n): the n-th table of contents"},
  {M::TablesOfContentsCount, K::TablesOfContents, 1, kGet, kNone, R::I4, K::None, L"number of tables of contents"},
  {M::TableOfContentsLowerLevel, K::TableOfContents, 4, kPut, kI4, R::None, K::None, L"9: headings down to level 9"},
  {M::TableOfContentsFlag7, K::TableOfContents, 7, kPut, {P::Bool}, R::None, K::None, L"true"},
  {M::TableOfContentsFlag8, K::TableOfContents, 8, kPut, {P::Bool}, R::None, K::None, L"true"},
  {M::TableOfContentsRange, K::TableOfContents, 9, kGet, kNone, R::Object, K::Range, L"the table's range"},
  {M::BookmarksItem, K::Bookmarks, 0, kMethod, kRef1, R::Object, K::Bookmark, L"(name): the bookmark; an unknown name fails"},
  {M::BookmarkRange, K::Bookmark, 1, kGet, kNone, R::Object, K::Range, L"the bookmark's range"},
};
// clang-format on

constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < std::size(kTable); ++i)
    if (static_cast<std::size_t>(kTable[i].id) != i)
      return false;
  return std::size(kTable) == static_cast<std::size_t>(Member::Count_);
}
static_assert(RowsInOrder(), "one row per Member, in the order of the enumeration");

constexpr bool KeysUnique() {
  for (std::size_t i = 0; i < std::size(kTable); ++i)
    for (std::size_t j = i + 1; j < std::size(kTable); ++j)
      if (kTable[i].object == kTable[j].object && kTable[i].dispid == kTable[j].dispid &&
          kTable[i].kind == kTable[j].kind)
        return false;
  return true;
}
static_assert(KeysUnique(), "a call must match exactly one row");

WordResult CallRow(Member id, const WordObject& target, std::span<const automation::Variant> args,
                   ResultType expected) {
  const MemberRow& row = Row(id);
  if (row.result != expected)
    throw CallError(automation::codes::kTypeMismatch,
                    L"Result of a member used as the wrong type.\r\n");
  return InvokeMember(target, row.dispid, row.kind, row.result, row.params.Span(), args);
}

std::span<const automation::Variant> Span(std::initializer_list<automation::Variant> args) {
  return {args.begin(), args.size()};
}

}  // namespace

std::span<const MemberRow> MemberTable() {
  return kTable;
}

const MemberRow& Row(Member id) {
  return kTable[static_cast<std::size_t>(id)];
}

const MemberRow* FindRow(ObjectKind object, std::int32_t dispid, automation::InvokeKind kind) {
  for (const MemberRow& row : kTable)
    if (row.object == object && row.dispid == dispid && row.kind == kind)
      return &row;
  return nullptr;
}

WordResult Call(Member id, const WordObject& target,
                std::initializer_list<automation::Variant> args) {
  return CallRow(id, target, Span(args), Row(id).result);
}

WordObject CallObject(Member id, const WordObject& target,
                      std::initializer_list<automation::Variant> args) {
  return CallRow(id, target, Span(args), ResultType::Object).object;
}

std::int32_t CallI4(Member id, const WordObject& target,
                    std::initializer_list<automation::Variant> args) {
  return CallRow(id, target, Span(args), ResultType::I4).integer;
}

std::wstring CallString(Member id, const WordObject& target,
                        std::initializer_list<automation::Variant> args) {
  return std::move(CallRow(id, target, Span(args), ResultType::String).text);
}

WordResult CallWith(Member id, const WordObject& target,
                    std::span<const automation::Variant> args) {
  return CallRow(id, target, args, Row(id).result);
}

automation::Variant CallValue(Member id, const WordObject& target,
                              std::initializer_list<automation::Variant> args) {
  return std::move(CallRow(id, target, Span(args), ResultType::Value).value);
}

WordObject ObjectFromValue(const automation::Variant& value, ObjectKind kind) {
  if (value.type != automation::VarType::Object || value.object == nullptr)
    return WordObject(kind);
  return WordObject(value.object, kind);
}

}  // namespace engine
