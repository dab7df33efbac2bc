#pragma once
// One open document: its package, its main text and the ranges that follow its edits.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "docserver/legacy.h"
#include "docserver/package.h"
#include "docserver/story.h"

namespace docserver {

// A stretch of the main text that keeps its place across edits.
struct LiveRange {
  int start = 0;
  int end = 0;
};

class Document {
 public:
  // Opens a .docx (.doc and .rtf through a conversion); throws automation::ServerException
  // when it cannot be read.
  Document(const std::filesystem::path& path, bool readOnly);

  const Story& story() const { return story_; }
  const std::filesystem::path& Path() const { return path_; }
  bool ReadOnly() const { return readOnly_; }

  int FileFormat() const { return format_; }
  int Protection();  // -1 when not protected
  // Time of the last save as an automation date, local time.
  std::optional<double> LastSaved();
  int OutlineLevel(int paragraph) const;

  std::shared_ptr<LiveRange> MakeRange(int start, int end);

  // Edits of the main text. Ranges are moved along.
  void Delete(int start, int end);
  // Inserts a page break at a position; inside a table the table is split at that row.
  // Returns the number of positions inserted (always one).
  int InsertBreak(int pos, LiveRange* caller);

  // Writes the document as .docx (formats 12 to 16), .doc (0) or .rtf (6); the source file is
  // never touched.
  void SaveAs(const std::filesystem::path& target, int format);

 private:
  void Reindex();
  void SplitAt(int pos);
  void ConvertSimpleFields();
  void DeleteBlock(pugi::xml_node container, int a, int b, pugi::xml_node finalPara);
  void DeleteInline(pugi::xml_node container, int a, int b);
  void KeepInheritedHeaders(int a, int b);
  void Inherit(pugi::xml_node sect, const std::map<std::string, pugi::xml_node>& refs);
  void TidyEnd();
  void DropStaleRecordedBreaks();
  void Normalize();
  void PruneNotes(const char* part, const char* root, const char* item, const char* reference);
  void PruneParts();

  std::filesystem::path path_;
  bool readOnly_ = false;
  int format_ = 12;
  std::unique_ptr<ConversionFolder> conversions_;
  std::unique_ptr<Package> package_;
  std::string mainPart_;
  pugi::xml_node body_;
  Styles styles_;
  Story story_;
  std::vector<std::weak_ptr<LiveRange>> ranges_;
  bool dirty_ = false;
};

}  // namespace docserver
