#include "platform/file_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/text.h"
#endif

namespace platform {

#ifdef _WIN32

std::optional<FileLock> FileLock::TryAcquire(std::wstring_view path) {
  FileLock lock{std::wstring(path)};
  // No sharing: while the handle is open nobody else opens or deletes the file. The handle is
  // not inherited, so a child process cannot keep the hold alive.
  HANDLE handle = CreateFileW(lock.path_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return std::nullopt;
  lock.handle_ = handle;
  return lock;
}

void FileLock::Release() {
  if (handle_ != nullptr)
    CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

void FileLock::ReleaseAndDelete() {
  if (handle_ != nullptr) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(static_cast<HANDLE>(handle_), FileDispositionInfo, &disposition,
                               sizeof disposition);
  }
  Release();
}

unsigned long CurrentProcessId() {
  return GetCurrentProcessId();
}

#else

std::optional<FileLock> FileLock::TryAcquire(std::wstring_view path) {
  FileLock lock{std::wstring(path)};
  const std::string bytes = ToUtf8(path);
  // Close-on-exec: a child process (the office program) must not inherit the hold.
  int fd = ::open(bytes.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0)
    return std::nullopt;
  lock.fd_ = fd;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    return std::nullopt;
  // A holder that was deleting the file may have removed it between our open and our lock:
  // then we hold a file nobody else can see, which proves nothing.
  struct stat held {};
  struct stat named {};
  if (::fstat(fd, &held) != 0 || ::stat(bytes.c_str(), &named) != 0 ||
      held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
    return std::nullopt;
  }
  return lock;
}

void FileLock::Release() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

void FileLock::ReleaseAndDelete() {
  if (fd_ >= 0)
    ::unlink(ToUtf8(path_).c_str());
  Release();
}

unsigned long CurrentProcessId() {
  return static_cast<unsigned long>(::getpid());
}

#endif

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)) {
#ifdef _WIN32
  handle_ = other.handle_;
  other.handle_ = nullptr;
#else
  fd_ = other.fd_;
  other.fd_ = -1;
#endif
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    path_ = std::move(other.path_);
#ifdef _WIN32
    handle_ = other.handle_;
    other.handle_ = nullptr;
#else
    fd_ = other.fd_;
    other.fd_ = -1;
#endif
  }
  return *this;
}

FileLock::~FileLock() {
  Release();
}

}  // namespace platform
