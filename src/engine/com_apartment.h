#pragma once
// The automation apartment of the calling thread, entered by StartWord and left by QuitWord.
// Only the Windows COM client needs one; elsewhere both steps do nothing.

namespace engine {

class ComApartment {
 public:
  ComApartment() = default;
  ~ComApartment();  // leaves the apartment if it is still entered
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // Enters a single-threaded apartment; the outcome is not checked. Entering twice is once.
  void Enter();
  void Leave();
  bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
};

}  // namespace engine
