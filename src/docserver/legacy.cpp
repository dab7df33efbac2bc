#include "docserver/legacy.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "automation/errors.h"
#include "platform/text.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace docserver {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const fs::path& path) {
  throw automation::ServerException(L"The document could not be converted: " +
                                    platform::FromPath(path));
}

const char* Extension(FileKind kind) {
  switch (kind) {
    case FileKind::Doc:
      return "doc";
    case FileKind::Rtf:
      return "rtf";
    default:
      return "docx";
  }
}

const char* Filter(FileKind kind) {
  switch (kind) {
    case FileKind::Doc:
      return "MS Word 97";
    case FileKind::Rtf:
      return "Rich Text Format";
    default:
      return "MS Word 2007 XML";
  }
}

#ifndef _WIN32
// Runs the office program and waits for it, at most two minutes.
bool Run(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  // Its chatter is of no use to anyone here.
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &files, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  if (rc != 0)
    return false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid)
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0)
      return false;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}
#endif

}  // namespace

FileKind SniffFileKind(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char head[8] = {};
  in.read(head, sizeof head);
  static const unsigned char ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (in.gcount() == 8 && std::memcmp(head, ole, 8) == 0)
    return FileKind::Doc;
  if (in.gcount() >= 5 && std::memcmp(head, "{\\rtf", 5) == 0)
    return FileKind::Rtf;
  return FileKind::Docx;
}

ConversionFolder::ConversionFolder() {
  static std::atomic<int> counter{0};
#ifndef _WIN32
  std::string name = "varnik-office-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
#else
  std::string name = "varnik-office-" + std::to_string(counter++);
#endif
  folder_ = fs::temp_directory_path() / name;
  std::error_code ec;
  fs::remove_all(folder_, ec);
  fs::create_directories(folder_, ec);
}

ConversionFolder::~ConversionFolder() {
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

fs::path ConversionFolder::Convert(const fs::path& source, FileKind from, FileKind to) {
#ifdef _WIN32
  (void)from;
  (void)to;
  Fail(source);
#else
  // Own names, so that the office program sees a plain name with the right extension.
  fs::path work = folder_ / std::to_string(count_++);
  std::error_code ec;
  fs::create_directories(work, ec);
  fs::path input = work / (std::string("in.") + Extension(from));
  fs::copy_file(source, input, fs::copy_options::overwrite_existing, ec);
  if (ec)
    Fail(source);
  fs::path output = work / "out";
  const char* office = std::getenv("VARNIK_OFFICE");
  bool ok = Run({office && *office ? office : "soffice", "--headless", "--invisible", "--nologo",
                 "--nodefault", "--norestore", "--nolockcheck",
                 "-env:UserInstallation=file://" + (folder_ / "profile").string(),
                 std::string("--infilter=") + Filter(from), "--convert-to",
                 std::string(Extension(to)) + ":" + Filter(to), "--outdir", output.string(),
                 input.string()});
  // The exit code is not to be trusted: only the file tells.
  fs::path result = output / (std::string("in.") + Extension(to));
  if (!ok || !fs::exists(result, ec) || fs::file_size(result, ec) == 0)
    Fail(source);
  return result;
#endif
}

}  // namespace docserver
