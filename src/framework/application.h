#pragma once
// The process side of the framework: the native toolkit's start and end, the main loop and
// the quit request.

namespace framework {

class CApplication {
 public:
  // Starts the toolkit on the calling thread, which becomes the windows' thread.
  CApplication(int& argc, char** argv);
  ~CApplication();
  CApplication(const CApplication&) = delete;
  CApplication& operator=(const CApplication&) = delete;
  // False when there is no display to open.
  bool IsReady() const { return ready_; }

 private:
  bool started_ = false;
  bool ready_ = false;
};

// Runs the main thread's loop until PostQuitMessage.
void MessageLoop();
void PostQuitMessage(int code = 0);
// Handles every event that is waiting, without blocking (tests and start-up).
void PumpPendingEvents();

}  // namespace framework
