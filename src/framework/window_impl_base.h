#pragma once
// The skinned window: a native top-level window without system caption whose content is built
// from a layout. It owns the paint manager, handles the caption area and the sizing border,
// minimise/maximise/restore, modal display, file drops and the window's message queue.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <wx/gdicmn.h>

#include "framework/builder.h"
#include "framework/message_queue.h"
#include "framework/notify.h"
#include "framework/paint_manager.h"

class wxFrame;
class wxGUIEventLoop;

namespace framework {

class HostFrame;

enum class UILIB_RESOURCETYPE {
  UILIB_FILE = 1,
  UILIB_ZIP = 2,
  UILIB_RESOURCE = 3,
  UILIB_ZIPRESOURCE = 4
};

// Window messages the framework raises through HandleMessage.
inline constexpr std::uint32_t kWmCreate = 0x0001;
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmHelp = 0x0053;
// wParam: pointer to a std::vector<std::wstring> of dropped paths, valid during the call.
inline constexpr std::uint32_t kWmDropFiles = 0x0233;

// System commands.
inline constexpr std::uint32_t kScMinimize = 0xF020;
inline constexpr std::uint32_t kScMaximize = 0xF030;
inline constexpr std::uint32_t kScClose = 0xF060;
inline constexpr std::uint32_t kScRestore = 0xF120;

struct WindowStyle {
  bool popup = false;     // a menu: no task-bar entry, above other windows
  bool resizable = true;  // the layout's sizing border is active
};

class WindowImplBase : public INotifyUI, public IDialogBuilderCallback {
 public:
  WindowImplBase();
  ~WindowImplBase() override;
  WindowImplBase(const WindowImplBase&) = delete;
  WindowImplBase& operator=(const WindowImplBase&) = delete;

  // Creates the native window and builds the layout. The window starts hidden.
  bool Create(WindowImplBase* owner, std::wstring_view title, wxPoint pos = wxDefaultPosition,
              wxSize size = wxDefaultSize, WindowStyle style = {});
  void ShowWindow(bool show = true);
  // Over the owner, or over the work area of its monitor without one.
  void CenterWindow();
  // Disables the owner and runs a loop on this thread until Close; then destroys the window.
  int ShowModal();
  // Closes the window (ends the modal loop). The window is destroyed once the current event
  // has been handled.
  void Close(int result = 0);
  bool IsWindow() const { return frame_ != nullptr; }
  bool IsZoomed() const { return zoomed_; }
  void SysCommand(std::uint32_t command);
  // The client area, as the layout's size is.
  void ResizeClient(int width, int height);
  void AcceptFiles(bool accept = true);
  // Large and small icons from pictures of the layout archive.
  void SetIcons(const std::vector<std::wstring>& files);
  void Flash();
  wxFrame* GetHWND() const;
  WindowImplBase* GetOwner() const { return owner_; }
  // The last layout error, empty when the layout loaded.
  const std::string& GetLayoutError() const { return layoutError_; }

  // Any thread. Send returns once the window's thread has handled the message (or at once,
  // returning false, when the window is closed or closes meanwhile).
  bool Send(std::uint32_t message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
  void Post(std::uint32_t message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
  // Workers waiting inside Send.
  std::size_t WaitingSenders() { return queue_ ? queue_->WaitingSenders() : 0; }

  CPaintManagerUI& GetPaintManager() { return m_pm; }

  // Notification dispatch: "click" goes to OnClick.
  void Notify(TNotifyUI& msg) override;
  std::unique_ptr<CControlUI> CreateControl(std::wstring_view name) override;

 protected:
  virtual std::wstring GetWindowClassName() const = 0;
  virtual std::wstring GetSkinFolder() { return L""; }
  virtual std::wstring GetSkinFile() = 0;
  virtual UILIB_RESOURCETYPE GetResourceType() const {
    return UILIB_RESOURCETYPE::UILIB_ZIPRESOURCE;
  }
  virtual int GetResourceID() const { return 130; }
  virtual void InitWindow() {}
  // Called after the native window is gone; a window may delete itself here.
  virtual void OnFinalMessage() {}
  // Default: closebtn closes, minbtn/maxbtn/restorebtn send their system command.
  virtual void OnClick(TNotifyUI& msg);
  virtual std::intptr_t HandleMessage(std::uint32_t message, std::intptr_t wParam,
                                      std::intptr_t lParam, bool& handled);
  virtual void OnSysCommand(std::uint32_t command, bool& handled);
  // Return true when the loss of focus is handled.
  virtual bool OnKillFocus() { return false; }
  // A key on the window; return true when handled.
  virtual bool OnKeyDown(int keyCode);
  // A press of the right mouse button; return true when handled, and the controls see nothing.
  virtual bool OnRightButtonDown() { return false; }

  CPaintManagerUI m_pm;

 private:
  friend class HostFrame;
  void DeliverMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);
  void Teardown(bool final);
  void ApplyZoom(bool zoomed);

  HostFrame* frame_ = nullptr;
  WindowImplBase* owner_ = nullptr;
  WindowStyle style_;
  WindowInfo info_;
  std::unique_ptr<MessageQueue> queue_;
  wxGUIEventLoop* modalLoop_ = nullptr;
  int result_ = 0;
  bool closing_ = false;
  bool zoomed_ = false;
  wxRect restoreRect_;
  std::string layoutError_;
  std::shared_ptr<bool> alive_;
};

}  // namespace framework
