#include "framework/application.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>

namespace framework {

namespace {

// No command line is read; the default initialisation would parse one.
class FrameworkApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

CApplication::CApplication(int& argc, char** argv) {
  wxApp::SetInstance(new FrameworkApp());
  // A failed start cleans up after itself; only a started toolkit is ended here.
  started_ = wxEntryStart(argc, argv);
  ready_ = started_ && wxTheApp != nullptr && wxTheApp->CallOnInit();
  if (ready_)
    wxInitAllImageHandlers();
}

CApplication::~CApplication() {
  if (!started_)
    return;
  if (ready_ && wxTheApp != nullptr)
    wxTheApp->OnExit();
  wxEntryCleanup();
}

void MessageLoop() {
  if (wxTheApp == nullptr)
    return;
  wxTheApp->OnRun();
  // What was queued before the quit still happens: a window that was asked to close is
  // destroyed (with its own destroy handling) before the caller releases it.
  wxTheApp->ProcessPendingEvents();
}

void PostQuitMessage(int code) {
  (void)code;
  if (wxTheApp != nullptr)
    wxTheApp->ExitMainLoop();
}

void PumpPendingEvents() {
  wxEventLoopBase* active = wxEventLoopBase::GetActive();
  if (active == nullptr) {
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    while (loop.Pending())
      loop.Dispatch();
    if (wxTheApp != nullptr)
      wxTheApp->ProcessPendingEvents();
    loop.YieldFor(wxEVT_CATEGORY_ALL);
    return;
  }
  while (active->Pending())
    active->Dispatch();
  if (wxTheApp != nullptr)
    wxTheApp->ProcessPendingEvents();
}

}  // namespace framework
