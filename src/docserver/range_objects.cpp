// Ranges and the selection.
#include <algorithm>

#include "docserver/objects.h"

namespace docserver {

namespace {

using DocPtr = std::shared_ptr<Document>;

// The sentence holding a position, as [start, end).
Span SentenceAt(const Story& s, int pos) {
  int para = s.ParagraphAt(pos);
  if (para < 0)
    return {};
  auto bounds = s.SentenceBounds(para);
  for (std::size_t i = 0; i + 1 < bounds.size(); ++i)
    if (pos < bounds[i + 1])
      return Span{bounds[i], bounds[i + 1]};
  return Span{bounds[bounds.size() - 2], bounds.back()};
}

// Members a range and the selection share.
class RangeBase : public automation::Dispatch {
 public:
  Variant Invoke(std::int32_t dispid, InvokeKind kind, Args args) override {
    DocPtr doc = Doc();
    LiveRange& r = R();
    const Story& s = doc->story();
    switch (dispid) {
      case 0:
        return Variant::String(s.Text(r.start, r.end));
      case 3:
        if (kind == InvokeKind::PropertyPut) {
          r.start = std::clamp(IntArg(args, 0, r.start), 0, s.Length());
          r.end = std::max(r.end, r.start);
          return {};
        }
        return Variant::I4(r.start);
      case 4:
        if (kind == InvokeKind::PropertyPut) {
          r.end = std::clamp(IntArg(args, 0, r.end), 0, s.Length());
          r.start = std::min(r.start, r.end);
          return {};
        }
        return Variant::I4(r.end);
      case 50:
        return Object(MakeTables(doc, r.start, r.end));
      case 52:
        return Object(MakeSentences(doc, r.start, r.end));
      case 59:
        return Object(MakeParagraphs(doc, r.start, r.end));
      case 64:
        return Object(MakeFields(doc, r.start, r.end));
      case 100: {
        int a = std::clamp(IntArg(args, 0, r.start), 0, s.Length());
        int b = std::clamp(IntArg(args, 1, r.end), 0, s.Length());
        r.start = std::min(a, b);
        r.end = std::max(a, b);
        return {};
      }
      case 101:
        if (IntArg(args, 0, 1) == 0)
          r.start = r.end;
        else
          r.end = r.start;
        return {};
      case 122: {
        int type = IntArg(args, 0, 7);
        if (type != 7)
          throw automation::ServerException(L"Only page breaks can be inserted in this document.");
        doc->InsertBreak(r.start, &r);
        return {};
      }
      case 127: {
        int before = s.Length();
        doc->Delete(r.start, r.end);
        r.end = r.start;
        return Variant::I4(before == doc->story().Length() ? 0 : 1);
      }
      default:
        return More(dispid, kind, args);
    }
  }

 protected:
  virtual DocPtr Doc() = 0;
  virtual LiveRange& R() = 0;
  virtual Variant More(std::int32_t dispid, InvokeKind kind, Args args) = 0;
};

class RangeObject : public RangeBase {
 public:
  RangeObject(DocPtr doc, int start, int end)
      : doc_(std::move(doc)), r_(doc_->MakeRange(start, end)) {}

 protected:
  DocPtr Doc() override { return doc_; }
  LiveRange& R() override { return *r_; }
  Variant More(std::int32_t dispid, InvokeKind, Args args) override {
    const Story& s = doc_->story();
    switch (dispid) {
      case 105: {
        int unit = IntArg(args, 0, 1);
        int count = IntArg(args, 1, 1);
        if (count != 1 || (unit != 3 && unit != 4))
          throw automation::ServerException(L"This unit is not available here.");
        int last = r_->end > r_->start ? r_->end - 1 : r_->start;
        if (s.Length() == 0 || last >= s.Length())
          return Object(nullptr);
        if (unit == 4) {
          int next = s.ParagraphAt(last) + 1;
          if (next >= static_cast<int>(s.Paragraphs().size()))
            return Object(nullptr);
          const Span& sp = s.Paragraphs()[static_cast<std::size_t>(next)].span;
          return Object(MakeRange(doc_, sp.start, sp.end));
        }
        Span here = SentenceAt(s, last);
        if (here.end >= s.Length())
          return Object(nullptr);
        Span next = SentenceAt(s, here.end);
        return Object(MakeRange(doc_, next.start, next.end));
      }
      case 128:
        r_->start = 0;
        r_->end = s.Length();
        return {};
      case 156:
        return Object(MakeHyperlinks(doc_, r_->start, r_->end));
      case 178: {
        if (IntArg(args, 0, 0) != 2)
          throw automation::ServerException(L"This statistic is not available.");
        int first = doc_->PageAt(r_->start);
        int last = doc_->PageAt(r_->end > r_->start ? r_->end - 1 : r_->start);
        return Variant::I4(last - first + 1);
      }
      default:
        NotFound();
    }
  }

 private:
  DocPtr doc_;
  std::shared_ptr<LiveRange> r_;
};

class Selection : public RangeBase {
 public:
  explicit Selection(std::shared_ptr<ServerState> state) : state_(std::move(state)) {}

 protected:
  DocPtr Doc() override {
    if (!state_->active || !state_->selection)
      throw automation::ServerException(
          L"This command is not available because no document is open.");
    return state_->active;
  }
  LiveRange& R() override { return *state_->selection; }
  Variant More(std::int32_t dispid, InvokeKind, Args args) override {
    DocPtr doc = Doc();
    LiveRange& r = R();
    const Story& s = doc->story();
    switch (dispid) {
      case 173: {
        if (IntArg(args, 0, 1) != 1 || IntArg(args, 1, 1) != 1)
          throw automation::ServerException(L"Only absolute page numbers can be gone to.");
        int page = IntArg(args, 2, 1);
        const auto& starts = doc->PageStarts();
        int pos = page < 1 ? 0
                  : page > static_cast<int>(starts.size())
                      ? s.Length()
                      : starts[static_cast<std::size_t>(page - 1)];
        r.start = r.end = pos;
        return Object(MakeRange(doc, pos, pos));
      }
      case 400:
        return Object(MakeRange(doc, r.start, r.end));
      case 401: {
        if (IntArg(args, 0, 0) != 12)
          throw automation::ServerException(L"This information is not available.");
        int p = s.ParagraphAt(r.start);
        return Variant::Bool(p >= 0 && s.Paragraphs()[static_cast<std::size_t>(p)].tableDepth > 0);
      }
      case 524:
        return {};
      default:
        NotFound();
    }
  }

 private:
  std::shared_ptr<ServerState> state_;
};

}  // namespace

automation::DispatchPtr MakeRange(std::shared_ptr<Document> doc, int start, int end) {
  return std::make_shared<RangeObject>(std::move(doc), start, end);
}

automation::DispatchPtr MakeSelection(std::shared_ptr<ServerState> state) {
  return std::make_shared<Selection>(std::move(state));
}

}  // namespace docserver
