#include "docserver/libreoffice/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace libreoffice {

ChildProcess::~ChildProcess() {
  Kill();
}

bool ChildProcess::Start(const std::vector<std::string>& arguments, const std::string& logFile) {
  Kill();
  std::vector<char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawnattr_setpgroup(&attributes, 0);
  // A caller that blocks signals must not pass that on to the office.
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  int result = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (result != 0)
    return false;
  pid_ = pid;
  exited_ = false;
  return true;
}

bool ChildProcess::Running() {
  if (exited_)
    return false;
  int status = 0;
  pid_t done = waitpid(pid_, &status, WNOHANG);
  if (done == pid_ || done < 0)
    exited_ = true;
  return !exited_;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Running()) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

void ChildProcess::Kill() {
  if (pid_ <= 0)
    return;
  // The group may hold children that outlive the launcher, so it is killed even after the
  // launcher itself has ended.
  kill(-pid_, SIGKILL);
  if (!exited_) {
    int status = 0;
    waitpid(pid_, &status, 0);
    exited_ = true;
  }
  pid_ = -1;
}

}  // namespace libreoffice
