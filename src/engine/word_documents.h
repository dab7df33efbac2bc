#pragma once
// Opening, viewing, saving and closing a document, with the arguments each caller passes.

#include <cstdint>
#include <string_view>

#include "automation/variant.h"
#include "engine/word_object.h"

namespace engine {

// Opens path through the application's documents collection; every other argument omitted.
WordObject OpenDocument(const WordObject& application, std::wstring_view path,
                        const automation::Variant& confirmConversions,
                        const automation::Variant& readOnly);

// Sets the view type of the application's active window (3 after every open).
void SetActiveViewType(const WordObject& application, std::int32_t viewType);

void SaveDocumentAs(const WordObject& document, std::wstring_view path, std::int32_t format);

void CloseDocument(const WordObject& document, const automation::Variant& save,
                   const automation::Variant& format, const automation::Variant& route);

// A range of the whole main text, for its end.
std::int32_t DocumentEnd(const WordObject& document);

// Integer argument passed by reference.
inline automation::Variant RefI4(std::int32_t value) {
  return automation::Variant::I4(value).ByRef();
}

}  // namespace engine
