#include "engine/boundary.h"

#include "engine/word_members.h"
#include "util/message_box.h"

namespace engine {

namespace {

using automation::Variant;
using M = Member;

constexpr std::int32_t kUnitSentence = 3;
constexpr std::int32_t kUnitParagraph = 4;
constexpr std::int32_t kStatisticPages = 2;
constexpr std::int32_t kInformationInTable = 12;

bool IsTrue(const Variant& value) {
  return value.integer != 0 || value.real != 0;
}

// Q is the first unit (sentence or paragraph range) holding the boundary character.
void AlignToUnit(BoundarySide side, const WordObject& selection, const WordObject& q,
                 std::int32_t unit) {
  if (CallI4(M::RangeStatistics, q, {Variant::I4(kStatisticPages)}) <= 1)
    return;
  if (side == EndSide) {
    WordObject next = CallObject(M::RangeNext, q, {Variant::I4(unit), Variant::I4(1)});
    std::int32_t start = next ? CallI4(M::RangeStart, next) : CallI4(M::RangeEnd, q);
    Call(M::SelectionSetStart, selection, {Variant::I4(start)});
  } else {
    Call(M::SelectionSetEnd, selection, {Variant::I4(CallI4(M::RangeEnd, q))});
  }
}

// The one character at the boundary.
WordObject BoundaryCharacter(const WordObject& selection) {
  WordObject range = CallObject(M::SelectionRange, selection);
  Call(M::RangeSetEnd, range, {Variant::I4(CallI4(M::RangeStart, range) + 1)});
  return range;
}

}  // namespace

std::int32_t FixBoundaryObjects(BoundarySide side, const WordObject& selection) {
  try {
    WordObject fields = CallObject(M::SelectionFields, selection);
    if (CallI4(M::FieldsCount, fields) >= 1) {
      Call(M::SelectionCollapse, selection, {ArgOmitted});
      Call(M::SelectionInsertBreak, selection, {ArgOmitted});
      return 1;
    }
    WordObject paragraphs = CallObject(M::SelectionParagraphs, selection);
    if (CallI4(M::ParagraphsFormatFlag, paragraphs) != -1) {
      WordObject first = CallObject(M::ParagraphsItem, paragraphs, {Variant::I4(1)});
      WordObject range = CallObject(M::ParagraphRange, first);
      if (CallI4(M::FieldsCount, CallObject(M::RangeFields, range)) >= 1) {
        Call(M::RangeCollapse, range, {ArgOmitted});
        Call(M::RangeInsertBreak, range, {ArgOmitted});
        return 1;
      }
    }
    Variant inTable =
        CallValue(M::SelectionInformation, selection, {Variant::I4(kInformationInTable)});
    if (IsTrue(inTable))
      return SplitTableAtBoundary(side, selection);
    return 0;
  } catch (...) {
    return 0;
  }
}

std::int32_t SplitTableAtBoundary(BoundarySide side, const WordObject& selection) {
  try {
    WordObject tables = CallObject(M::SelectionTables, selection);
    if (CallI4(M::TablesCount, tables) <= 0)
      return 0;
    WordObject table = CallObject(M::TablesItem, tables, {Variant::I4(1)});
    WordObject tableRange = CallObject(M::TableRange, table);
    if (side == EndSide) {
      std::int32_t boundary = CallI4(M::SelectionStart, selection);
      if (CallI4(M::RangeStart, tableRange) < boundary - 1) {
        WordObject range = CallObject(M::SelectionRange, selection);
        Call(M::RangeCollapse, range, {ArgOmitted});
        Call(M::RangeInsertBreak, range, {ArgOmitted});
        return 1;
      }
    } else {
      std::int32_t boundary = CallI4(M::SelectionEnd, selection);
      if (CallI4(M::RangeEnd, tableRange) > boundary + 1) {
        WordObject range = CallObject(M::SelectionRange, selection);
        Call(M::RangeSetStart, range, {Variant::I4(CallI4(M::RangeEnd, range))});
        Call(M::RangeInsertBreak, range, {ArgOmitted});
        return 1;
      }
    }
    return 0;
  } catch (const WordError& e) {
    util::ShowMessageBox(e.Text());
  } catch (const CallError& e) {
    util::ShowMessageBox(e.Text());
  } catch (...) {
    util::ShowMessageBox(L"Unknow error.");
  }
  return 0;
}

void AlignBoundary(std::int32_t alignMode, BoundarySide side, const WordObject& selection) {
  if ((alignMode & 2) != 0)
    AlignToParagraph(side, selection);
  else if ((alignMode & 1) != 0)
    AlignToSentence(side, selection);
}

void AlignToSentence(BoundarySide side, const WordObject& selection) {
  try {
    WordObject sentences = CallObject(M::RangeSentences, BoundaryCharacter(selection));
    if (!sentences || CallI4(M::SentencesCount, sentences) < 1)
      return;
    WordObject q = CallObject(M::SentencesItem, sentences, {Variant::I4(1)});
    AlignToUnit(side, selection, q, kUnitSentence);
  } catch (...) {
  }
}

void AlignToParagraph(BoundarySide side, const WordObject& selection) {
  WordObject paragraphs = CallObject(M::RangeParagraphs, BoundaryCharacter(selection));
  if (!paragraphs || CallI4(M::ParagraphsCount, paragraphs) < 1)
    return;
  WordObject first = CallObject(M::ParagraphsItem, paragraphs, {Variant::I4(1)});
  AlignToUnit(side, selection, CallObject(M::ParagraphRange, first), kUnitParagraph);
}

}  // namespace engine
