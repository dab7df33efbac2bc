#include "batch/fake_engine.h"

#include <algorithm>

#include "support/temp_folder.h"
#include "util/message_box.h"

namespace testsupport {

namespace {

class FakeEngine final : public batch::WordEngine {
 public:
  explicit FakeEngine(EngineScript& script) : script_(script) {}

  bool StartWord() override {
    if (script_.onStart)
      script_.onStart();
    std::lock_guard guard(script_.lock);
    ++script_.starts;
    return script_.startSucceeds;
  }
  bool QuitWord() override {
    std::lock_guard guard(script_.lock);
    ++script_.quits;
    return true;
  }
  std::int32_t ReadPageCount(std::wstring_view path, std::wstring& timeText,
                             util::MessageTarget* window, std::int32_t base,
                             std::int32_t step) override {
    // The work copy has no name of its own; the test scripts by the copied content.
    std::wstring key = Content(path);
    if (window != nullptr)
      window->Post(util::UM_PROGRESS, base + step, 0);
    int pages = 5;
    if (auto it = script_.pageCounts.find(key); it != script_.pageCounts.end())
      pages = it->second;
    if (!Exists(path))
      pages = -1;
    if (auto it = script_.times.find(key); it != script_.times.end())
      timeText = it->second;
    return pages;
  }
  std::int32_t ReadChapters(std::wstring_view, std::vector<engine::ChapterEntry>& chapters,
                            util::MessageTarget*) override {
    chapters.insert(chapters.end(), script_.chapters.begin(), script_.chapters.end());
    return chapters.empty() ? -1 : 1;
  }
  std::int32_t ExportPageRange(std::wstring_view source, std::wstring_view target,
                               std::int32_t first, std::int32_t last, std::int32_t pages,
                               std::int32_t align) override {
    Record({std::wstring(source), std::wstring(target), first, last, pages, align, {}, {}});
    if (first > last)
      return -1;
    if (std::find(script_.failingFirstPages.begin(), script_.failingFirstPages.end(), first) !=
        script_.failingFirstPages.end()) {
      if (!script_.failureText.empty())
        util::ShowMessageBox(script_.failureText);
      return -1;
    }
    WriteFile(target, "piece");
    return 1;
  }
  std::int32_t ExportChapterRange(std::wstring_view source, std::wstring_view target,
                                  std::wstring_view beginKey, std::wstring_view endKey) override {
    Record({std::wstring(source), std::wstring(target), 0, 0, 0, 0, std::wstring(beginKey),
            std::wstring(endKey)});
    if (script_.chapterExportResult == 1)
      WriteFile(target, "chapter");
    return script_.chapterExportResult;
  }

  batch::PieceCheck VerifyPiece(std::wstring_view piecePath, std::wstring& difference) override {
    std::lock_guard guard(script_.lock);
    script_.verified.emplace_back(piecePath);
    auto it = script_.pieceFaults.find(std::wstring(piecePath));
    if (it == script_.pieceFaults.end())
      return batch::PieceCheck::Passed;
    difference = it->second;
    return batch::PieceCheck::Failed;
  }

 private:
  static std::wstring Content(std::wstring_view path) {
    std::string bytes = ReadFile(path);
    return std::wstring(bytes.begin(), bytes.end());
  }
  void Record(ExportCall call) {
    std::lock_guard guard(script_.lock);
    script_.exports.push_back(std::move(call));
  }
  EngineScript& script_;
};

}  // namespace

batch::WordEngineFactory FakeEngines(EngineScript& script) {
  return [&script] { return std::make_unique<FakeEngine>(script); };
}

}  // namespace testsupport
