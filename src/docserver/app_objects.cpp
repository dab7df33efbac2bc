// Application, documents, document, window, view and document properties.
#include <cmath>
#include <cwchar>

#include "automation/own_members.h"
#include "docserver/objects.h"
#include "docserver/page_report.h"
#include "platform/text.h"

namespace docserver {

int IntArg(Args args, std::size_t i, int fallback) {
  if (i >= args.size() || args[i].IsOmitted() || args[i].type == automation::VarType::Empty)
    return fallback;
  const Variant& v = args[i];
  switch (v.type) {
    case automation::VarType::I2:
    case automation::VarType::I4:
    case automation::VarType::UI1:
    case automation::VarType::Bool:
      return static_cast<int>(v.integer);
    case automation::VarType::R4:
    case automation::VarType::R8:
      return static_cast<int>(std::lround(v.real));
    case automation::VarType::String:
      return static_cast<int>(std::wcstol(v.text.c_str(), nullptr, 10));
    default:
      throw automation::CallFailure(automation::codes::kTypeMismatch);
  }
}

bool BoolArg(Args args, std::size_t i, bool fallback) {
  return IntArg(args, i, fallback ? 1 : 0) != 0;
}

std::wstring TextArg(Args args, std::size_t i) {
  if (i >= args.size() || args[i].IsOmitted())
    return {};
  if (args[i].type != automation::VarType::String)
    throw automation::CallFailure(automation::codes::kTypeMismatch);
  return args[i].text;
}

void NotFound() {
  throw automation::CallFailure(automation::codes::kMemberNotFound);
}

void NoSuchItem() {
  throw automation::ServerException(L"The requested member of the collection does not exist.");
}

Variant Object(automation::DispatchPtr object) {
  return Variant::Object(std::move(object));
}

namespace {

class View : public automation::Dispatch {
 public:
  Variant Invoke(std::int32_t dispid, InvokeKind kind, Args args) override {
    if (dispid == 0 && kind == InvokeKind::PropertyPut) {
      type_ = IntArg(args, 0, type_);
      return {};
    }
    if (dispid == 0)
      return Variant::I4(type_);
    NotFound();
  }

 private:
  int type_ = 3;
};

class Window : public automation::Dispatch {
 public:
  Variant Invoke(std::int32_t dispid, InvokeKind, Args) override {
    if (dispid == 14)
      return Object(view_);
    NotFound();
  }

 private:
  std::shared_ptr<View> view_ = std::make_shared<View>();
};

class Property : public automation::Dispatch {
 public:
  explicit Property(Variant value) : value_(std::move(value)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args) override {
    if (dispid == 0)
      return value_;
    NotFound();
  }

 private:
  Variant value_;
};

class Properties : public automation::Dispatch {
 public:
  explicit Properties(std::shared_ptr<Document> doc) : doc_(std::move(doc)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid != 0)
      NotFound();
    if (IntArg(args, 0, 0) != 12)
      NoSuchItem();
    auto saved = doc_->LastSaved();
    return Object(std::make_shared<Property>(saved ? Variant::Date(*saved) : Variant::Empty()));
  }

 private:
  std::shared_ptr<Document> doc_;
};

class DocumentObject : public automation::Dispatch {
 public:
  DocumentObject(std::shared_ptr<ServerState> state, std::shared_ptr<Document> doc)
      : state_(std::move(state)), doc_(std::move(doc)) {}

  Variant Invoke(std::int32_t dispid, InvokeKind kind, Args args) override {
    switch (dispid) {
      case 4:
        return Object(MakeBookmarks(doc_));
      case 31:
        return Object(MakeTablesOfContents(doc_));
      case 41:
        return Object(MakeRange(doc_, 0, doc_->story().Length()));
      case 42:
        return Object(window_);
      case 59:
        return Variant::I4(doc_->FileFormat());
      case 60:
        return Variant::I4(doc_->Protection());
      case 108:
        return {};
      case 118:
        if (IntArg(args, 0, 0) != 2)
          throw automation::ServerException(L"This statistic is not available.");
        // Kept for the program to tell how sure the count is.
        RememberPagesSentence(doc_->Path(), PagesSentence(*doc_));
        return Variant::I4(static_cast<std::int32_t>(doc_->PageStarts().size()));
      case 376: {
        std::wstring target = TextArg(args, 0);
        if (target.empty())
          throw automation::ServerException(L"A file name is needed to save the document.");
        PieceRecord kept = doc_->Kept();
        doc_->SaveAs(platform::ToPath(target), IntArg(args, 1, doc_->FileFormat()));
        state_->pieces[platform::ToPath(target)] = std::move(kept);
        return {};
      }
      case 1000:
        return Object(std::make_shared<Properties>(doc_));
      case 1105:
        std::erase(state_->documents, doc_);
        if (state_->active == doc_) {
          state_->active = state_->documents.empty() ? nullptr : state_->documents.back();
          state_->selection = state_->active ? state_->active->MakeRange(0, 0) : nullptr;
        }
        return {};
      default:
        (void)kind;
        NotFound();
    }
  }

 private:
  std::shared_ptr<ServerState> state_;
  std::shared_ptr<Document> doc_;
  std::shared_ptr<Window> window_ = std::make_shared<Window>();
};

class Documents : public automation::Dispatch {
 public:
  explicit Documents(std::shared_ptr<ServerState> state) : state_(std::move(state)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid == 2)
      return Variant::I4(static_cast<std::int32_t>(state_->documents.size()));
    if (dispid != 19)
      NotFound();
    std::wstring path = TextArg(args, 0);
    if (path.empty())
      throw automation::ServerException(L"A file name is needed to open a document.");
    auto doc = std::make_shared<Document>(platform::ToPath(path), BoolArg(args, 2, false),
                                          state_->office, &state_->sources);
    state_->documents.push_back(doc);
    state_->active = doc;
    state_->selection = doc->MakeRange(0, 0);
    return Object(MakeDocument(state_, doc));
  }

 private:
  std::shared_ptr<ServerState> state_;
};

class Application : public automation::Dispatch {
 public:
  Variant Invoke(std::int32_t dispid, InvokeKind kind, Args args) override {
    switch (dispid) {
      case automation::kVerifyPieceDispid:
        return Variant::String(VerifyPiece(platform::ToPath(TextArg(args, 0))));
      case 4:
        return Object(window_);
      case 5:
        return Object(MakeSelection(state_));
      case 6:
        return Object(std::make_shared<Documents>(state_));
      case 23:
        if (kind == InvokeKind::PropertyPut)
          return {};
        return Variant::Bool(false);
      case 1105:
        state_->documents.clear();
        state_->active.reset();
        state_->selection.reset();
        state_->office->Stop();
        return {};
      default:
        NotFound();
    }
  }

 private:
  std::wstring VerifyPiece(const std::filesystem::path& path) {
    auto it = state_->pieces.find(path);
    if (it == state_->pieces.end())
      throw automation::ServerException(L"No piece was saved here under this name: " +
                                        platform::FromPath(path));
    PieceRecord record = std::move(it->second);
    state_->pieces.erase(it);
    return CheckPiece(path, record, state_->office).value_or(L"");
  }

  std::shared_ptr<ServerState> state_ = std::make_shared<ServerState>();
  std::shared_ptr<Window> window_ = std::make_shared<Window>();
};

}  // namespace

automation::DispatchPtr MakeApplication() {
  return std::make_shared<Application>();
}

automation::DispatchPtr MakeDocument(std::shared_ptr<ServerState> state,
                                     std::shared_ptr<Document> doc) {
  return std::make_shared<DocumentObject>(std::move(state), std::move(doc));
}

}  // namespace docserver
