#include "batch/word_engine.h"

#include "engine/wordctrl.h"

namespace batch {

namespace {

class WordctrlEngine final : public WordEngine {
 public:
  bool StartWord() override { return word_.StartWord(); }
  bool QuitWord() override { return word_.QuitWord(); }
  std::int32_t ReadPageCount(std::wstring_view path, std::wstring& timeText,
                             util::MessageTarget* window, std::int32_t progressBase,
                             std::int32_t progressStep) override {
    return word_.ReadPageCount(path, timeText, window, progressBase, progressStep);
  }
  std::int32_t ReadChapters(std::wstring_view path, std::vector<engine::ChapterEntry>& chapters,
                            util::MessageTarget* window) override {
    return word_.ReadChapters(path, chapters, window);
  }
  std::int32_t ExportPageRange(std::wstring_view sourcePath, std::wstring_view targetPath,
                               std::int32_t firstPage, std::int32_t lastPage,
                               std::int32_t documentPages, std::int32_t alignMode) override {
    return word_.ExportPageRange(sourcePath, targetPath, firstPage, lastPage, documentPages,
                                 alignMode);
  }
  std::int32_t ExportChapterRange(std::wstring_view sourcePath, std::wstring_view targetPath,
                                  std::wstring_view beginKey, std::wstring_view endKey) override {
    return word_.ExportChapterRange(sourcePath, targetPath, beginKey, endKey);
  }
  PieceCheck VerifyPiece(std::wstring_view piecePath, std::wstring& difference) override {
    switch (word_.VerifyPiece(piecePath, difference)) {
      case 1:
        return PieceCheck::Passed;
      case 0:
        return PieceCheck::NotChecked;
      default:
        return PieceCheck::Failed;
    }
  }

 private:
  engine::wordctrl word_;
};

}  // namespace

std::unique_ptr<WordEngine> MakeWordEngine() {
  return std::make_unique<WordctrlEngine>();
}

}  // namespace batch
