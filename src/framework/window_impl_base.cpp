#include "framework/window_impl_base.h"

#include <cstdio>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/iconbndl.h>
#include <wx/mstream.h>

#include "framework/host_frame.h"
#include "framework/resource_archive.h"

namespace framework {

WindowImplBase::WindowImplBase() : alive_(std::make_shared<bool>(true)) {}

WindowImplBase::~WindowImplBase() {
  // Destroying the object without closing the window (the main window after its loop ended)
  // takes the native window down without the window's own destroy handling.
  *alive_ = false;
  if (frame_ != nullptr)
    Teardown(false);
}

bool WindowImplBase::Create(WindowImplBase* owner, std::wstring_view title, wxPoint pos,
                            wxSize size, WindowStyle style) {
  owner_ = owner;
  style_ = style;
  long flags = wxBORDER_NONE | wxCLIP_CHILDREN | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxSYSTEM_MENU;
  if (style.popup)
    flags |= wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP;
  if (owner != nullptr)
    flags |= wxFRAME_FLOAT_ON_PARENT;
  wxWindow* parent = owner != nullptr ? owner->GetHWND() : nullptr;
  frame_ = new HostFrame(this, parent, wxString(title.data(), title.size()), pos, size, flags);
  frame_->SetName(wxString(GetWindowClassName()));
  HostFrame* frame = frame_;
  queue_ = std::make_unique<MessageQueue>(
      [this](std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
        DeliverMessage(message, wParam, lParam);
      },
      [frame] { frame->Wake(); });

  DeliverMessage(kWmCreate, 0, 0);

  const ResourceArchive* archive = nullptr;
  if (GetResourceType() == UILIB_RESOURCETYPE::UILIB_ZIPRESOURCE)
    archive = ResourceArchive::Find(GetResourceID());
  m_pm.Init(frame_->Canvas(), archive);
  m_pm.AddNotifier(this);
  std::wstring file = GetSkinFolder() + GetSkinFile();
  try {
    CDialogBuilder builder;
    auto root = builder.Create(file, archive, this, &m_pm);
    info_ = builder.GetWindowInfo();
    m_pm.AttachDialog(std::move(root));
  } catch (const std::exception& error) {
    // The window stays empty; the error is kept for whoever checks the layouts.
    layoutError_ = error.what();
    std::fprintf(stderr, "%s\n", layoutError_.c_str());
  }
  if (info_.size.x > 0 && info_.size.y > 0)
    frame_->SetClientSize(info_.size);
  if (info_.minSize.x > 0 || info_.minSize.y > 0)
    frame_->SetMinClientSize(info_.minSize);
  InitWindow();
  if (m_pm.GetRoot() != nullptr)
    m_pm.SendNotify(m_pm.GetRoot(), kNotifyWindowInit);
  m_pm.NeedUpdate();
  return true;
}

void WindowImplBase::ShowWindow(bool show) {
  if (frame_ == nullptr)
    return;
  m_pm.UpdateLayout();
  frame_->Show(show);
  if (show)
    frame_->Raise();
}

void WindowImplBase::CenterWindow() {
  if (frame_ == nullptr)
    return;
  if (owner_ != nullptr && owner_->frame_ != nullptr) {
    frame_->CentreOnParent();
  } else {
    int index = wxDisplay::GetFromWindow(frame_);
    wxRect area =
        wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
    wxSize size = frame_->GetSize();
    frame_->SetPosition(
        wxPoint(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2));
  }
}

int WindowImplBase::ShowModal() {
  if (frame_ == nullptr)
    return -1;
  wxFrame* ownerFrame = owner_ != nullptr ? owner_->GetHWND() : nullptr;
  if (ownerFrame != nullptr)
    ownerFrame->Enable(false);
  ShowWindow(true);
  wxGUIEventLoop loop;
  modalLoop_ = &loop;
  if (!closing_)
    loop.Run();
  modalLoop_ = nullptr;
  if (ownerFrame != nullptr && owner_ != nullptr && owner_->frame_ != nullptr) {
    ownerFrame->Enable(true);
    ownerFrame->Raise();
    ownerFrame->SetFocus();
  }
  Teardown(true);
  return result_;
}

void WindowImplBase::Close(int result) {
  if (frame_ == nullptr || closing_)
    return;
  closing_ = true;
  result_ = result;
  if (modalLoop_ != nullptr) {
    modalLoop_->Exit(result);
    return;
  }
  // Not now: a control of this window is likely handling the event that asked to close.
  frame_->Hide();
  std::weak_ptr<bool> alive = alive_;
  wxTheApp->CallAfter([this, alive] {
    if (auto flag = alive.lock(); flag && *flag && frame_ != nullptr)
      Teardown(true);
  });
}

void WindowImplBase::Teardown(bool final) {
  if (frame_ == nullptr)
    return;
  if (final)
    DeliverMessage(kWmDestroy, 0, 0);
  if (queue_)
    queue_->Close();
  HostFrame* frame = frame_;
  frame->Detach();
  m_pm.RemoveNotifier(this);
  m_pm.AttachDialog(nullptr);  // native child controls go before their window
  frame_ = nullptr;
  frame->Destroy();
  if (final)
    OnFinalMessage();
}

void WindowImplBase::SysCommand(std::uint32_t command) {
  bool handled = false;
  OnSysCommand(command, handled);
}

void WindowImplBase::OnSysCommand(std::uint32_t command, bool& handled) {
  if (frame_ == nullptr)
    return;
  handled = true;
  switch (command) {
    case kScMinimize:
      frame_->Iconize(true);
      break;
    case kScMaximize:
      ApplyZoom(true);
      break;
    case kScRestore:
      if (frame_->IsIconized()) {
        frame_->Iconize(false);
      } else {
        ApplyZoom(false);
      }
      break;
    case kScClose:
      Close();
      break;
    default:
      handled = false;
  }
}

void WindowImplBase::ApplyZoom(bool zoomed) {
  // Without a system caption the window manager's maximise is not ours to use; the work area
  // of the monitor is taken directly, which also works without a window manager.
  if (zoomed == zoomed_)
    return;
  if (zoomed) {
    restoreRect_ = frame_->GetRect();
    int index = wxDisplay::GetFromWindow(frame_);
    frame_->SetSize(
        wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea());
  } else {
    frame_->SetSize(restoreRect_);
  }
  zoomed_ = zoomed;
}

void WindowImplBase::ResizeClient(int width, int height) {
  if (frame_ != nullptr)
    frame_->SetClientSize(width, height);
}

void WindowImplBase::AcceptFiles(bool accept) {
  if (frame_ != nullptr)
    frame_->AcceptFiles(accept);
}

void WindowImplBase::SetIcons(const std::vector<std::wstring>& files) {
  if (frame_ == nullptr || m_pm.GetArchive() == nullptr)
    return;
  wxIconBundle bundle;
  for (const std::wstring& file : files) {
    auto bytes = m_pm.GetArchive()->Read(file);
    if (!bytes)
      continue;
    wxMemoryInputStream stream(bytes->data(), bytes->size());
    wxImage image;
    if (image.LoadFile(stream, wxBITMAP_TYPE_PNG)) {
      wxIcon icon;
      icon.CopyFromBitmap(wxBitmap(image));
      bundle.AddIcon(icon);
    }
  }
  if (!bundle.IsEmpty())
    frame_->SetIcons(bundle);
}

void WindowImplBase::Flash() {
  if (frame_ != nullptr)
    frame_->RequestUserAttention(wxUSER_ATTENTION_INFO);
}

wxFrame* WindowImplBase::GetHWND() const {
  return frame_;
}

bool WindowImplBase::Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  return queue_ ? queue_->Send(message, wParam, lParam) : false;
}

void WindowImplBase::Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  if (queue_)
    queue_->Post(message, wParam, lParam);
}

void WindowImplBase::DeliverMessage(std::uint32_t message, std::intptr_t wParam,
                                    std::intptr_t lParam) {
  bool handled = false;
  HandleMessage(message, wParam, lParam, handled);
}

std::intptr_t WindowImplBase::HandleMessage(std::uint32_t message, std::intptr_t wParam,
                                            std::intptr_t lParam, bool& handled) {
  (void)message;
  (void)wParam;
  (void)lParam;
  handled = false;
  return 0;
}

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyClick)
    OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg) {
  if (msg.pSender == nullptr)
    return;
  const std::wstring& name = msg.pSender->GetName();
  if (name == L"closebtn") {
    Close();
  } else if (name == L"minbtn") {
    SysCommand(kScMinimize);
  } else if (name == L"maxbtn") {
    SysCommand(kScMaximize);
  } else if (name == L"restorebtn") {
    SysCommand(kScRestore);
  }
}

bool WindowImplBase::OnKeyDown(int keyCode) {
  (void)keyCode;
  return false;
}

std::unique_ptr<CControlUI> WindowImplBase::CreateControl(std::wstring_view name) {
  (void)name;
  return nullptr;
}

}  // namespace framework
