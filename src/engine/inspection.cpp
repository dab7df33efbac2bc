// The two readers of wordctrl: page count with last-save time, and chapters.
#include "automation/variant_text.h"
#include "engine/chapter_reader.h"
#include "engine/word_documents.h"
#include "engine/word_members.h"
#include "engine/wordctrl.h"
#include "util/message_box.h"

namespace engine {

using automation::Variant;
using M = Member;

namespace {

constexpr std::int32_t kPrintLayoutView = 3;
constexpr std::int32_t kCountingView = 7;
constexpr std::int32_t kStatisticPages = 2;
constexpr std::int32_t kPropertyLastSaveTime = 12;

// Readers close without saving: (0 do not save, 1 format argument, omitted).
void CloseUnsaved(const WordObject& document) {
  CloseDocument(document, RefI4(0), RefI4(1), ArgOmitted);
}

// Opens a document for reading and sets the print layout view; an empty handle when either
// fails (nothing is shown: the readers report -1).
WordObject TryOpen(const WordObject& application, std::wstring_view path,
                   const automation::Variant& readOnly) {
  try {
    WordObject document = OpenDocument(application, path, ArgOmitted, readOnly);
    if (document)
      SetActiveViewType(application, kPrintLayoutView);
    return document;
  } catch (...) {
    return {};
  }
}

}  // namespace

std::int32_t wordctrl::ReadPageCount(std::wstring_view path, std::wstring& timeText,
                                     util::MessageTarget* window, std::int32_t progressBase,
                                     std::int32_t progressStep) {
  WordObject document = TryOpen(application_, path, ArgTrue);
  if (!document)
    return -1;

  std::int32_t result = -1;
  try {
    std::int32_t pages =
        CallI4(M::DocumentStatistics, document, {Variant::I4(kStatisticPages), ArgFalse});
    result = CallI4(M::DocumentProtection, document) != -1 ? -2 : pages;
    WordObject properties = CallObject(M::DocumentProperties, document);
    WordObject documentWindow = CallObject(M::DocumentWindow, document);
    Call(M::ViewType, CallObject(M::WindowView, documentWindow), {Variant::I4(kCountingView)});
    Variant item = CallValue(M::PropertiesItem, properties, {Variant::I4(kPropertyLastSaveTime)});
    WordObject property = ObjectFromValue(item, ObjectKind::DocumentProperty);
    Variant value;
    try {
      value = CallValue(M::PropertyValue, property);
    } catch (const WordError&) {
      util::ShowMessageBox(std::wstring(path) + L"\r\n Property Invoke Exception.");
      throw;
    }
    timeText = automation::VariantToText(value);
  } catch (...) {
    result = -1;
  }
  PostProgress(window, static_cast<std::int64_t>(progressBase) + progressStep);

  try {
    CloseUnsaved(document);
  } catch (...) {
    return -1;
  }
  return result;
}

std::int32_t wordctrl::ReadChapters(std::wstring_view path, std::vector<ChapterEntry>& chapters,
                                    util::MessageTarget* window) {
  WordObject document = TryOpen(application_, path, ArgOmitted);
  if (!document)
    return -1;
  try {
    ReadChaptersFromLinks(document, chapters, window, 30, 150);
    if (chapters.empty())
      ReadChaptersFromFields(document, chapters, window, 180, 150);
    PostProgress(window, 300);
    Call(M::DocumentFinishReading, document);
    CloseUnsaved(document);
  } catch (...) {
    return -1;
  }
  return chapters.empty() ? -1 : 1;
}

}  // namespace engine
