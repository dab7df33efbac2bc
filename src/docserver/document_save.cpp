// Saving: after edits, the document is made whole again (fields, bookmarks, notes) and parts no
// longer used are left out; unchanged parts are copied as they are.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <set>

#include "automation/errors.h"
#include "docserver/document.h"
#include "platform/text.h"

namespace docserver {

namespace {

bool Is(const pugi::xml_node& node, const char* name) {
  return std::strcmp(node.name(), name) == 0;
}

void RemoveWithEmptyRun(pugi::xml_node node) {
  pugi::xml_node run = node.parent();
  run.remove_child(node);
  if (Is(run, "w:r")) {
    for (auto c : run.children())
      if (c.type() == pugi::node_element && !Is(c, "w:rPr"))
        return;
    run.parent().remove_child(run);
  }
}

template <typename Visit>
void Walk(pugi::xml_node root, Visit visit) {
  for (auto n = root.first_child(); n;) {
    visit(n);
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && n != root && !n.next_sibling())
      n = n.parent();
    if (!n || n == root)
      break;
    n = n.next_sibling();
  }
}

// Relationship types a part refers to by id; a relationship of these kinds no element uses any
// longer can go.
bool ReferencedById(std::string_view type) {
  static const char* kinds[] = {
      "/image",         "/hyperlink",      "/oleObject",     "/package",
      "/chart",         "/diagramData",    "/diagramLayout", "/diagramQuickStyle",
      "/diagramColors", "/diagramDrawing", "/header",        "/footer",
      "/video",         "/audio",          "/media",         "/control"};
  for (const char* k : kinds) {
    std::string_view kv(k);
    if (type.size() >= kv.size() && type.substr(type.size() - kv.size()) == kv)
      return true;
  }
  return false;
}

}  // namespace

void Document::Normalize() {
  // Fields: every begin has its end; a field whose begin or end went loses all its marks and
  // its code, and keeps its result as plain text.
  struct Open {
    pugi::xml_node begin;
    pugi::xml_node separator;
    std::vector<pugi::xml_node> code;
  };
  std::vector<Open> stack;
  std::vector<pugi::xml_node> drop;
  Walk(body_, [&](pugi::xml_node n) {
    if (Is(n, "w:fldChar")) {
      std::string type = n.attribute("w:fldCharType").as_string();
      if (type == "begin") {
        stack.push_back(Open{n, {}, {}});
      } else if (type == "separate") {
        if (stack.empty() || stack.back().separator)
          drop.push_back(n);
        else
          stack.back().separator = n;
      } else if (type == "end") {
        if (stack.empty())
          drop.push_back(n);
        else
          stack.pop_back();
      }
    } else if (Is(n, "w:instrText")) {
      if (stack.empty())
        drop.push_back(n);
      else if (!stack.back().separator)
        stack.back().code.push_back(n);
    }
  });
  for (auto& open : stack) {
    drop.push_back(open.begin);
    if (open.separator)
      drop.push_back(open.separator);
    drop.insert(drop.end(), open.code.begin(), open.code.end());
  }
  // A paragraph that held nothing but such code goes with it (a reader never saw its mark),
  // unless it closes its container or carries its section's properties.
  std::vector<pugi::xml_node> paragraphs;
  for (auto n : drop) {
    pugi::xml_node p = n.parent();
    while (p && !Is(p, "w:p"))
      p = p.parent();
    if (p && std::find(paragraphs.begin(), paragraphs.end(), p) == paragraphs.end())
      paragraphs.push_back(p);
  }
  for (auto n : drop)
    RemoveWithEmptyRun(n);
  for (auto p : paragraphs) {
    bool empty = !p.child("w:pPr").child("w:sectPr");
    for (auto c : p.children())
      empty = empty && (c.type() != pugi::node_element || Is(c, "w:pPr"));
    if (empty && (p.next_sibling("w:p") || p.next_sibling("w:tbl")))
      p.parent().remove_child(p);
  }

  // Bookmarks and comment ranges come in pairs.
  auto pairUp = [&](const char* startName, const char* endName) {
    std::map<std::string, std::vector<pugi::xml_node>> starts, ends;
    Walk(body_, [&](pugi::xml_node n) {
      if (Is(n, startName))
        starts[n.attribute("w:id").as_string()].push_back(n);
      else if (Is(n, endName))
        ends[n.attribute("w:id").as_string()].push_back(n);
    });
    for (auto& [id, nodes] : starts)
      if (!ends.count(id) || nodes.size() > 1)
        for (std::size_t i = ends.count(id) ? 1 : 0; i < nodes.size(); ++i)
          nodes[i].parent().remove_child(nodes[i]);
    for (auto& [id, nodes] : ends)
      if (!starts.count(id) || nodes.size() > 1)
        for (std::size_t i = starts.count(id) ? 1 : 0; i < nodes.size(); ++i)
          nodes[i].parent().remove_child(nodes[i]);
  };
  pairUp("w:bookmarkStart", "w:bookmarkEnd");
  pairUp("w:commentRangeStart", "w:commentRangeEnd");

  // No table without rows, no row without cells, no cell without a closing paragraph.
  std::vector<pugi::xml_node> tables;
  Walk(body_, [&](pugi::xml_node n) {
    if (Is(n, "w:tbl"))
      tables.push_back(n);
  });
  for (auto it = tables.rbegin(); it != tables.rend(); ++it) {
    pugi::xml_node tbl = *it;
    for (auto row = tbl.child("w:tr"); row;) {
      auto next = row.next_sibling("w:tr");
      if (!row.child("w:tc"))
        tbl.remove_child(row);
      row = next;
    }
    if (!tbl.child("w:tr")) {
      tbl.parent().remove_child(tbl);
      continue;
    }
    for (auto row : tbl.children("w:tr"))
      for (auto cell : row.children("w:tc")) {
        pugi::xml_node last;
        for (auto c = cell.last_child(); c; c = c.previous_sibling())
          if (c.type() == pugi::node_element && !Is(c, "w:tcPr")) {
            last = c;
            break;
          }
        if (!last || !Is(last, "w:p"))
          cell.append_child("w:p");
      }
  }
}

void Document::PruneNotes(const char* relType, const char* root, const char* item,
                          const char* reference) {
  std::string part;
  std::string rels = RelsPartName(mainPart_);
  if (!package_->Has(rels))
    return;
  for (auto rel : package_->Xml(rels).child("Relationships").children("Relationship")) {
    std::string_view type = rel.attribute("Type").as_string();
    if (type.size() > std::strlen(relType) &&
        type.substr(type.size() - std::strlen(relType)) == relType)
      part = ResolvePartName(mainPart_, rel.attribute("Target").as_string());
  }
  if (part.empty() || !package_->Has(part))
    return;
  std::set<std::string> used;
  Walk(body_, [&](pugi::xml_node n) {
    if (Is(n, reference))
      used.insert(n.attribute("w:id").as_string());
  });
  auto& xml = package_->Xml(part);
  bool changed = false;
  auto container = xml.child(root);
  for (auto n = container.child(item); n;) {
    auto next = n.next_sibling(item);
    // Separators and continuation notices have a type and stay.
    if (!n.attribute("w:type") && !used.count(n.attribute("w:id").as_string())) {
      container.remove_child(n);
      changed = true;
    }
    n = next;
  }
  if (changed)
    package_->MarkChanged(part);
}

void Document::PruneParts() {
  // Relationships of the main part no element refers to any longer.
  std::string rels = RelsPartName(mainPart_);
  if (package_->Has(rels)) {
    std::set<std::string> used;
    auto& doc = package_->Xml(mainPart_);
    std::set<std::string> prefixes{"r"};
    for (auto a : doc.document_element().attributes())
      if (std::strncmp(a.name(), "xmlns:", 6) == 0 &&
          std::strcmp(a.value(),
                      "http://schemas.openxmlformats.org/officeDocument/2006/relationships") == 0)
        prefixes.insert(a.name() + 6);
    Walk(doc.document_element(), [&](pugi::xml_node n) {
      for (auto a : n.attributes()) {
        std::string_view name = a.name();
        auto colon = name.find(':');
        if (colon != std::string_view::npos && prefixes.count(std::string(name.substr(0, colon))))
          used.insert(a.value());
      }
    });
    auto root = package_->Xml(rels).child("Relationships");
    bool changed = false;
    for (auto rel = root.child("Relationship"); rel;) {
      auto next = rel.next_sibling("Relationship");
      if (ReferencedById(rel.attribute("Type").as_string()) &&
          !used.count(rel.attribute("Id").as_string())) {
        root.remove_child(rel);
        changed = true;
      }
      rel = next;
    }
    if (changed)
      package_->MarkChanged(rels);
  }

  // Parts no relationship reaches any more are left out.
  std::set<std::string> reached;
  std::deque<std::string> queue{""};
  while (!queue.empty()) {
    std::string part = queue.front();
    queue.pop_front();
    std::string relsPart = RelsPartName(part);
    if (!package_->Has(relsPart))
      continue;
    for (auto rel : package_->Xml(relsPart).child("Relationships").children("Relationship")) {
      if (std::strcmp(rel.attribute("TargetMode").as_string(), "External") == 0)
        continue;
      std::string target = ResolvePartName(part, rel.attribute("Target").as_string());
      if (package_->Has(target) && reached.insert(target).second)
        queue.push_back(target);
    }
  }
  auto& types = package_->Xml("[Content_Types].xml");
  bool typesChanged = false;
  for (const auto& name : package_->PartNames()) {
    if (name == "[Content_Types].xml" || reached.count(name))
      continue;
    if (name == "_rels/.rels")
      continue;
    auto rels_ = name.find("_rels/");
    if (rels_ != std::string::npos && name.size() > 5 && name.substr(name.size() - 5) == ".rels") {
      std::string source = name.substr(0, rels_) + name.substr(rels_ + 6);
      source.resize(source.size() - 5);
      if (reached.count(source))
        continue;
    }
    package_->Remove(name);
    auto root = types.child("Types");
    for (auto o = root.child("Override"); o;) {
      auto next = o.next_sibling("Override");
      if (std::string_view(o.attribute("PartName").as_string()) == "/" + name) {
        root.remove_child(o);
        typesChanged = true;
      }
      o = next;
    }
  }
  if (typesChanged)
    package_->MarkChanged("[Content_Types].xml");
}

// Whether every page of the piece starts where Word recorded one or a break puts one, though
// the source's record needed the layout for pages it left out: the piece then keeps Word's
// record as a source whose pages Word recorded.
bool Document::PiecePagesAreWords() const {
  if (sourceStarts_.empty())
    return false;
  PieceRecord kept = Kept();
  if (kept.end <= kept.start)
    return false;
  // The starts of the piece's pages and of the page after it, all Word's or the breaks'.
  std::set<int> inside;
  for (auto [pos, source] : sourceStarts_) {
    if (pos < kept.start || pos > kept.end)
      continue;
    if (source == PageSource::Layout)
      return false;
    if (pos > kept.start && pos < kept.end)
      inside.insert(pos);
  }
  return story_.PageStarts().size() == inside.size() + 1;
}

// The saved page count describes the piece, not its source: the piece's own count when Word's
// record gave the pages, none when LibreOffice's layout did (the piece is laid out again).
void Document::RecordPageCount(bool wordPages) {
  for (auto rel : package_->Xml("_rels/.rels").child("Relationships").children("Relationship")) {
    std::string_view type = rel.attribute("Type").as_string();
    if (!type.ends_with("/extended-properties"))
      continue;
    std::string part = ResolvePartName("", rel.attribute("Target").as_string());
    if (!package_->Has(part))
      continue;
    pugi::xml_node pages;
    try {
      for (auto n : package_->Xml(part).document_element().children())
        if (std::strcmp(n.name(), "Pages") == 0 || std::string_view(n.name()).ends_with(":Pages"))
          pages = n;
    } catch (const automation::ServerException&) {
      continue;
    }
    if (!pages)
      continue;
    if (!wordPages)
      pages.parent().remove_child(pages);
    else
      pages.text() = static_cast<int>(story_.PageStarts().size());
    package_->MarkChanged(part);
  }
}

void Document::SaveAs(const std::filesystem::path& target, int format) {
  bool legacy = format == 0 || format == 6;
  if (!legacy && (format < 12 || format > 16))
    throw automation::ServerException(
        L"This document can only be saved as a Word document (.docx, .doc or .rtf).");
  std::error_code ec;
  if (std::filesystem::equivalent(target, path_, ec) && readOnly_)
    throw automation::ServerException(
        L"This document is read-only and cannot be saved under its "
        L"own name: " +
        platform::FromPath(target));
  if (dirty_) {
    for (auto x : body_.select_nodes((std::string(".//w:p[@") + kSplitMark + "]").c_str()))
      x.node().remove_attribute(kSplitMark);
    // Where the pages came from LibreOffice's layout, the page marks Word left are not the
    // document's pages; kept in a piece they would count as its pages.
    const bool wordPages = !needsLayout_ || PiecePagesAreWords();
    if (!wordPages)
      for (auto x : body_.select_nodes(".//w:lastRenderedPageBreak"))
        x.node().parent().remove_child(x.node());
    Normalize();
    numbers_.Continue(*package_, body_);
    PruneNotes("/footnotes", "w:footnotes", "w:footnote", "w:footnoteReference");
    PruneNotes("/endnotes", "w:endnotes", "w:endnote", "w:endnoteReference");
    PruneNotes("/comments", "w:comments", "w:comment", "w:commentReference");
    package_->MarkChanged(mainPart_);
    PruneParts();
    Reindex();
    RecordPageCount(wordPages);
  }
  if (!legacy) {
    package_->SaveAs(target);
    return;
  }
  // Unchanged and in its own format: the source's own bytes, not a second round through the
  // converter (which turns frames into text boxes and the like).
  if (!dirty_ && format == format_) {
    std::filesystem::path temp = target;
    temp += ".part~";
    std::filesystem::copy_file(path_, temp, std::filesystem::copy_options::overwrite_existing, ec);
    if (!ec)
      std::filesystem::rename(temp, target, ec);
    if (ec) {
      std::wstring reason = platform::FromUtf8(ec.message());
      std::filesystem::remove(temp, ec);
      throw automation::ServerException(L"The file could not be written: " +
                                        platform::FromPath(target) + L" (" + reason + L")");
    }
    return;
  }
  // The older formats go through a .docx in the server's private folder.
  std::filesystem::path docx = office_->ScratchPath("docx");
  package_->SaveAs(docx);
  try {
    office_->FromDocx(docx, target, format == 0 ? FileKind::Doc : FileKind::Rtf);
  } catch (...) {
    std::filesystem::remove(docx, ec);
    throw;
  }
  std::filesystem::remove(docx, ec);
}

}  // namespace docserver
