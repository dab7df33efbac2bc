// varnik-cli killed while it writes a piece: every piece under its final name is whole, and the
// next run over the same export folder leaves no temporary piece behind.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/text.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

extern char** environ;

namespace {

namespace docx = testsupport::docx;
namespace fs = std::filesystem;

#ifndef VARNIK_CLI
#error "VARNIK_CLI must name the varnik-cli program"
#endif

pid_t Spawn(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int result = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : -1;
}

int Reap(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// Opens as a ZIP whose every entry reads back whole (lengths and checksums).
bool Whole(const fs::path& file) {
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (archive == nullptr)
    return false;
  bool whole = zip_name_locate(archive, "word/document.xml", 0) >= 0;
  std::vector<char> buffer(1 << 16);
  for (zip_int64_t i = 0; whole && i < zip_get_num_entries(archive, 0); ++i) {
    zip_file_t* entry = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    if (entry == nullptr) {
      whole = false;
      break;
    }
    zip_int64_t got = 0;
    while ((got = zip_fread(entry, buffer.data(), buffer.size())) > 0) {
    }
    whole = got == 0;
    zip_fclose(entry);
  }
  zip_discard(archive);
  return whole;
}

// Watches the export folder and every folder made in it for files appearing.
class Watch {
 public:
  explicit Watch(const fs::path& root) : fd_(inotify_init1(IN_CLOEXEC)) { Add(root); }
  ~Watch() { close(fd_); }
  bool Ready() const { return fd_ >= 0; }

  // The next file that appeared (made or renamed into place); nothing once the program ended
  // and every event was read. Folders made in a watched folder are watched as they appear.
  fs::path Next(pid_t program) {
    while (pending_.empty()) {
      pollfd ready{fd_, POLLIN, 0};
      if (poll(&ready, 1, 100) > 0) {
        Read();
      } else {
        siginfo_t ended{};
        waitid(P_PID, static_cast<id_t>(program), &ended, WEXITED | WNOHANG | WNOWAIT);
        if (ended.si_pid != 0)
          return {};
      }
    }
    fs::path next = pending_.front();
    pending_.erase(pending_.begin());
    return next;
  }

 private:
  void Add(const fs::path& folder) {
    int wd = inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MOVED_TO | IN_ONLYDIR);
    if (wd >= 0)
      folders_[wd] = folder;
  }
  void Read() {
    alignas(inotify_event) char buffer[8192];
    ssize_t got = read(fd_, buffer, sizeof buffer);
    if (got <= 0)
      return;
    for (char* at = buffer; at < buffer + got;) {
      auto* event = reinterpret_cast<inotify_event*>(at);
      at += sizeof(inotify_event) + event->len;
      auto folder = folders_.find(event->wd);
      if (folder == folders_.end() || event->len == 0)
        continue;
      fs::path path = folder->second / event->name;
      if (event->mask & IN_ISDIR)
        Add(path);
      else
        pending_.push_back(path);
    }
  }

  int fd_;
  std::map<int, fs::path> folders_;
  std::vector<fs::path> pending_;
};

bool Temporary(const fs::path& file) {
  return file.filename().string().find(".part~") != std::string::npos;
}

TEST(KilledMidSave, APieceIsWholeOrAbsent) {
  testsupport::TempFolder docs;
  testsupport::TempFolder out;
  // Pages large enough that writing a piece takes a while.
  std::string words;
  for (int w = 0; w < 40000; ++w)
    words += "word" + std::to_string(w) + " ";
  std::string body;
  for (int page = 1; page <= 8; ++page)
    body += docx::Para((page > 1 ? docx::RenderedBreak() : "") + docx::TextRun(words));
  std::wstring source = docs / L"大 document.docx";
  docx::Builder().Body(body).Pages(8).Save(source);
  fs::path folder = out.Native() / platform::ToPath(L"大 document");
  const std::vector<std::string> split = {VARNIK_CLI,
                                          "split",
                                          "--every",
                                          "1",
                                          "--export",
                                          out.Native().string(),
                                          platform::ToPath(source).string()};

  struct Moment {
    const char* name;
    bool (*now)(const fs::path& appeared);
  };
  const Moment moments[] = {
      {"the ZIP writer's file appears",
       [](const fs::path& f) {
         return f.filename().string().find(".part~.") != std::string::npos;
       }},
      {"the temporary piece is complete",
       [](const fs::path& f) { return f.string().ends_with(".part~"); }},
      {"a piece is in place", [](const fs::path& f) { return f.extension() == ".docx"; }},
  };
  for (const Moment& moment : moments) {
    SCOPED_TRACE(moment.name);
    Watch watch(out.Native());
    ASSERT_TRUE(watch.Ready());
    pid_t cli = Spawn(split);
    ASSERT_GT(cli, 0);
    bool caught = false;
    while (!caught) {
      fs::path appeared = watch.Next(cli);
      if (appeared.empty())
        break;
      // The first piece may be written before its folder is watched.
      caught = moment.now(appeared) && kill(cli, SIGKILL) == 0;
    }
    Reap(cli);
    ASSERT_TRUE(caught) << "the run ended before that moment";
    int pieces = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (Temporary(entry.path()) || entry.path().extension() != ".docx")
        continue;
      ++pieces;
      EXPECT_TRUE(Whole(entry.path())) << entry.path();
    }
    EXPECT_LT(pieces, 8);
  }

  // Run again: every piece, and nothing the killed runs were writing.
  ASSERT_EQ(Reap(Spawn(split)), 0);
  int pieces = 0;
  for (const auto& entry : fs::recursive_directory_iterator(out.Native())) {
    EXPECT_FALSE(Temporary(entry.path())) << entry.path();
    if (entry.path().extension() == ".docx") {
      ++pieces;
      EXPECT_TRUE(Whole(entry.path())) << entry.path();
    }
  }
  EXPECT_EQ(pieces, 8);
}

}  // namespace
