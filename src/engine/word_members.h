#pragma once
// Every member of Word's object model that the engine calls, written once as data. The engine
// names a row for every call; InvokeMember checks each call against the row it matches.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "automation/dispatch.h"
#include "engine/word_object.h"

namespace engine {

enum class Member : std::uint8_t {
  ApplicationActiveWindow,
  ApplicationSelection,
  ApplicationDocuments,
  ApplicationVisible,
  ApplicationQuit,
  ApplicationVerifyPiece,  // the built-in server's own; Word has no such member
  DocumentsCount,
  DocumentsOpen,
  DocumentBookmarks,
  DocumentTablesOfContents,
  DocumentContent,
  DocumentWindow,
  DocumentFileFormat,
  DocumentProtection,
  DocumentFinishReading,  // member 108, called once before the chapter reader closes
  DocumentStatistics,
  DocumentSaveAs,
  DocumentProperties,
  DocumentClose,
  WindowView,
  ViewType,
  PropertiesItem,
  PropertyValue,
  SelectionStart,
  SelectionSetStart,
  SelectionEnd,
  SelectionSetEnd,
  SelectionTables,
  SelectionParagraphs,
  SelectionFields,
  SelectionSetRange,
  SelectionCollapse,
  SelectionInsertBreak,
  SelectionDelete,
  SelectionGoTo,
  SelectionRange,
  SelectionInformation,
  SelectionRefresh,  // member 524, called after getting the selection and before saving
  RangeText,
  RangeStart,
  RangeSetStart,
  RangeEnd,
  RangeSetEnd,
  RangeSentences,
  RangeParagraphs,
  RangeFields,
  RangeSetRange,
  RangeCollapse,
  RangeNext,
  RangeInsertBreak,
  RangeDelete,
  RangeWholeStory,
  RangeHyperlinks,
  RangeStatistics,
  ParagraphRange,
  ParagraphOutlineLevel,
  ParagraphNext,
  ParagraphsItem,
  ParagraphsCount,
  ParagraphsFormatFlag,
  SentencesItem,
  SentencesCount,
  TablesItem,
  TablesCount,
  TableRange,
  FieldsItem,
  FieldsCount,
  FieldCode,
  FieldResult,
  HyperlinksItem,
  HyperlinksCount,
  HyperlinkTarget,
  TablesOfContentsItem,
  TablesOfContentsCount,
  TableOfContentsLowerLevel,
  TableOfContentsFlag7,
  TableOfContentsFlag8,
  TableOfContentsRange,
  BookmarksItem,
  BookmarkRange,
  Count_,
};

// Parameter types of one member, in declaration order.
struct ParamList {
  std::array<ParamType, 16> types{};
  std::uint8_t count = 0;

  constexpr ParamList() = default;
  constexpr ParamList(std::initializer_list<ParamType> list) {
    for (ParamType type : list)
      types[count++] = type;
  }
  static constexpr ParamList Repeat(ParamType type, std::uint8_t times) {
    ParamList list;
    for (std::uint8_t i = 0; i < times; ++i)
      list.types[list.count++] = type;
    return list;
  }
  std::span<const ParamType> Span() const { return {types.data(), count}; }
};

struct MemberRow {
  Member id;
  ObjectKind object;  // the kind of object the member is called on
  std::int32_t dispid;
  automation::InvokeKind kind;
  ParamList params;
  ResultType result;
  ObjectKind resultKind;  // the object a result is (or holds, for a value); None otherwise
  std::wstring_view role;
};

std::span<const MemberRow> MemberTable();
const MemberRow& Row(Member id);
// The row for a call, or nullptr when the table has none.
const MemberRow* FindRow(ObjectKind object, std::int32_t dispid, automation::InvokeKind kind);

// Calls a named row on target through InvokeMember.
WordResult Call(Member id, const WordObject& target,
                std::initializer_list<automation::Variant> args = {});
WordResult CallWith(Member id, const WordObject& target, std::span<const automation::Variant> args);
WordObject CallObject(Member id, const WordObject& target,
                      std::initializer_list<automation::Variant> args = {});
std::int32_t CallI4(Member id, const WordObject& target,
                    std::initializer_list<automation::Variant> args = {});
std::wstring CallString(Member id, const WordObject& target,
                        std::initializer_list<automation::Variant> args = {});
automation::Variant CallValue(Member id, const WordObject& target,
                              std::initializer_list<automation::Variant> args = {});

// The object a value holds, as a handle of kind (empty when the value holds none).
WordObject ObjectFromValue(const automation::Variant& value, ObjectKind kind);

}  // namespace engine
