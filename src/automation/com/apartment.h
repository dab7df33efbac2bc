#pragma once
// The COM apartment of one worker thread: single-threaded, entered for the lifetime of the
// guard. Every object the thread gets from a COM server must be released before the guard
// ends. Elsewhere than on Windows the guard does nothing.

namespace automation::com {

class Apartment {
 public:
  Apartment();
  ~Apartment();
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

  // False when the thread was already in another kind of apartment (then the guard leaves it
  // alone) or on systems without COM.
  bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
};

}  // namespace automation::com
