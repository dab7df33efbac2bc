#pragma once
// A child process in a process group of its own, so that it can be ended with everything it
// started (LibreOffice's launcher starts the real office as its child).

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace libreoffice {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();  // kills the group if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program with arguments (argv[0] included), its output going to logFile. False when
  // it cannot be started.
  bool Start(const std::vector<std::string>& arguments, const std::string& logFile);
  bool Running();
  // Waits up to timeout for the process to end by itself.
  bool WaitForExit(std::chrono::milliseconds timeout);
  // Ends the whole group at once and collects the process.
  void Kill();
  pid_t Id() const { return pid_; }

 private:
  pid_t pid_ = -1;
  bool exited_ = true;
};

}  // namespace libreoffice
