#include "docserver/piece_check.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "automation/errors.h"
#include "docserver/document.h"
#include "platform/text.h"

namespace docserver {

namespace {

constexpr std::string_view kOfficeDocument = "/relationships/officeDocument";

std::wstring Wide(const std::string& s) {
  return platform::FromUtf8(s);
}

std::string MainPartOf(Package& package) {
  for (auto rel : package.Xml("_rels/.rels").child("Relationships").children("Relationship"))
    if (std::string_view(rel.attribute("Type").as_string()).ends_with(kOfficeDocument))
      return ResolvePartName("", rel.attribute("Target").as_string());
  return {};
}

void CheckBody(pugi::xml_node body, std::vector<std::wstring>& out) {
  std::map<std::string, int> balance;
  std::set<std::string> startIds;
  int depth = 0;
  for (auto x : body.select_nodes(".//w:bookmarkStart | .//w:bookmarkEnd | .//w:fldChar")) {
    pugi::xml_node n = x.node();
    std::string_view name = n.name();
    std::string id = n.attribute("w:id").as_string();
    if (name == "w:bookmarkStart") {
      ++balance[id];
      if (!startIds.insert(id).second)
        out.push_back(L"bookmark id " + Wide(id) + L" used twice");
    } else if (name == "w:bookmarkEnd") {
      --balance[id];
    } else {
      std::string_view type = n.attribute("w:fldCharType").as_string();
      depth += type == "begin" ? 1 : type == "end" ? -1 : 0;
      if (depth < 0) {
        out.push_back(L"a field ends that never began");
        depth = 0;
      }
    }
  }
  if (depth > 0)
    out.push_back(L"a field begins and never ends");
  for (const auto& [id, count] : balance)
    if (count != 0)
      out.push_back(L"bookmark " + Wide(id) + L" is not paired");
  for (auto t : body.select_nodes(".//w:tbl"))
    if (!t.node().child("w:tr")) {
      out.push_back(L"a table has no rows");
      break;
    }
}

// The text a reader sees: field results without codes and field marks; paragraph, cell and
// break marks stay. A field the cut tore is made whole again on save, which changes only codes.
std::wstring ShownText(std::wstring_view raw) {
  std::wstring out;
  out.reserve(raw.size());
  int inCode = 0;  // open fields still in their code
  std::vector<bool> code;
  for (wchar_t c : raw) {
    if (c == L'\x13') {
      code.push_back(true);
      ++inCode;
    } else if (c == L'\x14') {
      if (!code.empty() && code.back()) {
        code.back() = false;
        --inCode;
      }
    } else if (c == L'\x15') {
      if (!code.empty()) {
        inCode -= code.back() ? 1 : 0;
        code.pop_back();
      }
    } else if (inCode == 0) {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::optional<std::wstring> TextDifference(std::wstring_view piece, std::wstring_view range) {
  // Text between the marks at its ends; the ends are where a cut may differ.
  struct Parts {
    std::wstring_view head, stem;
    std::wstring tail;  // without breaks
    std::size_t breaks = 0;
  };
  auto split = [](std::wstring_view t) {
    Parts p;
    std::size_t first = std::min(t.find_first_not_of(L"\r\a"), t.size());
    std::size_t last = t.find_last_not_of(L"\r\a\f\v");
    std::size_t stem = last == std::wstring_view::npos || last < first ? first : last + 1;
    p.head = t.substr(0, first);
    p.stem = t.substr(first, stem - first);
    for (wchar_t c : t.substr(stem)) {
      if (c == L'\f' || c == L'\v')
        ++p.breaks;
      else
        p.tail += c;
    }
    return p;
  };
  Parts a = split(piece), b = split(range);
  // A cut closes the piece's last paragraph, cell and row with marks of its own and drops a
  // page or line break that only marks follow; a head cut inside a table row keeps the row's
  // cells before it, emptied. Each mark it adds closes one thing: two paragraph marks in a row
  // are a paragraph more, and cells kept before the range end with a cell mark.
  // A cut inside a cell after one of its paragraphs makes that paragraph the cell's last: its
  // mark becomes the cell's.
  auto closes = [&] {
    std::wstring kept = b.tail;
    if (!a.tail.starts_with(kept) && kept.ends_with(L'\r'))
      kept.back() = L'\a';
    return a.tail.starts_with(kept) && a.tail.find(L"\r\r", kept.size()) == std::wstring::npos;
  };
  auto opens = [&] {
    std::wstring_view cells = a.head.substr(0, a.head.size() - b.head.size());
    return a.head.ends_with(b.head) && cells.find(L"\r\r") == std::wstring_view::npos &&
           (cells.empty() || cells.back() == L'\a');
  };
  bool same = a.stem == b.stem && a.breaks <= b.breaks && opens() && closes();
  // A piece of empty cells only: it may hold more of them at either end.
  bool emptyCells = a.stem.empty() && b.stem.empty() && a.breaks <= b.breaks &&
                    a.head.find(b.head) != std::wstring_view::npos;
  if (same || emptyCells)
    return std::nullopt;
  std::size_t at = 0;
  while (at < piece.size() && at < range.size() && piece[at] == range[at])
    ++at;
  constexpr std::size_t kShown = 24;
  auto excerpt = [&](std::wstring_view s) {
    return at < s.size() ? L"\"" + ShownMarks(s.substr(at, kShown)) + L"\""
                         : std::wstring(L"its end");
  };
  return L"its text differs from the source at character " + std::to_wstring(at + 1) + L" (" +
         excerpt(piece) + L" instead of " + excerpt(range) + L")";
}

std::vector<std::wstring> PartProblems(Package& package, std::string_view mainPart) {
  std::vector<std::wstring> out;
  std::vector<std::string> names = package.PartNames();
  std::set<std::string> present(names.begin(), names.end());
  std::set<std::string> xmlOk;
  for (const auto& name : names) {
    bool xml = name.ends_with(".xml") || name.ends_with(".rels");
    try {
      if (xml)
        package.Xml(name);
      else
        package.Read(name);
      if (xml)
        xmlOk.insert(name);
    } catch (const automation::ServerException& e) {
      out.push_back(Wide(name) + L": " + e.Description());
    }
  }
  std::set<std::string> typed, defaults;
  if (xmlOk.count("[Content_Types].xml")) {
    for (auto n : package.Xml("[Content_Types].xml").child("Types").children()) {
      if (std::string_view(n.name()) == "Override") {
        std::string part = n.attribute("PartName").as_string();
        typed.insert(part.starts_with("/") ? part.substr(1) : part);
      } else {
        std::string ext = n.attribute("Extension").as_string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        defaults.insert(ext);
      }
    }
  } else {
    out.push_back(L"no readable list of content types");
  }
  for (const auto& name : names) {
    auto dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name != "[Content_Types].xml" && !typed.count(name) && !defaults.count(ext))
      out.push_back(L"no content type for " + Wide(name));
    if (!name.ends_with(".rels") || !xmlOk.count(name))
      continue;
    // "word/_rels/document.xml.rels" speaks for "word/document.xml".
    std::string source = name;
    if (auto at = source.find("_rels/"); at != std::string::npos)
      source.erase(at, 6);
    source.resize(source.size() - 5);
    std::set<std::string> ids;
    for (auto rel : package.Xml(name).child("Relationships").children("Relationship")) {
      std::string id = rel.attribute("Id").as_string();
      if (!ids.insert(id).second)
        out.push_back(L"relationship " + Wide(id) + L" of " + Wide(name) + L" used twice");
      if (std::string_view(rel.attribute("TargetMode").as_string()) == "External")
        continue;
      std::string target = rel.attribute("Target").as_string();
      if (!present.count(ResolvePartName(source, target)))
        out.push_back(L"relationship " + Wide(id) + L" of " + Wide(name) + L" points to " +
                      Wide(target) + L", which is missing");
    }
  }
  if (mainPart.empty() || !xmlOk.count(std::string(mainPart))) {
    out.push_back(L"no main text");
    return out;
  }
  auto body = package.Xml(mainPart).child("w:document").child("w:body");
  if (!body)
    out.push_back(L"no main text");
  else
    CheckBody(body, out);
  return out;
}

std::vector<std::wstring> PartProblems(const std::filesystem::path& docx) {
  try {
    Package package(docx);
    return PartProblems(package, MainPartOf(package));
  } catch (const automation::ServerException& e) {
    return {e.Description()};
  }
}

std::wstring VisibleLetters(std::wstring_view raw) {
  std::wstring out;
  std::vector<bool> inCode;  // per open field: still in its code
  for (wchar_t c : raw) {
    if (c == L'\x13') {
      inCode.push_back(true);
    } else if (c == L'\x14') {
      if (!inCode.empty())
        inCode.back() = false;
    } else if (c == L'\x15') {
      if (!inCode.empty())
        inCode.pop_back();
    } else if (std::find(inCode.begin(), inCode.end(), true) == inCode.end() && c != L'\r' &&
               c != L'\a' && c != L'\f' && c != L'\v' && c != L'\x01') {
      out += c;
    }
  }
  return out;
}

std::optional<std::wstring> CheckPiece(const std::filesystem::path& path,
                                       const PieceRecord& expected,
                                       const std::shared_ptr<OfficeHost>& office) {
  std::filesystem::path docx = path;
  SourceCache parsed;
  try {
    FileKind kind = SniffFileKind(path);
    if (kind != FileKind::Docx)
      docx = office->ToDocx(path, kind);  // kept by the host: the document below reuses it
    Package package(docx);
    std::string main = MainPartOf(package);
    auto problems = PartProblems(package, main);
    if (!problems.empty())
      return L"its parts are not whole (" + problems.front() + L")";
    // The main part is parsed once, here, and handed to the document.
    parsed.Keep(docx, main, package.Xml(main));
  } catch (const automation::ServerException& e) {
    return L"it does not open again (" + e.Description() + L")";
  }
  std::optional<Document> piece;
  try {
    piece.emplace(path, true, office, &parsed);
  } catch (const automation::ServerException& e) {
    return L"it does not open again (" + e.Description() + L")";
  }
  const Story& story = piece->story();
  const std::wstring& text = story.Chars();
  if (expected.legacy) {
    // LibreOffice writes fields and marks in its own way; the letters must all be there.
    if (auto d = TextDifference(VisibleLetters(text), VisibleLetters(expected.text)))
      return d;
  } else if (auto d = TextDifference(ShownText(text), ShownText(expected.text))) {
    return d;
  }
  // Pages are checked where the piece carries its own record of them, as Word's record of the
  // source does; a piece laid out by LibreOffice would cost a layout of its own.
  if (expected.pages > 0 && !piece->UsesLayout()) {
    int pages = static_cast<int>(story.PageStarts().size());
    if (pages != expected.pages)
      return L"it has " + std::to_wstring(pages) + (pages == 1 ? L" page" : L" pages") +
             L", cut for " + std::to_wstring(expected.pages);
  }
  return std::nullopt;
}

std::wstring ShownMarks(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    switch (c) {
      case L'\r':
        out += L"¶";
        break;
      case L'\a':
        out += L"¤";
        break;
      case L'\f':
        out += L"<page break>";
        break;
      case L'\v':
        out += L"<line break>";
        break;
      case L'\t':
        out += L"<tab>";
        break;
      case L'\x01':
        out += L"<object>";
        break;
      case L'\x13':
        out += L"{";
        break;
      case L'\x14':
        out += L"|";
        break;
      case L'\x15':
        out += L"}";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace docserver
