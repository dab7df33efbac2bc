#pragma once
// The engine as the workers use it: one object per worker, started, used and quit on that
// worker's thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/chapter_entry.h"
#include "util/window_messages.h"

namespace batch {

// What the check of a written piece found.
enum class PieceCheck { Passed, Failed, NotChecked };

class WordEngine {
 public:
  virtual ~WordEngine() = default;
  virtual bool StartWord() = 0;
  virtual bool QuitWord() = 0;
  virtual std::int32_t ReadPageCount(std::wstring_view path, std::wstring& timeText,
                                     util::MessageTarget* window, std::int32_t progressBase,
                                     std::int32_t progressStep) = 0;
  virtual std::int32_t ReadChapters(std::wstring_view path,
                                    std::vector<engine::ChapterEntry>& chapters,
                                    util::MessageTarget* window) = 0;
  virtual std::int32_t ExportPageRange(std::wstring_view sourcePath, std::wstring_view targetPath,
                                       std::int32_t firstPage, std::int32_t lastPage,
                                       std::int32_t documentPages, std::int32_t alignMode) = 0;
  virtual std::int32_t ExportChapterRange(std::wstring_view sourcePath,
                                          std::wstring_view targetPath, std::wstring_view beginKey,
                                          std::wstring_view endKey) = 0;
  // Checks the piece the last export wrote at piecePath against what its cut kept of the
  // source; difference says what differs when it failed. NotChecked where the server cannot
  // check (Word itself).
  virtual PieceCheck VerifyPiece(std::wstring_view piecePath, std::wstring& difference) = 0;
};

using WordEngineFactory = std::function<std::unique_ptr<WordEngine>()>;

// The real engine (wordctrl) behind the interface.
std::unique_ptr<WordEngine> MakeWordEngine();

}  // namespace batch
