#pragma once
// How a worker reaches the window's thread: the window's messages (Send waits, Post does not),
// and Invoke, which runs a piece of work there and waits for it.

#include <functional>

#include "util/window_messages.h"

namespace batch {

class WindowThread : public util::MessageTarget {
 public:
  // Runs the work on the window's thread and returns when it has run.
  virtual void Invoke(std::function<void()> work) = 0;
};

}  // namespace batch
