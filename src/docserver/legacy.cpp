#include "docserver/legacy.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "automation/errors.h"
#include "platform/text.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace docserver {

namespace fs = std::filesystem;

namespace {

std::atomic<bool> disabled{false};

libreoffice::Format FormatOf(FileKind kind) {
  switch (kind) {
    case FileKind::Doc:
      return libreoffice::Format::Doc;
    case FileKind::Rtf:
      return libreoffice::Format::Rtf;
    default:
      return libreoffice::Format::Docx;
  }
}

// LibreOffice's failures reach the user as the server's own text.
template <typename Work>
auto Guard(Work work) {
  try {
    return work();
  } catch (const libreoffice::OfficeError& e) {
    throw automation::ServerException(e.Description());
  }
}

// How long LibreOffice may work on one document before it counts as hung: VARNIK_OFFICE_TIMEOUT
// seconds where set (a slow machine or very large documents need more, a server may want less).
libreoffice::OfficeOptions OfficeOptionsFromEnvironment() {
  libreoffice::OfficeOptions options;
  if (const char* value = std::getenv("VARNIK_OFFICE_TIMEOUT")) {
    char* end = nullptr;
    long seconds = std::strtol(value, &end, 10);
    if (end != value && *end == '\0' && seconds > 0 && seconds <= 24 * 3600)
      options.callTimeout = std::chrono::seconds(seconds);
  }
  return options;
}

}  // namespace

std::wstring OfficeMissingText(const fs::path& document) {
  return L"LibreOffice is not installed (libreoffice-writer): it is needed to read .doc and .rtf "
         L"documents and to find the pages of documents Word did not lay out (" +
         platform::FromPath(document.filename()) + L").";
}

FileKind SniffFileKind(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char head[8] = {};
  in.read(head, sizeof head);
  static const unsigned char ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (in.gcount() == 8 && std::memcmp(head, ole, 8) == 0)
    return FileKind::Doc;
  if (in.gcount() >= 5 && std::memcmp(head, "{\\rtf", 5) == 0)
    return FileKind::Rtf;
  return FileKind::Docx;
}

bool OfficeHost::Available() {
  return !disabled && libreoffice::IsAvailable();
}

void OfficeHost::SetDisabledForTesting(bool value) {
  disabled = value;
}

OfficeHost::OfficeHost() {
  static std::atomic<int> counter{0};
#ifndef _WIN32
  std::string name = "varnik-office-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
#else
  std::string name = "varnik-office-" + std::to_string(counter++);
#endif
  folder_ = fs::temp_directory_path() / name;
}

OfficeHost::~OfficeHost() {
  office_.reset();
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

libreoffice::Office& OfficeHost::Office(const fs::path& forDocument) {
  if (!Available())
    throw automation::ServerException(OfficeMissingText(forDocument));
  if (!office_)
    office_ = std::make_unique<libreoffice::Office>(OfficeOptionsFromEnvironment());
  return *office_;
}

void OfficeHost::Stop() {
  if (office_)
    office_->Stop();
}

int OfficeHost::Starts() const {
  return office_ ? office_->Starts() : 0;
}

OfficeHost::Key OfficeHost::KeyOf(const fs::path& path) {
  std::error_code ec;
  fs::path full = fs::weakly_canonical(path, ec);
  if (ec)
    full = path;
  auto size = fs::file_size(path, ec);
  auto time = fs::last_write_time(path, ec);
  return {platform::FromPath(full), ec ? 0 : size,
          static_cast<long long>(time.time_since_epoch().count())};
}

fs::path OfficeHost::ScratchPath(const char* extension) {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  return folder_ / (std::to_string(count_++) + "." + extension);
}

fs::path OfficeHost::ToDocx(const fs::path& source, FileKind kind) {
  auto& office = Office(source);
  Key key = KeyOf(source);
  if (auto it = converted_.find(key); it != converted_.end())
    return it->second;
  fs::path target = ScratchPath("docx");
  // Pages come from the document as LibreOffice loads it, laid out in the same load: a layout
  // of the converted .docx costs a second load and is not the same layout.
  auto layout = Guard([&] {
    return office.ConvertToDocxAndLayOut(platform::FromPath(source), platform::FromPath(target),
                                         FormatOf(kind));
  });
  converted_[key] = target;
  if (layout)
    layouts_[KeyOf(target)] = *layout;
  return target;
}

void OfficeHost::FromDocx(const fs::path& docx, const fs::path& target, FileKind kind) {
  auto& office = Office(target);
  // Written in the private folder first, so a failure leaves no half file at the target.
  fs::path scratch = ScratchPath(kind == FileKind::Doc ? "doc" : "rtf");
  Guard([&] {
    office.ConvertFromDocx(platform::FromPath(docx), platform::FromPath(scratch), FormatOf(kind));
  });
  std::error_code ec;
  fs::path temp = target;
  temp += ".part~";
  fs::copy_file(scratch, temp, fs::copy_options::overwrite_existing, ec);
  if (!ec)
    fs::rename(temp, target, ec);
  std::error_code ignored;
  fs::remove(scratch, ignored);
  if (ec) {
    fs::remove(temp, ignored);
    throw automation::ServerException(L"The file could not be written: " +
                                      platform::FromPath(target) + L" (" +
                                      platform::FromUtf8(ec.message()) + L")");
  }
}

libreoffice::PageLayout OfficeHost::Layout(const fs::path& docx, const fs::path& source) {
  auto& office = Office(source);
  Key key = KeyOf(docx);
  if (auto it = layouts_.find(key); it != layouts_.end())
    return it->second;
  auto layout = Guard([&] { return office.PageStarts(platform::FromPath(docx)); });
  layouts_[key] = layout;
  return layout;
}

}  // namespace docserver
