#pragma once
// One open document: its package, its main text and the ranges that follow its edits.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "docserver/legacy.h"
#include "docserver/numbering.h"
#include "docserver/package.h"
#include "docserver/piece_check.h"
#include "docserver/story.h"

namespace docserver {

// A stretch of the main text that keeps its place across edits.
struct LiveRange {
  int start = 0;
  int end = 0;
};

// The body paragraphs as LibreOffice's layout numbers them: every w:p under the body, in
// document order, not inside another w:p (text boxes) nor inside mc:Fallback.
std::vector<pugi::xml_node> LayoutParagraphs(pugi::xml_node body);

// Positions of the story where each page of a layout starts, one per page (a blank page the
// layout inserted starts where the next page does).
std::vector<int> MapPageStarts(const Story& story, const std::vector<pugi::xml_node>& paragraphs,
                               const libreoffice::PageLayout& layout);

// The attribute that marks a paragraph put between the halves of a table split for a cut.
inline constexpr const char* kSplitMark = "varnik-split";

class Document {
 public:
  // Opens a .docx (.doc and .rtf converted by the office); throws automation::ServerException
  // when it cannot be read. Without an office host the document makes its own.
  Document(const std::filesystem::path& path, bool readOnly,
           std::shared_ptr<OfficeHost> office = nullptr, SourceCache* sources = nullptr);

  const Story& story() const { return story_; }
  const std::filesystem::path& Path() const { return path_; }
  bool ReadOnly() const { return readOnly_; }

  int FileFormat() const { return format_; }
  // Where each page starts: Word's own record when it is complete, otherwise LibreOffice's
  // layout (asked on first need). Throws automation::ServerException when the layout is needed
  // and cannot be had.
  const std::vector<int>& PageStarts();
  // What put each of PageStarts() there.
  const std::vector<PageSource>& PageSources();
  // The page count Word saved in the document's properties; 0 when it saved none.
  int SavedPages() const { return savedPages_; }
  // 0-based page of a position (by the document's own breaks when the layout cannot be had).
  int PageAt(int pos);
  // Whether the pages come from LibreOffice's layout rather than from the document itself.
  bool UsesLayout() const { return needsLayout_; }
  // Whether Word's own starts were kept and only the pages it did not record taken from the
  // layout (known once PageStarts() laid the document out).
  bool CompletesWordRecord() const { return completed_; }
  // The pages of LibreOffice's layout alone; 0 before it was asked.
  int LayoutPageCount() const { return layoutPages_; }
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

  // What is left of the source as it was opened, for checking the piece a save writes.
  PieceRecord Kept() const;

 private:
  void Reindex();
  // Marks the document changed; the first time, before anything is changed.
  void Touch();
  bool WordPagination();
  void LayOut();
  bool SplitAt(int pos);  // whether a run was split
  void ConvertSimpleFields();
  // The element children of a container whose spans meet [a, b), each with its span; empty
  // elements strictly inside are removed on the way.
  std::vector<std::pair<pugi::xml_node, Span>> ChildrenMeeting(pugi::xml_node container, int a,
                                                               int b);
  void DeleteBlock(pugi::xml_node container, int a, int b, pugi::xml_node finalPara);
  void DeleteInline(pugi::xml_node container, int a, int b);
  void KeepInheritedHeaders(int a, int b);
  void Inherit(pugi::xml_node sect, const std::map<std::string, pugi::xml_node>& refs);
  void TidyEnd();
  void DropStaleRecordedBreaks();
  void DropRepeatedRowStarts(int b);
  int JoinSplitTables();
  void Normalize();
  void PruneNotes(const char* part, const char* root, const char* item, const char* reference);
  void PruneParts();
  bool PiecePagesAreWords() const;
  void RecordPageCount(bool wordPages);
  // Follows an edit in the map from positions to the source's: removed positions at `at`,
  // then inserted ones there; marks the edits made beside them as new at the end.
  // alsoRemovedAt: one more position removed before `at` (-1: none).
  void FollowEdit(int at, int removed, int inserted, int alsoRemovedAt = -1);
  void Remap(int at, int removed, int inserted);

  std::filesystem::path path_;
  bool readOnly_ = false;
  int format_ = 12;
  std::shared_ptr<OfficeHost> office_;
  std::filesystem::path docx_;  // the .docx read: the source or its conversion
  std::unique_ptr<Package> package_;
  std::string mainPart_;
  pugi::xml_node body_;
  Styles styles_;
  Story story_;
  std::vector<std::weak_ptr<LiveRange>> ranges_;
  bool dirty_ = false;
  SourceNumbers numbers_;
  bool needsLayout_ = false;
  bool laidOut_ = false;
  std::vector<int> layoutStarts_;  // moved along by edits like the ranges
  std::vector<int> pages_;
  std::vector<PageSource> pageSources_;
  std::vector<PageSource> layoutSources_;  // one for each of layoutStarts_
  int savedPages_ = 0;
  int layoutPages_ = 0;
  bool completed_ = false;
  // The source as it was opened: its characters, its page starts where Word recorded them, and
  // the text now as stretches of the source (start, length) or of new positions (-1, length).
  std::shared_ptr<const std::wstring> sourceChars_;
  std::vector<int> sourcePageStarts_;
  std::vector<Span> sourceCodes_;  // each field's begin and the end of its code, in order
  // The source's page starts and their sources where Word's record was completed by the layout.
  std::vector<std::pair<int, PageSource>> sourceStarts_;
  std::vector<std::pair<int, int>> origin_;
};

}  // namespace docserver
