#include "docserver/libreoffice/watchdog.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace libreoffice {

namespace {

// How often the office's work is looked at.
constexpr std::chrono::milliseconds kLook{200};

// Fields of /proc/<pid>/stat after the command's closing parenthesis: state ppid pgrp ... with
// utime, stime, cutime, cstime as the 12th to 15th.
bool ReadStat(const char* pid, pid_t& group, long long& ticks) {
  std::string path = std::string("/proc/") + pid + "/stat";
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr)
    return false;
  char line[1024];
  std::size_t got = std::fread(line, 1, sizeof line - 1, file);
  std::fclose(file);
  line[got] = '\0';
  const char* open = std::strchr(line, '(');
  const char* close = std::strrchr(line, ')');
  if (open == nullptr || close == nullptr)
    return false;
  // Only the office's own processes: the watcher beside it wakes every second and would pass
  // for progress.
  if (std::strncmp(open + 1, "soffice", 7) != 0)
    return false;
  char state = 0;
  int parent = 0, pgrp = 0, session = 0, tty = 0, terminalGroup = 0;
  unsigned flags = 0;
  unsigned long faults[4] = {};
  long long times[4] = {};
  int read =
      std::sscanf(close + 1, " %c %d %d %d %d %d %u %lu %lu %lu %lu %lld %lld %lld %lld", &state,
                  &parent, &pgrp, &session, &tty, &terminalGroup, &flags, &faults[0], &faults[1],
                  &faults[2], &faults[3], &times[0], &times[1], &times[2], &times[3]);
  if (read != 15)
    return false;
  group = pgrp;
  ticks = times[0] + times[1] + times[2] + times[3];
  return true;
}

}  // namespace

long long GroupProcessorTicks(pid_t group) {
  long long total = 0;
  DIR* proc = opendir("/proc");
  if (proc == nullptr)
    return 0;
  while (dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
      continue;
    pid_t pgrp = 0;
    long long ticks = 0;
    if (ReadStat(entry->d_name, pgrp, ticks) && pgrp == group)
      total += ticks;
  }
  closedir(proc);
  return total;
}

Watchdog::Watchdog() : thread_([this] { Run(); }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void Watchdog::Arm(std::chrono::milliseconds limit, pid_t group) {
  long long ticks = group > 0 ? GroupProcessorTicks(group) : 0;
  {
    std::lock_guard lock(mutex_);
    armed_ = true;
    limit_ = limit;
    group_ = group;
    armedAt_ = lastProgress_ = Clock::now();
    startTicks_ = lastTicks_ = ticks;
    fired_ = false;
  }
  changed_.notify_all();
}

void Watchdog::Disarm() {
  {
    std::lock_guard lock(mutex_);
    armed_ = false;
  }
  changed_.notify_all();
}

bool Watchdog::Fired() {
  std::lock_guard lock(mutex_);
  return fired_;
}

void Watchdog::Run() {
  static const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (!armed_) {
      changed_.wait(lock);
      continue;
    }
    changed_.wait_for(lock, kLook);
    if (!armed_ || quit_)
      continue;
    pid_t group = group_;
    lock.unlock();
    long long ticks = group > 0 ? GroupProcessorTicks(group) : 0;
    lock.lock();
    if (!armed_ || group != group_)
      continue;  // disarmed or armed anew meanwhile
    Clock::time_point now = Clock::now();
    if (ticks > lastTicks_)
      lastProgress_ = now;
    lastTicks_ = ticks;
    auto worked = std::chrono::milliseconds((ticks - startTicks_) * 1000 / ticksPerSecond);
    bool overrun =
        worked >= limit_ || now - lastProgress_ >= limit_ || now - armedAt_ >= 10 * limit_;
    if (overrun) {
      if (group_ > 0)
        kill(-group_, SIGKILL);
      fired_ = true;
      armed_ = false;
    }
  }
}

}  // namespace libreoffice
