// The library as built without LibreOffice's SDK: every operation reports what is missing.
#include "docserver/libreoffice/office.h"

namespace libreoffice {

namespace {

[[noreturn]] void Missing(const std::wstring& document) {
#ifdef _WIN32
  // The Windows program has no LibreOffice: only Word reads these documents there.
  throw OfficeError(L"\"" + document +
                    L"\" needs Microsoft Word: without it, .doc and .rtf documents and documents "
                    L"whose pages Word did not record cannot be read. Install Word and try again.");
#else
  throw OfficeError(L"LibreOffice is not installed (needed for \"" + document +
                    L"\"): install libreoffice-writer and libreoffice-dev, then build again.");
#endif
}

}  // namespace

bool IsAvailable() {
  return false;
}

class Office::Impl {};

Office::Office() : Office(OfficeOptions{}) {}
Office::Office(OfficeOptions) : impl_(std::make_unique<Impl>()) {}
Office::~Office() = default;

void Office::ConvertToDocx(const std::wstring& source, const std::wstring&) {
  Missing(source);
}
void Office::ConvertToDocx(const std::wstring& source, const std::wstring&, Format) {
  Missing(source);
}
std::optional<PageLayout> Office::ConvertToDocxAndLayOut(const std::wstring& source,
                                                         const std::wstring&, Format) {
  Missing(source);
}
void Office::ConvertFromDocx(const std::wstring& source, const std::wstring&, Format) {
  Missing(source);
}
void Office::Convert(const std::wstring& source, Format, const std::wstring&, Format) {
  Missing(source);
}
PageLayout Office::PageStarts(const std::wstring& docx) {
  Missing(docx);
}
std::vector<int> Office::ParagraphPages(const std::wstring& docx) {
  Missing(docx);
}
void Office::Stop() {}
bool Office::Running() const {
  return false;
}
int Office::Starts() const {
  return 0;
}
int Office::ProcessId() const {
  return -1;
}

}  // namespace libreoffice
