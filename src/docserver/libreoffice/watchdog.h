#pragma once
// Kills the office when one piece of work overruns: a remote call has no timeout of its own,
// and ending the process makes the blocked call fail at once.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace libreoffice {

// The limit is measured in the office's own work, not on the clock: on a loaded machine a start
// or a layout takes many times as long while it makes steady progress, and must not be cut
// short for that. The group is killed when it has used `limit` of processor time, or has used
// none at all for `limit` (stopped, or waiting on something that never comes), or, whatever it
// does, after ten times `limit`.
class Watchdog {
 public:
  Watchdog();
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Watches process group `group` from now on; forgets any earlier firing.
  void Arm(std::chrono::milliseconds limit, pid_t group);
  void Disarm();
  bool Fired();

 private:
  void Run();

  using Clock = std::chrono::steady_clock;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool armed_ = false;
  std::chrono::milliseconds limit_{0};
  pid_t group_ = -1;
  Clock::time_point armedAt_;
  Clock::time_point lastProgress_;
  long long startTicks_ = 0;
  long long lastTicks_ = 0;
  bool fired_ = false;
  bool quit_ = false;
  std::thread thread_;
};

// Processor time used so far by the office processes (soffice...) of a group, their ended
// children's included, in clock ticks.
long long GroupProcessorTicks(pid_t group);

}  // namespace libreoffice
