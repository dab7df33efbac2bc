#pragma once
// The engine object: one per worker thread, from StartWord to QuitWord. Every request reaches the
// "Word.Application" automation server through the member table; errors never leave an operation.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/chapter_entry.h"
#include "engine/com_apartment.h"
#include "engine/word_object.h"
#include "util/window_messages.h"

namespace engine {

class wordctrl {
 public:
  wordctrl() = default;
  virtual ~wordctrl();
  wordctrl(const wordctrl&) = delete;
  wordctrl& operator=(const wordctrl&) = delete;

  // Starts the server hidden. Shows "MS Word initialization failed. Ensure that you have
  // already installed" when no server can be made.
  bool StartWord();
  // Quits the server unless documents are still open in it; then it only lets go of it.
  bool QuitWord();

  // Pages of the document, -2 when protected, -1 when it cannot be read. timeText receives the
  // last-save time. Posts UM_PROGRESS progressBase + progressStep to window when done.
  std::int32_t ReadPageCount(std::wstring_view path, std::wstring& timeText,
                             util::MessageTarget* window, std::int32_t progressBase,
                             std::int32_t progressStep);

  // Appends the headings of the document's tables of contents. 1 when chapters holds at least
  // one entry afterwards, else -1.
  std::int32_t ReadChapters(std::wstring_view path, std::vector<ChapterEntry>& chapters,
                            util::MessageTarget* window);

  // Cuts pages firstPage..lastPage out of the source and saves them as targetPath.
  std::int32_t ExportPageRange(std::wstring_view sourcePath, std::wstring_view targetPath,
                               std::int32_t firstPage, std::int32_t lastPage,
                               std::int32_t documentPages, std::int32_t alignMode);

  // Cuts the text from the bookmark beginKey to the bookmark endKey (or to the end for the
  // end-of-document key) and saves it as targetPath.
  std::int32_t ExportChapterRange(std::wstring_view sourcePath, std::wstring_view targetPath,
                                  std::wstring_view beginKey, std::wstring_view endKey);

  // Asks the server whether the piece an export just wrote is exactly what its cut kept: it
  // opens again, its parts are whole, its text and pages are its range's. 1 when it is, -1 with
  // difference set when it is not, 0 when the server cannot tell (Word itself has no such
  // check).
  std::int32_t VerifyPiece(std::wstring_view piecePath, std::wstring& difference);

 private:
  ComApartment apartment_;  // declared first: left only after the application is released
  WordObject application_;
};

}  // namespace engine
