#include "fake_word.h"

#include <algorithm>
#include <functional>
#include <set>
#include <stdexcept>

#include "automation/errors.h"

namespace fake {

using automation::CallFailure;
using automation::InvokeKind;
using automation::ServerException;
using automation::Variant;
using engine::ObjectKind;

Span Model::Paragraph(const std::wstring& line, int level) {
  Span span{Length(), Length() + static_cast<int>(line.size()) + 1};
  text += line + L"\r";
  if (level != 10)
    outline[span.start] = level;
  return span;
}

namespace {

constexpr InvokeKind kGet = InvokeKind::PropertyGet;
constexpr InvokeKind kPut = InvokeKind::PropertyPut;
constexpr InvokeKind kMethod = InvokeKind::Method;

bool Touches(Span unit, Span range) {
  int end = std::max(range.end, range.start + 1);
  return unit.start < end && unit.end > range.start;
}

std::vector<Span> Paragraphs(const Model& m) {
  std::vector<Span> out;
  int start = 0;
  for (int i = 0; i < m.Length(); ++i)
    if (m.text[static_cast<std::size_t>(i)] == L'\r') {
      out.push_back({start, i + 1});
      start = i + 1;
    }
  if (start < m.Length())
    out.push_back({start, m.Length()});
  return out;
}

// A sentence ends after . ! ? and the blanks behind it, or with its paragraph.
std::vector<Span> Sentences(const Model& m) {
  std::vector<Span> out;
  for (Span p : Paragraphs(m)) {
    int start = p.start;
    for (int i = p.start; i < p.end; ++i) {
      wchar_t c = m.text[static_cast<std::size_t>(i)];
      if (c == L'.' || c == L'!' || c == L'?') {
        int end = i + 1;
        while (end < p.end && m.text[static_cast<std::size_t>(end)] == L' ')
          ++end;
        if (end < p.end && m.text[static_cast<std::size_t>(end)] != L'\r') {
          out.push_back({start, end});
          start = end;
          i = end - 1;
        }
      }
    }
    if (start < p.end)
      out.push_back({start, p.end});
  }
  return out;
}

std::vector<int> Pages(const Model& m) {
  std::set<int> starts;
  for (int s : m.pageStarts)
    if (s < m.Length() || s == 0)
      starts.insert(s);
  return {starts.begin(), starts.end()};
}

int PagesTouched(const Model& m, Span range) {
  std::vector<int> pages = Pages(m);
  int count = 0;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    Span page{pages[i], i + 1 < pages.size() ? pages[i + 1] : m.Length()};
    if (Touches(page, range))
      ++count;
  }
  return count;
}

// Positions after deleting [s, e) or inserting one character at q.
void Shift(int& p, int s, int e) {
  if (p >= e)
    p -= e - s;
  else if (p > s)
    p = s;
}

void ForEachPosition(Model& m, const std::function<void(int&, bool isEnd)>& f) {
  for (int& p : m.pageStarts)
    f(p, false);
  for (Field& x : m.fields) {
    f(x.result.start, false);
    f(x.result.end, true);
  }
  for (Span& x : m.tables) {
    f(x.start, false);
    f(x.end, true);
  }
  for (Link& x : m.links) {
    f(x.span.start, false);
    f(x.span.end, true);
  }
  for (auto& [name, x] : m.bookmarks) {
    f(x.start, false);
    f(x.end, true);
  }
  for (Span& x : m.tocs) {
    f(x.start, false);
    f(x.end, true);
  }
  std::map<int, int> outline;
  for (auto [start, level] : m.outline) {
    int moved = start;
    f(moved, false);
    outline[moved] = level;
  }
  m.outline = outline;
}

class Object;
Variant Make(const std::shared_ptr<State>& state, ObjectKind kind,
             std::function<void(Object&)> setup = {});

class Object : public automation::Dispatch {
 public:
  Object(std::shared_ptr<State> state, ObjectKind kind) : state_(std::move(state)), kind_(kind) {}

  std::shared_ptr<OpenDocument> doc;
  Span span;
  std::wstring fixedText;  // a field code's text
  bool hasFixedText = false;
  std::vector<Span> items;  // collections
  std::vector<Field> fields;
  std::vector<Link> links;

  Variant Invoke(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args) override {
    State& s = *state_;
    s.calls.push_back({kind_, dispid, kind, {args.begin(), args.end()}});
    if (s.failAt != 0 && static_cast<int>(s.calls.size()) == s.failAt) {
      if (s.failure == Failure::Server)
        throw ServerException(kServerText);
      if (s.failure == Failure::Call)
        throw CallFailure(automation::codes::kServerDied);
      throw std::runtime_error("injected");
    }
    return Answer(dispid, kind, args);
  }

 private:
  std::shared_ptr<State> state_;
  ObjectKind kind_;

  Model& M() {
    if (!doc)
      throw ServerException(L"No document is open.");
    return doc->model;
  }

  Variant Child(ObjectKind kind, std::function<void(Object&)> setup) {
    auto d = doc;
    return Make(state_, kind, [&](Object& o) {
      o.doc = d;
      setup(o);
    });
  }
  Variant RangeOf(Span r) {
    return Child(ObjectKind::Range, [r](Object& o) { o.span = r; });
  }

  [[noreturn]] static void NotFound() { throw CallFailure(automation::codes::kMemberNotFound); }

  static int Int(const Variant& v) { return static_cast<int>(v.integer); }

  void Delete(Span r) {
    Model& m = M();
    r.start = std::clamp(r.start, 0, m.Length());
    r.end = std::clamp(r.end, r.start, m.Length());
    m.text.erase(static_cast<std::size_t>(r.start), static_cast<std::size_t>(r.end - r.start));
    ForEachPosition(m, [&](int& p, bool) { Shift(p, r.start, r.end); });
    Shift(state_->selStart, r.start, r.end);
    Shift(state_->selEnd, r.start, r.end);
  }

  // A page break at q; what follows it starts a new page.
  void InsertBreak(int q) {
    Model& m = M();
    q = std::clamp(q, 0, m.Length());
    m.text.insert(static_cast<std::size_t>(q), 1, L'\f');
    ForEachPosition(m, [&](int& p, bool isEnd) {
      if (p > q || (p == q && !isEnd))
        ++p;
    });
    m.pageStarts.push_back(q + 1);
    std::sort(m.pageStarts.begin(), m.pageStarts.end());
    if (state_->selStart >= q)
      ++state_->selStart;
    if (state_->selEnd >= q)
      ++state_->selEnd;
  }

  Variant Units(ObjectKind kind, const std::vector<Span>& all, Span r) {
    std::vector<Span> touched;
    for (Span u : all)
      if (Touches(u, r))
        touched.push_back(u);
    return Child(kind, [&](Object& o) { o.items = touched; });
  }

  // The fields starting in the range, each followed by the fields nested in it.
  Variant FieldsIn(Span r) {
    const std::vector<Field>& all = M().fields;
    std::vector<Field> out;
    std::vector<bool> taken(all.size(), false);
    auto take = [&](std::size_t i) {
      if (!taken[i])
        out.push_back(all[i]);
      taken[i] = true;
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
      Span f = all[i].result;
      bool starts = r.start == r.end ? f.start == r.start : f.start >= r.start && f.start < r.end;
      if (!starts)
        continue;
      take(i);
      for (std::size_t j = 0; j < all.size(); ++j)
        if (j != i && all[j].result.start > f.start && all[j].result.start < f.end)
          take(j);
    }
    return Child(ObjectKind::Fields, [&](Object& o) { o.fields = out; });
  }

  Variant Next(Span r, int unit) {
    std::vector<Span> all = unit == 3 ? Sentences(M()) : Paragraphs(M());
    for (Span u : all)
      if (u.start >= r.end && u.start < u.end)
        return RangeOf(u);
    return Variant::Empty();
  }

  // Members common to a range and the selection, on span r.
  bool Common(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args, Span& r,
              Variant& out) {
    Model& m = M();
    if (dispid == 3 && kind == kGet)
      out = Variant::I4(r.start);
    else if (dispid == 3 && kind == kPut) {
      r.start = Int(args[0]);
      r.end = std::max(r.end, r.start);
    } else if (dispid == 4 && kind == kGet)
      out = Variant::I4(r.end);
    else if (dispid == 4 && kind == kPut) {
      r.end = Int(args[0]);
      r.start = std::min(r.start, r.end);
    } else if (dispid == 59 && kind == kGet)
      out = Units(ObjectKind::Paragraphs, Paragraphs(m), r);
    else if (dispid == 64 && kind == kGet)
      out = FieldsIn(r);
    else if (dispid == 100 && kind == kMethod)
      r = {Int(args[0]), Int(args[1])};
    else if (dispid == 101 && kind == kMethod)
      r.end = r.start;  // Word collapses to the start by default
    else if (dispid == 122 && kind == kMethod) {
      InsertBreak(r.start);
      r = {r.start + 1, r.start + 1};
    } else if (dispid == 127 && kind == kMethod) {
      int length = r.end - r.start;
      Delete(r);
      r.end = r.start;
      out = Variant::I4(length);
    } else
      return false;
    return true;
  }

  Variant Answer(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args) {
    State& s = *state_;
    Variant out;
    switch (kind_) {
      case ObjectKind::Application:
        if (dispid == 4 && kind == kGet) {
          if (!s.active)
            throw ServerException(L"No document is open.");
          return Make(state_, ObjectKind::Window);
        }
        if (dispid == 5 && kind == kGet) {
          if (!s.active)
            throw ServerException(L"No document is open.");
          return Make(state_, ObjectKind::Selection, [&](Object& o) { o.doc = s.active; });
        }
        if (dispid == 6 && kind == kGet)
          return Make(state_, ObjectKind::Documents);
        if (dispid == 23 && kind == kPut) {
          s.visible.push_back(args[0].integer != 0);
          return out;
        }
        if (dispid == 1105 && kind == kMethod) {
          s.quit = true;
          return out;
        }
        NotFound();
      case ObjectKind::Documents:
        if (dispid == 2 && kind == kGet)
          return Variant::I4(static_cast<int>(s.open.size()) + s.userDocuments);
        if (dispid == 19 && kind == kMethod) {
          auto it = s.files.find(args[0].text);
          if (it == s.files.end())
            throw ServerException(L"The file could not be opened: " + args[0].text);
          auto opened = std::make_shared<OpenDocument>();
          opened->path = args[0].text;
          opened->model = it->second;
          opened->readOnly = args[2].type == automation::VarType::I2 && args[2].integer != 0;
          s.open.push_back(opened);
          s.active = opened;
          s.selStart = s.selEnd = 0;
          return Make(state_, ObjectKind::Document, [&](Object& o) { o.doc = opened; });
        }
        NotFound();
      case ObjectKind::Document: {
        Model& m = M();
        switch (dispid) {
          case 4:
            return Child(ObjectKind::Bookmarks, [](Object&) {});
          case 31:
            return Child(ObjectKind::TablesOfContents, [&](Object& o) { o.items = m.tocs; });
          case 41:
            return RangeOf({0, m.Length()});
          case 42:
            return Make(state_, ObjectKind::Window);
          case 59:
            return Variant::I4(m.format);
          case 60:
            return Variant::I4(m.protection);
          case 108:
            return out;
          case 118:
            return Variant::I4(static_cast<int>(Pages(m).size()));
          case 376:
            s.saved.push_back({args[0].text, Int(args[1]), m.text});
            return out;
          case 1000:
            return Child(ObjectKind::DocumentProperties, [](Object&) {});
          case 1105: {
            auto it = std::find(s.open.begin(), s.open.end(), doc);
            if (it != s.open.end())
              s.open.erase(it);
            if (s.active == doc)
              s.active = s.open.empty() ? nullptr : s.open.back();
            return out;
          }
        }
        NotFound();
      }
      case ObjectKind::Window:
        if (dispid == 14 && kind == kGet)
          return Make(state_, ObjectKind::View);
        NotFound();
      case ObjectKind::View:
        if (dispid == 0 && kind == kPut) {
          s.viewTypes.push_back(Int(args[0]));
          return out;
        }
        NotFound();
      case ObjectKind::DocumentProperties:
        if (dispid == 0 && Int(args[0]) == 12)
          return Child(ObjectKind::DocumentProperty, [](Object&) {});
        throw ServerException(L"Invalid procedure call or argument");
      case ObjectKind::DocumentProperty:
        return M().lastSaved;
      case ObjectKind::Selection: {
        Span r{s.selStart, s.selEnd};
        Model& m = M();
        if (dispid == 50)
          out = Units(ObjectKind::Tables, m.tables, r);
        else if (dispid == 173) {
          std::vector<int> pages = Pages(m);
          int n = Int(args[2]);
          int at = n < 1                                 ? 0
                   : n <= static_cast<int>(pages.size()) ? pages[static_cast<std::size_t>(n - 1)]
                                                         : m.Length();
          r = {at, at};
          out = RangeOf(r);
        } else if (dispid == 400)
          out = RangeOf(r);
        else if (dispid == 401)
          out = Variant::Bool(std::any_of(m.tables.begin(), m.tables.end(), [&](Span t) {
            return t.start <= r.start && r.start < t.end;
          }));
        else if (dispid == 524) {
        } else if (!Common(dispid, kind, args, r, out))
          NotFound();
        s.selStart = r.start;
        s.selEnd = r.end;
        return out;
      }
      case ObjectKind::Range: {
        if (dispid == 0 && kind == kGet) {
          if (hasFixedText)
            return Variant::String(fixedText);
          Model& m = M();
          int a = std::clamp(span.start, 0, m.Length());
          int b = std::clamp(span.end, a, m.Length());
          return Variant::String(
              m.text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
        }
        if (dispid == 52)
          return Units(ObjectKind::Sentences, Sentences(M()), span);
        if (dispid == 105)
          return Next(span, Int(args[0]));
        if (dispid == 128) {
          span = {0, M().Length()};
          return out;
        }
        if (dispid == 156) {
          std::vector<Link> found;
          for (const Link& l : M().links)
            if (l.span.start >= span.start && l.span.start < span.end)
              found.push_back(l);
          return Child(ObjectKind::Hyperlinks, [&](Object& o) { o.links = found; });
        }
        if (dispid == 178)
          return Variant::I4(PagesTouched(M(), span));
        if (!Common(dispid, kind, args, span, out))
          NotFound();
        return out;
      }
      case ObjectKind::Paragraph:
        if (dispid == 0)
          return RangeOf(span);
        if (dispid == 202) {
          auto it = M().outline.find(span.start);
          return Variant::I4(it == M().outline.end() ? 10 : it->second);
        }
        if (dispid == 324) {
          for (Span p : Paragraphs(M()))
            if (p.start >= span.end)
              return Child(ObjectKind::Paragraph, [p](Object& o) { o.span = p; });
          return Variant::Empty();
        }
        NotFound();
      case ObjectKind::Paragraphs:
      case ObjectKind::Sentences:
      case ObjectKind::Tables:
      case ObjectKind::TablesOfContents: {
        if (dispid == 104)
          return Variant::I4(M().paragraphFormatFlag);
        bool countIs1 = kind_ == ObjectKind::TablesOfContents;
        if (dispid == (countIs1 ? 1 : 2))
          return Variant::I4(static_cast<int>(items.size()));
        if (dispid != 0)
          NotFound();
        int n = Int(args[0]);
        if (n < 1 || n > static_cast<int>(items.size()))
          throw ServerException(L"No such item in the collection.");
        Span item = items[static_cast<std::size_t>(n - 1)];
        ObjectKind child = kind_ == ObjectKind::Paragraphs  ? ObjectKind::Paragraph
                           : kind_ == ObjectKind::Sentences ? ObjectKind::Range
                           : kind_ == ObjectKind::Tables    ? ObjectKind::Table
                                                            : ObjectKind::TableOfContents;
        return Child(child, [item](Object& o) { o.span = item; });
      }
      case ObjectKind::Table:
        return RangeOf(span);
      case ObjectKind::TableOfContents:
        if (dispid == 9)
          return RangeOf(span);
        return out;  // level and flags: Word keeps them; the fake ignores them
      case ObjectKind::Fields: {
        if (dispid == 1)
          return Variant::I4(static_cast<int>(fields.size()));
        int n = Int(args[0]);
        if (n < 1 || n > static_cast<int>(fields.size()))
          throw ServerException(L"No such item in the collection.");
        Field f = fields[static_cast<std::size_t>(n - 1)];
        return Child(ObjectKind::Field, [&](Object& o) {
          o.span = f.result;
          o.fixedText = f.code;
        });
      }
      case ObjectKind::Field:
        if (dispid == 0) {
          std::wstring code = fixedText;
          return Child(ObjectKind::Range, [&](Object& o) {
            o.fixedText = code;
            o.hasFixedText = true;
          });
        }
        return RangeOf(span);
      case ObjectKind::Hyperlinks: {
        if (dispid == 1)
          return Variant::I4(static_cast<int>(links.size()));
        int n = Int(args[0]);
        if (n < 1 || n > static_cast<int>(links.size()))
          throw ServerException(L"No such item in the collection.");
        std::wstring target = links[static_cast<std::size_t>(n - 1)].target;
        return Child(ObjectKind::Hyperlink, [&](Object& o) { o.fixedText = target; });
      }
      case ObjectKind::Hyperlink:
        return Variant::String(fixedText);
      case ObjectKind::Bookmarks: {
        auto it = M().bookmarks.find(args[0].text);
        if (it == M().bookmarks.end())
          throw ServerException(L"No such item in the collection.");
        std::wstring name = args[0].text;
        return Child(ObjectKind::Bookmark, [&](Object& o) { o.fixedText = name; });
      }
      case ObjectKind::Bookmark:
        return RangeOf(M().bookmarks.at(fixedText));
      default:
        NotFound();
    }
  }
};

Variant Make(const std::shared_ptr<State>& state, ObjectKind kind,
             std::function<void(Object&)> setup) {
  auto object = std::make_shared<Object>(state, kind);
  if (setup)
    setup(*object);
  return Variant::Object(object);
}

}  // namespace

automation::DispatchPtr FakeWord::Application() {
  return Make(state_, ObjectKind::Application).object;
}

}  // namespace fake
