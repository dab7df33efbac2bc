#pragma once
// One server's LibreOffice: Word's older formats (.doc, .rtf) converted to .docx on open and back
// on save, and the page layout of documents Word never laid out. The office process is started
// on first need and ends with the server; work on an unchanged source file is kept for the run.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "docserver/libreoffice/office.h"

namespace docserver {

enum class FileKind { Docx, Doc, Rtf };

// What a file holds, from its first bytes.
FileKind SniffFileKind(const std::filesystem::path& path);

class OfficeHost {
 public:
  OfficeHost();
  ~OfficeHost();
  OfficeHost(const OfficeHost&) = delete;
  OfficeHost& operator=(const OfficeHost&) = delete;

  // Whether LibreOffice can be used (and is not switched off for a test).
  static bool Available();
  // Tests: behave as if LibreOffice were not installed.
  static void SetDisabledForTesting(bool disabled);

  // The source as .docx inside the private folder; the source is only read. Throws
  // automation::ServerException when LibreOffice is missing or the conversion fails.
  std::filesystem::path ToDocx(const std::filesystem::path& source, FileKind kind);
  // Writes target (replacing it) from a .docx in the given older format.
  void FromDocx(const std::filesystem::path& docx, const std::filesystem::path& target,
                FileKind kind);
  // LibreOffice's pagination of a .docx (what shows source, for the message).
  libreoffice::PageLayout Layout(const std::filesystem::path& docx,
                                 const std::filesystem::path& source);

  // A fresh file name inside the private folder.
  std::filesystem::path ScratchPath(const char* extension);
  // Ends the office process now (the next need starts it again).
  void Stop();
  int Starts() const;

 private:
  using Key = std::tuple<std::wstring, std::uintmax_t, long long>;
  static Key KeyOf(const std::filesystem::path& path);
  libreoffice::Office& Office(const std::filesystem::path& forDocument);

  std::unique_ptr<libreoffice::Office> office_;
  std::filesystem::path folder_;
  int count_ = 0;
  std::map<Key, std::filesystem::path> converted_;
  std::map<Key, libreoffice::PageLayout> layouts_;
};

// The text shown when LibreOffice is needed for a document and missing.
std::wstring OfficeMissingText(const std::filesystem::path& document);

}  // namespace docserver
