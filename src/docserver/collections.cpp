// The collections reached from ranges and documents, and their items.
#include <algorithm>
#include <cwctype>

#include "docserver/objects.h"

namespace docserver {

namespace {

using DocPtr = std::shared_ptr<Document>;

// The 0-based index of the item a collection's Item(n) names, counting n from 1.
std::size_t ItemIndex(Args args, std::size_t count) {
  int n = IntArg(args, 0, 1);
  if (n < 1 || static_cast<std::size_t>(n) > count)
    NoSuchItem();
  return static_cast<std::size_t>(n - 1);
}

int ParagraphLast(const Story& s, int start, int end) {
  return s.ParagraphAt(end > start ? end - 1 : start);
}

class Paragraph : public automation::Dispatch {
 public:
  Paragraph(DocPtr doc, Span span)
      : doc_(std::move(doc)), r_(doc_->MakeRange(span.start, span.end)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    const Story& s = doc_->story();
    int index = s.ParagraphAt(r_->start);
    switch (dispid) {
      case 0:
        return Object(MakeRange(doc_, r_->start, r_->end));
      case 202:
        return Variant::I4(index < 0 ? 10 : doc_->OutlineLevel(index));
      case 324: {
        int next = index + IntArg(args, 0, 1);
        if (index < 0 || next < 0 || next >= static_cast<int>(s.Paragraphs().size()))
          return Object(nullptr);
        return Object(
            std::make_shared<Paragraph>(doc_, s.Paragraphs()[static_cast<std::size_t>(next)].span));
      }
      default:
        NotFound();
    }
  }

 private:
  DocPtr doc_;
  std::shared_ptr<LiveRange> r_;
};

class Paragraphs : public automation::Dispatch {
 public:
  Paragraphs(DocPtr doc, int start, int end) : doc_(std::move(doc)) {
    const Story& s = doc_->story();
    if (s.Paragraphs().empty())
      return;
    int first = s.ParagraphAt(start), last = ParagraphLast(s, start, end);
    for (int i = first; i <= last; ++i)
      spans_.push_back(s.Paragraphs()[static_cast<std::size_t>(i)].span);
  }
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    switch (dispid) {
      case 0: {
        std::size_t item = ItemIndex(args, spans_.size());
        return Object(std::make_shared<Paragraph>(doc_, spans_[item]));
      }
      case 2:
        return Variant::I4(static_cast<std::int32_t>(spans_.size()));
      case 104: {
        // Page break before: -1 when set for all, 0 for none, 9999999 when mixed.
        const Story& s = doc_->story();
        int on = 0;
        for (const auto& sp : spans_) {
          int i = s.ParagraphAt(sp.start);
          on += i >= 0 && s.Paragraphs()[static_cast<std::size_t>(i)].pageBreakBefore;
        }
        if (on == static_cast<int>(spans_.size()) && on > 0)
          return Variant::I4(-1);
        return Variant::I4(on == 0 ? 0 : 9999999);
      }
      default:
        NotFound();
    }
  }

 private:
  DocPtr doc_;
  std::vector<Span> spans_;
};

class Sentences : public automation::Dispatch {
 public:
  Sentences(DocPtr doc, int start, int end) : doc_(std::move(doc)) {
    const Story& s = doc_->story();
    if (s.Paragraphs().empty())
      return;
    int first = s.ParagraphAt(start), last = ParagraphLast(s, start, end);
    for (int p = first; p <= last; ++p) {
      auto bounds = s.SentenceBounds(p);
      for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        Span sp{bounds[i], bounds[i + 1]};
        bool touches = end > start ? (sp.start < end && sp.end > start)
                                   : (sp.start <= start && start < sp.end);
        if (touches)
          spans_.push_back(sp);
      }
    }
  }
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid == 2)
      return Variant::I4(static_cast<std::int32_t>(spans_.size()));
    if (dispid != 0)
      NotFound();
    std::size_t item = ItemIndex(args, spans_.size());
    const Span& sp = spans_[item];
    return Object(MakeRange(doc_, sp.start, sp.end));
  }

 private:
  DocPtr doc_;
  std::vector<Span> spans_;
};

class Table : public automation::Dispatch {
 public:
  Table(DocPtr doc, Span span) : doc_(std::move(doc)), r_(doc_->MakeRange(span.start, span.end)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args) override {
    if (dispid == 0)
      return Object(MakeRange(doc_, r_->start, r_->end));
    NotFound();
  }

 private:
  DocPtr doc_;
  std::shared_ptr<LiveRange> r_;
};

class Tables : public automation::Dispatch {
 public:
  Tables(DocPtr doc, int start, int end) : doc_(std::move(doc)) {
    int last = std::max(end, start + 1);
    for (const auto& t : doc_->story().Tables())
      if (t.depth == 0 && t.span.start < last && t.span.end > start)
        spans_.push_back(t.span);
  }
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid == 2)
      return Variant::I4(static_cast<std::int32_t>(spans_.size()));
    if (dispid != 0)
      NotFound();
    std::size_t item = ItemIndex(args, spans_.size());
    return Object(std::make_shared<Table>(doc_, spans_[item]));
  }

 private:
  DocPtr doc_;
  std::vector<Span> spans_;
};

class FieldObject : public automation::Dispatch {
 public:
  FieldObject(DocPtr doc, const docserver::Field& f) : doc_(std::move(doc)) {
    int codeEnd = f.separator >= 0 ? f.separator : f.end;
    code_ = doc_->MakeRange(f.begin + 1, codeEnd);
    result_ =
        f.separator >= 0 ? doc_->MakeRange(f.separator + 1, f.end) : doc_->MakeRange(f.end, f.end);
  }
  Variant Invoke(std::int32_t dispid, InvokeKind, Args) override {
    if (dispid == 0)
      return Object(MakeRange(doc_, code_->start, code_->end));
    if (dispid == 4)
      return Object(MakeRange(doc_, result_->start, result_->end));
    NotFound();
  }

 private:
  DocPtr doc_;
  std::shared_ptr<LiveRange> code_, result_;
};

class Fields : public automation::Dispatch {
 public:
  Fields(DocPtr doc, std::vector<int> fields) : doc_(std::move(doc)) {
    for (int i : fields)
      items_.push_back(
          std::make_shared<FieldObject>(doc_, doc_->story().Fields()[static_cast<std::size_t>(i)]));
  }
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid == 1)
      return Variant::I4(static_cast<std::int32_t>(items_.size()));
    if (dispid != 0)
      NotFound();
    std::size_t item = ItemIndex(args, items_.size());
    return Object(items_[item]);
  }

 private:
  DocPtr doc_;
  std::vector<std::shared_ptr<FieldObject>> items_;
};

class HyperlinkObject : public automation::Dispatch {
 public:
  explicit HyperlinkObject(std::wstring anchor) : anchor_(std::move(anchor)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args) override {
    if (dispid == 1101)
      return Variant::String(anchor_);
    NotFound();
  }

 private:
  std::wstring anchor_;
};

class Hyperlinks : public automation::Dispatch {
 public:
  Hyperlinks(const Story& s, int start, int end) {
    for (const auto& h : s.Hyperlinks())
      if (end > start ? (h.span.start < end && h.span.end > start)
                      : (h.span.start <= start && start < h.span.end))
        anchors_.push_back(h.anchor);
  }
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid == 1)
      return Variant::I4(static_cast<std::int32_t>(anchors_.size()));
    if (dispid != 0)
      NotFound();
    std::size_t item = ItemIndex(args, anchors_.size());
    return Object(std::make_shared<HyperlinkObject>(anchors_[item]));
  }

 private:
  std::vector<std::wstring> anchors_;
};

class Bookmark : public automation::Dispatch {
 public:
  Bookmark(DocPtr doc, Span span)
      : doc_(std::move(doc)), r_(doc_->MakeRange(span.start, span.end)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args) override {
    if (dispid == 1)
      return Object(MakeRange(doc_, r_->start, r_->end));
    NotFound();
  }

 private:
  DocPtr doc_;
  std::shared_ptr<LiveRange> r_;
};

bool SameName(const std::wstring& a, const std::wstring& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
  });
}

class Bookmarks : public automation::Dispatch {
 public:
  explicit Bookmarks(DocPtr doc) : doc_(std::move(doc)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid != 0)
      NotFound();
    std::wstring name = TextArg(args, 0);
    for (const auto& b : doc_->story().Bookmarks())
      if (SameName(b.name, name))
        return Object(std::make_shared<Bookmark>(doc_, b.span));
    throw automation::ServerException(L"The bookmark \"" + name +
                                      L"\" does not exist in this document.");
  }

 private:
  DocPtr doc_;
};

class TableOfContents : public automation::Dispatch {
 public:
  TableOfContents(DocPtr doc, const docserver::Field& f)
      : doc_(std::move(doc)),
        r_(f.separator >= 0 ? doc_->MakeRange(f.separator + 1, f.end)
                            : doc_->MakeRange(f.end, f.end)) {}
  Variant Invoke(std::int32_t dispid, InvokeKind kind, Args) override {
    // Levels and flags only matter when a table is rebuilt, which is not done here.
    if ((dispid == 4 || dispid == 7 || dispid == 8) && kind == InvokeKind::PropertyPut)
      return {};
    if (dispid == 9)
      return Object(MakeRange(doc_, r_->start, r_->end));
    NotFound();
  }

 private:
  DocPtr doc_;
  std::shared_ptr<LiveRange> r_;
};

class TablesOfContents : public automation::Dispatch {
 public:
  explicit TablesOfContents(DocPtr doc) : doc_(std::move(doc)) {
    const auto& fields = doc_->story().Fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::wstring& code = fields[i].code;
      std::size_t a = code.find_first_not_of(L" \t");
      if (fields[i].end >= 0 && a != std::wstring::npos && code.compare(a, 3, L"TOC") == 0 &&
          (a + 3 == code.size() || code[a + 3] == L' ' || code[a + 3] == L'\\'))
        tocs_.push_back(static_cast<int>(i));
    }
  }
  Variant Invoke(std::int32_t dispid, InvokeKind, Args args) override {
    if (dispid == 1)
      return Variant::I4(static_cast<std::int32_t>(tocs_.size()));
    if (dispid != 0)
      NotFound();
    std::size_t item = ItemIndex(args, tocs_.size());
    return Object(std::make_shared<TableOfContents>(
        doc_, doc_->story().Fields()[static_cast<std::size_t>(tocs_[item])]));
  }

 private:
  DocPtr doc_;
  std::vector<int> tocs_;
};

}  // namespace

automation::DispatchPtr MakeParagraphs(std::shared_ptr<Document> doc, int start, int end) {
  return std::make_shared<Paragraphs>(std::move(doc), start, end);
}

automation::DispatchPtr MakeSentences(std::shared_ptr<Document> doc, int start, int end) {
  return std::make_shared<Sentences>(std::move(doc), start, end);
}

automation::DispatchPtr MakeTables(std::shared_ptr<Document> doc, int start, int end) {
  return std::make_shared<Tables>(std::move(doc), start, end);
}

automation::DispatchPtr MakeFields(std::shared_ptr<Document> doc, int start, int end) {
  auto fields = doc->story().FieldsIn(start, end);
  return std::make_shared<Fields>(std::move(doc), std::move(fields));
}

automation::DispatchPtr MakeHyperlinks(std::shared_ptr<Document> doc, int start, int end) {
  return std::make_shared<Hyperlinks>(doc->story(), start, end);
}

automation::DispatchPtr MakeBookmarks(std::shared_ptr<Document> doc) {
  return std::make_shared<Bookmarks>(std::move(doc));
}

automation::DispatchPtr MakeTablesOfContents(std::shared_ptr<Document> doc) {
  return std::make_shared<TablesOfContents>(std::move(doc));
}

}  // namespace docserver
