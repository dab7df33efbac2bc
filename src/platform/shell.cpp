#include "platform/shell.h"

#include <mutex>
#include <utility>
#include <vector>

#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace platform {

namespace {

std::mutex handlerLock;

ShellHandler& Handler() {
  static ShellHandler handler;
  return handler;
}

#ifndef _WIN32
// Runs a command without waiting for it; a double fork leaves no child behind.
void Launch(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (auto& a : arguments)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    ::setsid();
    pid_t grandchild = 0;
    int rc = posix_spawnp(&grandchild, argv[0], nullptr, nullptr, argv.data(), environ);
    ::_exit(rc == 0 ? 0 : 127);
  }
  if (child > 0)
    ::waitpid(child, nullptr, 0);
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}
#endif

void DefaultShellExecute(ShellAction action, std::wstring_view target) {
#ifdef _WIN32
  std::wstring parameter(target);
  if (action == ShellAction::Reveal)
    parameter = L"/select," + parameter;
  ::ShellExecuteW(nullptr, L"open", L"explorer.exe", parameter.c_str(), nullptr, SW_SHOWNORMAL);
#else
  std::string path = ToUtf8(target);
  if (action == ShellAction::Open) {
    Launch({"xdg-open", path});
    return;
  }
  // The desktop's file manager selects the item when it speaks FileManager1; otherwise the
  // folder holding it opens.
  std::string uri = "file://" + path;
  std::string script =
      "dbus-send --session --print-reply --dest=org.freedesktop.FileManager1 "
      "/org/freedesktop/FileManager1 org.freedesktop.FileManager1.ShowItems "
      "array:string:\"$1\" string:\"\" >/dev/null 2>&1 || xdg-open \"$2\"";
  Launch({"sh", "-c", script, "sh", uri, FolderOf(path)});
#endif
}

}  // namespace

void ShowThroughShell(ShellAction action, std::wstring_view target) {
  ShellHandler handler;
  {
    std::lock_guard guard(handlerLock);
    handler = Handler();
  }
  if (handler) {
    handler(action, target);
  } else {
    DefaultShellExecute(action, target);
  }
}

ShellHandler SetShellHandler(ShellHandler handler) {
  std::lock_guard guard(handlerLock);
  return std::exchange(Handler(), std::move(handler));
}

}  // namespace platform
