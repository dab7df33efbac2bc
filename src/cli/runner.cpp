#include "cli/runner.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "batch/memory_view.h"
#include "batch/message_loop.h"
#include "batch/workbench.h"
#include "cli/pages.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "util/paths.h"

namespace cli {

namespace {

using documents::DocumentStatus;

const char* StatusName(DocumentStatus status) {
  switch (status) {
    case DocumentStatus::New:
      return "New";
    case DocumentStatus::Ready:
      return "Ready";
    case DocumentStatus::Planned:
      return "Planned";
    case DocumentStatus::Processing:
      return "Processing";
    case DocumentStatus::Done:
      return "Done";
    case DocumentStatus::Failed:
      return "Failed";
    case DocumentStatus::Protected:
      return "Protected";
  }
  return "?";
}

std::string U8(std::wstring_view text) {
  return platform::ToUtf8(text);
}

// One line on standard error for a document that failed or is protected: why.
void TellWhy(Console& console, const documents::DocumentEntry& entry, DocumentStatus shown) {
  if (shown != DocumentStatus::Failed && shown != DocumentStatus::Protected)
    return;
  std::wstring reason = entry.reason.empty() ? L"no reason was given" : entry.reason;
  console.Message(entry.path + L": " + reason);
}

// The window, without a window: this thread handles the workers' messages.
class Session {
 public:
  Session(Console& console, batch::WordEngineFactory engines)
      : console_(console), bench(view, loop, std::move(engines)) {
    loop.SetHandler([this](std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
      bench.HandleMessage(message, wParam, lParam);
      if (message == util::UM_PROGRESS)
        console_.Progress(static_cast<int>(wParam));
    });
  }
  ~Session() { console_.EndProgress(); }

  void Wait() {
    loop.RunUntil([this] { return !bench.WorkerActive(); });
    console_.EndProgress();
  }

  void TakeIn(const std::vector<std::wstring>& paths) {
    bench.AcceptDrop(paths);
    Wait();
  }

  void ReadChapters(std::size_t index) {
    view.selected = bench.documents[index].row;
    if (bench.StartChapterReading(static_cast<int>(index)))
      Wait();
  }

  Console& console_;
  batch::MemoryView view;
  batch::MessageLoop loop;
  batch::Workbench bench;
};

int Info(const Options& options, std::ostream& out, Session& session) {
  session.TakeIn(options.paths);
  int status = 0;
  for (const auto& e : session.bench.documents) {
    out << StatusName(e.status) << '\t' << U8(e.pageCountText) << '\t' << U8(e.timeText) << '\t'
        << U8(e.sizeText) << '\t' << U8(e.path) << '\n';
    TellWhy(session.console_, e, e.status);
    if (e.status != DocumentStatus::Ready)
      status = 1;
  }
  return session.bench.documents.empty() ? 1 : status;
}

int Chapters(const Options& options, std::ostream& out, Session& session) {
  session.TakeIn(options.paths);
  if (session.bench.documents.empty())
    return 1;
  session.ReadChapters(0);
  int number = 1;
  for (const auto& c : session.bench.documents[0].plan.chapters) {
    out << number++ << '\t' << c.level << '\t' << U8(c.pageText) << '\t' << U8(c.title) << '\n';
  }
  return number > 1 ? 0 : 1;
}

int Split(const Options& options, std::ostream& out, Session& session) {
  auto& bench = session.bench;
  session.TakeIn(options.paths);
  if (options.chapters) {
    bench.planMode = 1;
    for (std::size_t i = 0; i < bench.documents.size(); ++i) {
      if (bench.documents[i].row == 0)
        continue;
      session.ReadChapters(i);
      auto& chapters = bench.documents[i].plan.chapters;
      for (int n : *options.chapters) {
        if (n <= static_cast<int>(chapters.size()))
          chapters[n - 1].marked = true;
      }
      bench.RebuildChapterPlan();
    }
  } else {
    bench.planMode = 0;
    session.view.baseTab = {.everyN = options.every.has_value(),
                            .everyText = options.every.value_or(L""),
                            .manualText = options.pages.value_or(L"")};
  }
  // Documents that cannot be read or are protected are cut anyway, as the window would.
  std::vector<DocumentStatus> before;
  for (const auto& e : bench.documents)
    before.push_back(e.status);
  bench.processAllFlag = 1;
  bench.StartProcessing();
  session.Wait();

  int status = bench.documents.empty() ? 1 : 0;
  for (std::size_t i = 0; i < bench.documents.size(); ++i) {
    const auto& e = bench.documents[i];
    bool processed = e.status == DocumentStatus::Done || e.status == DocumentStatus::Failed;
    DocumentStatus shown = processed ? e.status : before[i];
    out << StatusName(shown) << '\t' << U8(processed ? e.resultFolder : L"") << '\t' << U8(e.path)
        << '\n';
    TellWhy(session.console_, e, shown);
    if (shown != DocumentStatus::Done)
      status = 1;
  }
  return status;
}

std::wstring Absolute(const std::wstring& path) {
  std::error_code error;
  auto absolute = std::filesystem::absolute(platform::ToPath(path), error);
  return error ? path : platform::FromPath(absolute);
}

}  // namespace

int Run(const Options& given, std::ostream& out, Console& console,
        batch::WordEngineFactory engines) {
  // Paths as the window would have them: absolute, so the lines printed name them whole.
  Options options = given;
  for (auto& path : options.paths)
    path = Absolute(path);
  if (options.exportFolder)
    options.exportFolder = Absolute(*options.exportFolder);

  if (options.command == Command::Split) {
    using settings::CIni;
    // A folder, as the window's folder chooser stores it: with one trailing separator.
    if (options.exportFolder)
      CIni::Override(L"SETTING", L"EP", util::WithTrailingSeparator(*options.exportFolder));
    if (options.align)
      CIni::Override(L"BASE", L"ALIGN", *options.align);
    std::wstring naming = options.naming.value_or(CIni::ReadExportMode());
    // The window program turns any stored scheme but "1" into "2" when it starts.
    CIni::Override(L"SETTING", L"EM", naming == L"1" ? L"1" : L"2");
    // Results open in no window from here.
    CIni::Override(L"SETTING", L"AUTO", L"0");
    if (CIni::ReadExportPath().empty()) {
      throw UsageError{L"no export folder: give --export DIR or choose one in the window program"};
    }
  }
  if (options.command == Command::Pages)
    return PrintPages(options, out, console);
  Session session(console, std::move(engines));
  switch (options.command) {
    case Command::Info:
      return Info(options, out, session);
    case Command::Chapters:
      return Chapters(options, out, session);
    case Command::Pages:
      break;  // answered above
    case Command::Split:
      return Split(options, out, session);
    case Command::Help:
    case Command::Version:
      break;
  }
  return 0;
}

}  // namespace cli
