#pragma once
// An exclusive hold on a lock file. The system drops the hold when its holder ends, however it
// ends, so a lock file that can be taken tells that its last holder is gone.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class FileLock {
 public:
  // Creates the file when it is missing and takes it; nothing when another holder has it, in
  // this process or another, or when the file cannot be made.
  static std::optional<FileLock> TryAcquire(std::wstring_view path);

  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Lets go and leaves the file.
  ~FileLock();

  // Deletes the file while still holding it, then lets go: nobody can take it in between.
  void ReleaseAndDelete();

 private:
  explicit FileLock(std::wstring path) : path_(std::move(path)) {}
  void Release();

  std::wstring path_;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// This process's number, as the system shows it.
unsigned long CurrentProcessId();

}  // namespace platform
