#include "engine/word_documents.h"

#include <string>
#include <vector>

#include "engine/word_members.h"

namespace engine {

using automation::Variant;

WordObject OpenDocument(const WordObject& application, std::wstring_view path,
                        const Variant& confirmConversions, const Variant& readOnly) {
  WordObject documents = CallObject(Member::ApplicationDocuments, application);
  std::vector<Variant> args(16, ArgOmitted);
  args[0] = Variant::String(std::wstring(path)).ByRef();
  args[1] = confirmConversions;
  args[2] = readOnly;
  return CallWith(Member::DocumentsOpen, documents, args).object;
}

void SetActiveViewType(const WordObject& application, std::int32_t viewType) {
  WordObject window = CallObject(Member::ApplicationActiveWindow, application);
  WordObject view = CallObject(Member::WindowView, window);
  Call(Member::ViewType, view, {Variant::I4(viewType)});
}

void SaveDocumentAs(const WordObject& document, std::wstring_view path, std::int32_t format) {
  std::vector<Variant> args(16, ArgOmitted);
  args[0] = Variant::String(std::wstring(path)).ByRef();
  args[1] = RefI4(format);
  CallWith(Member::DocumentSaveAs, document, args);
}

void CloseDocument(const WordObject& document, const Variant& save, const Variant& format,
                   const Variant& route) {
  Call(Member::DocumentClose, document, {save, format, route});
}

std::int32_t DocumentEnd(const WordObject& document) {
  WordObject content = CallObject(Member::DocumentContent, document);
  Call(Member::RangeWholeStory, content);
  return CallI4(Member::RangeEnd, content);
}

}  // namespace engine
