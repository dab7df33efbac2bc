// A run over the real engine and the built-in document server while the machine fails under it:
// the document hit fails with a reason the user can read, what else was made stays, the next
// document is cut, and no temporary piece and no office process is left behind.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "batch/memory_view.h"
#include "batch/message_loop.h"
#include "batch/workbench.h"
#include "docserver/libreoffice/office.h"
#include "docserver/server.h"
#include "planning/output_folders.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"
#include "util/message_box.h"
#include "util/paths.h"

namespace {

namespace docx = testsupport::docx;
namespace fs = std::filesystem;
using documents::DocumentStatus;
using testsupport::TempFolder;

// `pages` pages saying "<word> <page>.", each after the page start Word recorded.
std::string Pages(int pages, const std::string& word = "Page") {
  std::string body;
  for (int p = 1; p <= pages; ++p) {
    body += docx::Para((p > 1 ? docx::RenderedBreak() : "") +
                       docx::TextRun(word + " " + std::to_string(p) + "."));
  }
  return body;
}

// The same pages begun by explicit breaks, which LibreOffice keeps in other formats.
std::string BrokenPages(int pages) {
  std::string body;
  for (int p = 1; p <= pages; ++p) {
    body += docx::Para((p > 1 ? docx::PageBreak() : "") +
                       docx::TextRun("Page " + std::to_string(p) + "."));
  }
  return body;
}

void SaveDocx(const std::wstring& path, const std::string& body, int pages) {
  docx::Builder().Body(body).Pages(pages).Save(path);
}

// Every process this one started, and theirs (zombies already reaped by their parent aside).
std::vector<pid_t> Descendants() {
  std::map<pid_t, pid_t> parents;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    pid_t pid = std::atoi(entry.path().filename().c_str());
    if (pid <= 0)
      continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    std::getline(stat, line);
    std::size_t close = line.rfind(')');
    if (close == std::string::npos)
      continue;
    std::istringstream rest(line.substr(close + 1));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    parents[pid] = parent;
  }
  std::vector<pid_t> found;
  for (const auto& [pid, parent] : parents) {
    for (pid_t up = parent; up > 1;) {
      if (up == getpid()) {
        found.push_back(pid);
        break;
      }
      auto it = parents.find(up);
      if (it == parents.end())
        break;
      up = it->second;
    }
  }
  return found;
}

// Signals every process this one started, over and over, while it is switched on.
class Saboteur {
 public:
  explicit Saboteur(int signal) : signal_(signal), thread_([this] { Run(); }) {}
  ~Saboteur() {
    quit_ = true;
    thread_.join();
  }
  void Start() { on_ = true; }
  void Stop() { on_ = false; }
  int Hits() const { return hits_; }

 private:
  void Run() {
    std::set<pid_t> signalled;
    while (!quit_) {
      if (on_) {
        for (pid_t pid : Descendants()) {
          // A stopped process stays stopped: once each is enough.
          if (signal_ == SIGSTOP && !signalled.insert(pid).second)
            continue;
          if (kill(pid, signal_) == 0)
            ++hits_;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  int signal_;
  std::atomic<bool> on_{false};
  std::atomic<bool> quit_{false};
  std::atomic<int> hits_{0};
  std::thread thread_;
};

// The view of a window that tells the test when a document starts and ends.
class WatchedView : public batch::MemoryView {
 public:
  std::function<void(batch::RowId, DocumentStatus)> onStatus;
  void ShowStatus(batch::RowId row, DocumentStatus status) override {
    MemoryView::ShowStatus(row, status);
    if (onStatus)
      onStatus(row, status);
  }
};

// A small file system of its own, mounted for one test (root only).
class SmallDisk {
 public:
  explicit SmallDisk(const fs::path& at) : at_(at) {
    fs::create_directories(at_);
    mounted_ = mount("varnik-test", at_.c_str(), "tmpfs", 0, "size=2m") == 0;
  }
  ~SmallDisk() {
    if (mounted_)
      umount2(at_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  bool MakeReadOnly() {
    return mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  // Writes a file until the disk is full.
  void Fill() {
    std::ofstream filler(at_ / "filler", std::ios::binary);
    std::string block(64 * 1024, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
      filler.flush();
  }
  void Unfill() { fs::remove(at_ / "filler"); }

 private:
  fs::path at_;
  bool mounted_ = false;
};

// Two documents of six pages in a folder of their own: the first meets the fault, the second
// must come through it.
struct TwoSources {
  TempFolder folder;
  std::wstring first = folder / L"first.docx";
  std::wstring second = folder / L"second.docx";
  TwoSources() {
    SaveDocx(first, Pages(6), 6);
    SaveDocx(second, Pages(6), 6);
  }
};

class RunFaults : public ::testing::Test {
 protected:
  RunFaults() {
    docserver::RegisterBuiltInServer();
    previous_ = util::SetMessagePresenter([this](std::wstring_view text, void*) {
      std::lock_guard guard(lock_);
      messages.emplace_back(text);
    });
    loop.SetHandler([this](std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
      bench.HandleMessage(message, wParam, lParam);
      // A piece's progress is sent before the piece is written, and the worker waits for it.
      if (message == util::UM_PROGRESS && current_) {
        ++piece_;
        if (beforePiece)
          beforePiece(*current_, piece_);
      }
    });
    view.onStatus = [this](batch::RowId row, DocumentStatus status) {
      const std::wstring& name = view.rows[row].name;
      if (status == DocumentStatus::Processing) {
        current_ = name;
        piece_ = 0;
        if (atStart)
          atStart(name);
      } else if (current_ == name) {
        current_.reset();
        if (atEnd)
          atEnd(name);
      }
    };
    exportFolder = out.Native() / "export";
  }
  ~RunFaults() override {
    bench.JoinWorker();
    util::SetMessagePresenter(previous_);
  }

  std::wstring Docx(const std::wstring& name, const std::string& body) {
    std::wstring path = docs / name;
    SaveDocx(path, body, 6);
    return path;
  }

  // The documents in, then "Process All" cutting every 2 pages into exportFolder.
  void Cut(const std::vector<std::wstring>& paths) {
    settings::CIni::WriteString(L"SETTING", L"EP",
                                util::WithTrailingSeparator(platform::FromPath(exportFolder)));
    settings::CIni::WriteString(L"SETTING", L"EM", L"1");
    settings::CIni::WriteString(L"SETTING", L"AUTO", L"0");
    bench.AddFiles(paths);
    Wait();
    ASSERT_EQ(bench.documents.size(), paths.size());
    view.baseTab = {.everyN = true, .everyText = L"2", .manualText = L""};
    bench.planMode = 0;
    bench.processAllFlag = 1;
    bench.StartProcessing();
    Wait();
    bench.JoinWorker();
  }

  void Wait() {
    loop.RunUntil([this] { return !bench.WorkerActive(); });
  }

  const documents::DocumentEntry& Entry(std::size_t index) const { return bench.documents[index]; }

  // The pieces in a document's output folder.
  std::set<std::wstring> Pieces(const std::wstring& folder) const {
    std::set<std::wstring> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(exportFolder / platform::ToPath(folder), error))
      if (platform::FromPath(entry.path().filename()) != planning::kOutputFolderMarker)
        names.insert(platform::FromPath(entry.path().filename()));
    return names;
  }

  // What a failed save or a killed office could leave: temporary pieces, the server's folders.
  void ExpectNothingLeftOver() {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(exportFolder, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
      EXPECT_EQ(it->path().filename().string().find(".part~"), std::string::npos) << it->path();
    }
    EXPECT_EQ(Descendants(), std::vector<pid_t>{}) << "processes left running";
  }

  TempFolder program;
  testsupport::ProgramFolderScope scope{program};
  TempFolder docs;
  TempFolder out;
  fs::path exportFolder;
  WatchedView view;
  batch::MessageLoop loop;
  batch::Workbench bench{view, loop, batch::MakeWordEngine};
  std::function<void(const std::wstring& name, int piece)> beforePiece;
  std::function<void(const std::wstring& name)> atStart;
  std::function<void(const std::wstring& name)> atEnd;
  std::vector<std::wstring> messages;

 private:
  std::mutex lock_;
  util::MessagePresenter previous_;
  std::optional<std::wstring> current_;
  int piece_ = 0;
};

const std::set<std::wstring> kAllPieces = {L"[1]-[2].docx", L"[3]-[4].docx", L"[5]-[6].docx"};

bool Contains(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

TEST_F(RunFaults, TheExportDiskFillsUp) {
  if (geteuid() != 0)
    GTEST_SKIP() << "mounting a small disk needs root";
  SmallDisk disk(exportFolder);
  if (!disk.Mounted())
    GTEST_SKIP() << "a tmpfs cannot be mounted here";
  std::wstring first = Docx(L"first one.docx", Pages(6));
  std::wstring second = Docx(L"第二.docx", Pages(6));
  beforePiece = [&](const std::wstring& name, int piece) {
    if (name == L"first one" && piece == 2)
      disk.Fill();
  };
  atStart = [&](const std::wstring& name) {
    if (name == L"第二")
      disk.Unfill();
  };
  Cut({first, second});

  EXPECT_EQ(Entry(0).status, DocumentStatus::Failed);
  EXPECT_PRED2(Contains, Entry(0).reason, L"'first one' pages [3]-[4] could not be written");
  EXPECT_PRED2(Contains, Entry(0).reason, L"No space left on device");
  EXPECT_EQ(Pieces(L"first one"), std::set<std::wstring>{L"[1]-[2].docx"});
  EXPECT_EQ(Entry(1).status, DocumentStatus::Done) << platform::ToUtf8(Entry(1).reason);
  EXPECT_EQ(Pieces(L"第二"), kAllPieces);
  ExpectNothingLeftOver();
}

TEST_F(RunFaults, TheExportFolderGoesAway) {
  struct Case {
    const char* fault;
    DocumentStatus second;
    std::wstring firstReason;
    std::wstring secondReason;
    std::set<std::wstring> firstPieces;
  };
  const Case cases[] = {
      // The folder of the setting is made again for the next document.
      {"removed", DocumentStatus::Done, L"output folder was removed while it was cut", L"", {}},
      {"read-only",
       DocumentStatus::Failed,
       L"Read-only file system",
       L"could not be made",
       {L"[1]-[2].docx"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    bool readOnly = std::string(c.fault) == "read-only";
    if (readOnly && geteuid() != 0) {
      std::cout << "read-only case left out: mounting needs root\n";
      continue;
    }
    std::optional<SmallDisk> disk;
    if (readOnly) {
      disk.emplace(exportFolder);
      if (!disk->Mounted()) {
        std::cout << "read-only case left out: a tmpfs cannot be mounted here\n";
        continue;
      }
    }
    TwoSources sources;
    const std::wstring& first = sources.first;
    const std::wstring& second = sources.second;
    beforePiece = [&](const std::wstring& name, int piece) {
      if (name != L"first" || piece != 2)
        return;
      if (readOnly)
        ASSERT_TRUE(disk->MakeReadOnly());
      else
        fs::remove_all(exportFolder);
    };
    bench.documents.clear();
    Cut({first, second});

    EXPECT_EQ(Entry(0).status, DocumentStatus::Failed);
    EXPECT_PRED2(Contains, Entry(0).reason, c.firstReason);
    EXPECT_EQ(Pieces(L"first"), c.firstPieces);
    EXPECT_EQ(Entry(1).status, c.second) << platform::ToUtf8(Entry(1).reason);
    EXPECT_PRED2(Contains, Entry(1).reason, c.secondReason);
    EXPECT_EQ(Pieces(L"second"),
              c.second == DocumentStatus::Done ? kAllPieces : std::set<std::wstring>{});
    ExpectNothingLeftOver();
  }
}

TEST_F(RunFaults, TheSourceChangesAfterIntake) {
  struct Case {
    const char* fault;
    std::function<void(const std::wstring& path)> change;
    std::wstring reason;
  };
  const Case cases[] = {
      {"deleted", [](const std::wstring& path) { fs::remove(platform::ToPath(path)); },
       L"is no longer where it was added"},
      // The same pages, other words: pieces cut from it would not be the document added.
      {"replaced",
       [](const std::wstring& path) {
         TempFolder elsewhere;
         SaveDocx(elsewhere / L"new.docx", Pages(6, "Other"), 6);
         fs::rename(elsewhere.Native() / "new.docx", platform::ToPath(path));
       },
       L"changed since it was added"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    TwoSources sources;
    const std::wstring& first = sources.first;
    const std::wstring& second = sources.second;
    beforePiece = [&](const std::wstring& name, int piece) {
      if (name == L"first" && piece == 2)
        c.change(first);
    };
    bench.documents.clear();
    fs::remove_all(exportFolder);
    Cut({first, second});

    EXPECT_EQ(Entry(0).status, DocumentStatus::Failed);
    EXPECT_PRED2(Contains, Entry(0).reason, c.reason);
    EXPECT_EQ(Pieces(L"first"), std::set<std::wstring>{L"[1]-[2].docx"});
    EXPECT_EQ(Entry(1).status, DocumentStatus::Done) << platform::ToUtf8(Entry(1).reason);
    EXPECT_EQ(Pieces(L"second"), kAllPieces);
    ExpectNothingLeftOver();
  }
}

// LibreOffice converts and lays out the .rtf documents: killed whenever it runs while the first
// document is cut, or stopped once in the middle of it.
TEST_F(RunFaults, LibreOfficeDiesOrHangs) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  // A hung office is given up after this long.
  setenv("VARNIK_OFFICE_TIMEOUT", "8", 1);
  TempFolder sources;
  {
    libreoffice::Office office;
    for (const wchar_t* name : {L"first", L"second"}) {
      std::wstring made = sources / (std::wstring(name) + L".docx");
      SaveDocx(made, BrokenPages(6), 6);
      office.ConvertFromDocx(made, sources / (std::wstring(name) + L".rtf"),
                             libreoffice::Format::Rtf);
    }
  }
  const std::set<std::wstring> rtfPieces = {L"[1]-[2].rtf", L"[3]-[4].rtf", L"[5]-[6].rtf"};
  struct Case {
    const char* fault;
    int signal;
    bool always;
    const wchar_t* first;  // the document hit
    int piece;             // before which of its pieces
    DocumentStatus status;
    std::wstring reason;
    std::set<std::wstring> firstPieces;
  };
  const Case cases[] = {
      // Converting the first piece back to .rtf.
      {"killed in a conversion",
       SIGKILL,
       true,
       L"first.rtf",
       2,
       DocumentStatus::Failed,
       L"LibreOffice failed on",
       {L"[1]-[2].rtf"}},
      // From the first piece on: opening the .rtf (converted and laid out in one load), then
      // converting the piece back.
      {"killed from the start",
       SIGKILL,
       true,
       L"first.rtf",
       1,
       DocumentStatus::Failed,
       L"LibreOffice failed on",
       {}},
      // The call is given up, the office started again and the piece written.
      {"hung", SIGSTOP, false, L"first.rtf", 2, DocumentStatus::Done, L"", rtfPieces},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    Saboteur saboteur(c.signal);
    int stopped = 0;
    beforePiece = [&](const std::wstring& name, int piece) {
      if (name != L"first" || piece != c.piece)
        return;
      if (c.always) {
        saboteur.Start();
      } else {
        // Once: the office that runs as the piece begins, and no other.
        for (pid_t pid : Descendants())
          stopped += kill(pid, c.signal) == 0 ? 1 : 0;
      }
    };
    atEnd = [&](const std::wstring&) { saboteur.Stop(); };
    bench.documents.clear();
    fs::remove_all(exportFolder);
    Cut({sources / c.first, sources / L"second.rtf"});

    EXPECT_GT(c.always ? saboteur.Hits() : stopped, 0) << "no office was hit";
    EXPECT_EQ(Entry(0).status, c.status) << platform::ToUtf8(Entry(0).reason);
    EXPECT_PRED2(Contains, Entry(0).reason, c.reason);
    EXPECT_EQ(Pieces(L"first"), c.firstPieces);
    EXPECT_EQ(Entry(1).status, DocumentStatus::Done) << platform::ToUtf8(Entry(1).reason);
    EXPECT_EQ(Pieces(L"second"), rtfPieces);
    ExpectNothingLeftOver();
  }
  unsetenv("VARNIK_OFFICE_TIMEOUT");
}

}  // namespace
