#pragma once
// LibreOffice as converter and layout engine for documents Word never laid out: one headless
// process per owner, spoken to through its own API over a private pipe.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "docserver/libreoffice/errors.h"
#include "docserver/libreoffice/formats.h"

namespace libreoffice {

// Whether this build can use LibreOffice and it is installed. Without it every operation of
// Office throws OfficeError "LibreOffice is not installed ...".
bool IsAvailable();

// Where one page of LibreOffice's layout starts, in the document's own paragraphs.
//
// page: the page's number in LibreOffice's layout, from 1.
// paragraph: index, from 0, of the .docx body paragraph the page starts in. Paragraphs are
//   counted in document order over every w:p element inside w:body that has no w:p ancestor
//   and is not inside mc:Fallback: paragraphs of table cells (nested tables too, cell by cell,
//   row by row) and of block-level content controls count; paragraphs inside text boxes or
//   drawings (they sit inside another w:p) do not.
// offset: characters of that paragraph's text before the page start, as LibreOffice reads it:
//   text and field results (never field codes), one for each tab, line, column or page break.
//   0 means the page starts with the paragraph.
// A page that starts with a table row starts at the row's first cell paragraph (a repeated
// heading row is not the page's start).
struct PageStart {
  int page = 0;
  int paragraph = 0;
  int offset = 0;
  bool operator==(const PageStart&) const = default;
};

struct PageLayout {
  int pageCount = 0;  // LibreOffice's page count, automatically inserted blank pages included
  // One entry per page that holds text, in page order, pages 1 to pageCount; automatically
  // inserted blank pages (a section that must start on an odd or even page) have none.
  std::vector<PageStart> starts;
};

// Bounds measured in the office's own work, so that a loaded machine does not cut them short: a
// start or a call is given up when the office has used that much processor time on it, or none
// at all for that long (see Watchdog).
struct OfficeOptions {
  std::chrono::milliseconds startTimeout{std::chrono::seconds(60)};
  // Bound on one document's work (load, store or layout, and close).
  std::chrono::milliseconds callTimeout{std::chrono::seconds(180)};
  // Pieces of work one office process does before it is started anew.
  int documentsPerStart = 200;
};

// One headless LibreOffice process, started on first need and reused for many documents (started
// anew after documentsPerStart of them), with a private profile folder and a unique pipe name.
// Not for concurrent use: one per worker thread (separate objects run in parallel). The
// destructor ends the process and removes its profile. A process that crashed or stopped
// answering is killed and started again once for the same document; if that fails too the
// document's operation throws OfficeError. Nothing waits without a bound.
class Office {
 public:
  Office();
  explicit Office(OfficeOptions options);
  ~Office();
  Office(const Office&) = delete;
  Office& operator=(const Office&) = delete;

  // Converts a .doc, .rtf or .docx to .docx. The source format is read from the file's content
  // (not its name, so working copies without an extension work); a file of none of these
  // formats is refused, never imported as text. The source is opened read-only; the target is
  // replaced and checked before success is reported.
  void ConvertToDocx(const std::wstring& source, const std::wstring& target);
  // Same with the source format given; a file whose content is not of that format is refused.
  void ConvertToDocx(const std::wstring& source, const std::wstring& target, Format format);

  // Converts a .doc or .rtf to .docx and lays out the document as loaded from it, in the same
  // load: its pages mapped onto the written .docx's body paragraphs (see PageStart). Nothing
  // when the loaded paragraphs cannot be matched with the written ones (the .docx is written
  // all the same).
  std::optional<PageLayout> ConvertToDocxAndLayOut(const std::wstring& source,
                                                   const std::wstring& target, Format format);

  // Converts a .docx to .doc (Format::Doc) or .rtf (Format::Rtf), or copies it through
  // LibreOffice as .docx (Format::Docx).
  void ConvertFromDocx(const std::wstring& source, const std::wstring& target, Format format);

  // LibreOffice's own pagination of a .docx, mapped onto its body paragraphs (see PageStart).
  // The document is not changed: the markers go into a temporary copy.
  PageLayout PageStarts(const std::wstring& docx);

  // For each body paragraph (counted as for PageStart), the page of LibreOffice's layout its
  // start is on; 0 for a paragraph LibreOffice did not keep. Dearer than PageStarts (a call per
  // paragraph); for checks and measurements.
  std::vector<int> ParagraphPages(const std::wstring& docx);

  // Ends the process now (the next operation starts a new one). Also done by the destructor.
  void Stop();
  bool Running() const;
  // Times the process was started, and its process (and process group) id or -1: for tests
  // and measurements.
  int Starts() const;
  int ProcessId() const;

 private:
  void Convert(const std::wstring& source, Format from, const std::wstring& target, Format to);

  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace libreoffice
