// The library as built without LibreOffice's SDK: every operation reports what is missing.
#include "docserver/libreoffice/office.h"

namespace libreoffice {

namespace {

[[noreturn]] void Missing(const std::wstring& document) {
  throw OfficeError(L"LibreOffice is not installed (needed for \"" + document +
                    L"\"): install libreoffice-writer and libreoffice-dev, then build again.");
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
