#pragma once
// Word's older formats (.doc, .rtf) through LibreOffice: converted to .docx on open and back on
// save, in a scratch folder of their own.

#include <filesystem>
#include <string>

namespace docserver {

enum class FileKind { Docx, Doc, Rtf };

// What a file holds, from its first bytes.
FileKind SniffFileKind(const std::filesystem::path& path);

class ConversionFolder {
 public:
  ConversionFolder();
  ~ConversionFolder();
  ConversionFolder(const ConversionFolder&) = delete;
  ConversionFolder& operator=(const ConversionFolder&) = delete;

  // Converts a file of the given kind to the other kind; returns the result's path inside the
  // folder. Throws automation::ServerException when the conversion fails.
  std::filesystem::path Convert(const std::filesystem::path& source, FileKind from, FileKind to);

 private:
  std::filesystem::path folder_;
  int count_ = 0;
};

}  // namespace docserver
