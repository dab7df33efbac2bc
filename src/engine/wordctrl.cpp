#include "engine/wordctrl.h"

#include <stdexcept>

#include "automation/create_object.h"
#include "engine/word_members.h"
#include "util/message_box.h"

namespace engine {

using automation::Variant;

wordctrl::~wordctrl() = default;

bool wordctrl::StartWord() {
  apartment_.Enter();
  try {
    automation::DispatchPtr server = automation::CreateObject(L"Word.Application");
    if (server == nullptr)
      throw std::runtime_error("no server");
    application_ = WordObject(std::move(server), ObjectKind::Application);
  } catch (...) {
    util::ShowMessageBox(L"MS Word initialization failed. Ensure that you have already installed");
    return false;
  }
  try {
    Call(Member::ApplicationVisible, application_, {Variant::Bool(false)});
  } catch (...) {
    application_.Release();
    return false;
  }
  return true;
}

bool wordctrl::QuitWord() {
  if (application_) {
    try {
      WordObject documents = CallObject(Member::ApplicationDocuments, application_);
      if (CallI4(Member::DocumentsCount, documents) == 0) {
        documents.Release();
        Call(Member::ApplicationQuit, application_, {ArgFalse, ArgOmitted, ArgOmitted});
      }
      // With documents still open (the user's, or one a failed operation left) Word keeps
      // running: only our references go.
      application_.Release();
    } catch (...) {
      return false;
    }
  }
  apartment_.Leave();
  return true;
}

}  // namespace engine
