// Edits of the main text: deleting stretches, inserting page breaks, keeping the rest whole.
#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

#include "docserver/document.h"
#include "platform/text.h"

namespace docserver {

namespace {

bool Is(const pugi::xml_node& node, const char* name) {
  return std::strcmp(node.name(), name) == 0;
}

pugi::xml_node BreakRun(pugi::xml_node run) {
  run.append_child("w:br").append_attribute("w:type") = "page";
  return run;
}

// Zero-width marks that may trail a paragraph's text.
bool IsMarker(const pugi::xml_node& n) {
  std::string_view name = n.name();
  return name.starts_with("w:bookmark") || name.starts_with("w:commentRange") ||
         name.starts_with("w:perm") || name == "w:proofErr";
}

// Between the halves of a split table: an empty paragraph that starts a page. One position,
// like a break character, so callers' arithmetic holds.
void BreakParagraph(pugi::xml_node p) {
  p.append_child("w:pPr").append_child("w:pageBreakBefore");
}

void RemoveEmptyRun(pugi::xml_node run) {
  if (!run || !Is(run, "w:r"))
    return;
  for (auto c : run.children())
    if (c.type() == pugi::node_element && !Is(c, "w:rPr"))
      return;
  run.parent().remove_child(run);
}

}  // namespace

bool Document::SplitAt(int pos) {
  int index = story_.SegmentAt(pos);
  if (index < 0)
    return false;
  const Segment& seg = story_.Segments()[static_cast<std::size_t>(index)];
  if (seg.length < 2 || pos == seg.start)
    return false;
  pugi::xml_node t = seg.node;
  pugi::xml_node run = t.parent();
  if (!Is(run, "w:r"))
    return false;
  std::wstring text = platform::FromUtf8(t.text().get());
  auto k = static_cast<std::size_t>(pos - seg.start);
  pugi::xml_node second = run.parent().insert_child_after("w:r", run);
  if (auto rpr = run.child("w:rPr"))
    second.append_copy(rpr);
  pugi::xml_node tail = second.append_child(t.name());
  tail.append_attribute("xml:space") = "preserve";
  tail.text() = platform::ToUtf8(text.substr(k)).c_str();
  while (auto next = t.next_sibling())
    second.append_move(next);
  if (!t.attribute("xml:space"))
    t.append_attribute("xml:space") = "preserve";
  t.text() = platform::ToUtf8(text.substr(0, k)).c_str();
  return true;
}

void Document::Delete(int a, int b) {
  a = std::clamp(a, 0, story_.Length());
  b = std::clamp(b, a, story_.Length());
  if (a == b)
    return;
  dirty_ = true;
  // The whole story is indexed again only when a run was split.
  bool split = SplitAt(b);
  if (SplitAt(a) || split)
    Reindex();
  const auto& paras = story_.Paragraphs();
  bool toEnd = b >= story_.Length();
  pugi::xml_node finalPara;
  for (auto c = body_.last_child(); c && !finalPara; c = c.previous_sibling())
    if (Is(c, "w:p"))
      finalPara = c;
  // The piece's last section keeps its page setup when the cut runs to the end.
  if (toEnd) {
    for (std::size_t i = static_cast<std::size_t>(story_.ParagraphAt(a)); i < paras.size(); ++i) {
      auto sect = paras[i].node.child("w:pPr").child("w:sectPr");
      if (!sect || paras[i].tableDepth != 0)
        continue;
      if (paras[i].span.end - 1 >= a) {
        if (auto old = body_.child("w:sectPr"))
          body_.remove_child(old);
        body_.append_copy(sect);
      }
      break;
    }
  }
  if (!toEnd)
    KeepInheritedHeaders(a, b);
  pugi::xml_node head, tail;
  {
    const Paragraph& p1 = paras[static_cast<std::size_t>(story_.ParagraphAt(a))];
    if (p1.span.start < a && p1.span.end - 1 < b)
      head = p1.node;
    if (b < story_.Length()) {
      const Paragraph& p2 = paras[static_cast<std::size_t>(story_.ParagraphAt(b))];
      if (p2.node != head)
        tail = p2.node;
    } else if (finalPara != head) {
      // A cut inside the last paragraph keeps the paragraph: nothing to join.
      tail = finalPara;
    }
  }
  DeleteBlock(body_, a, b, finalPara);
  // Join the paragraphs whose mark went: the text before the cut moves into the paragraph
  // after it, unless the cut ran to the end, where the earlier paragraph stays the last one.
  if (head && tail && head.parent() == tail.parent()) {
    if (toEnd && tail == finalPara) {
      if (auto sect = head.child("w:pPr").child("w:sectPr"))
        head.child("w:pPr").remove_child(sect);
      tail.parent().remove_child(tail);
    } else {
      pugi::xml_node anchor = tail.first_child();
      while (anchor && Is(anchor, "w:pPr"))
        anchor = anchor.next_sibling();
      std::vector<pugi::xml_node> moving;
      for (auto c : head.children())
        if (!Is(c, "w:pPr"))
          moving.push_back(c);
      for (auto c : moving)
        anchor ? tail.insert_move_before(c, anchor) : tail.append_move(c);
      head.parent().remove_child(head);
    }
  }
  if (toEnd)
    TidyEnd();
  if (a == 0)
    DropStaleRecordedBreaks();
  // A document ends with a paragraph.
  pugi::xml_node last;
  for (auto c = body_.last_child(); c; c = c.previous_sibling())
    if (c.type() == pugi::node_element && !Is(c, "w:sectPr")) {
      last = c;
      break;
    }
  if (!last || !Is(last, "w:p")) {
    if (auto sect = body_.child("w:sectPr"))
      body_.insert_child_before("w:p", sect);
    else
      body_.append_child("w:p");
  }
  int removed = b - a;
  Reindex();
  int len = story_.Length();
  auto move = [&](int p) { return std::clamp(p >= b ? p - removed : (p > a ? a : p), 0, len); };
  for (auto& w : ranges_)
    if (auto r = w.lock()) {
      r->start = move(r->start);
      r->end = std::max(r->start, move(r->end));
    }
  for (int& p : layoutStarts_)
    p = move(p);
  FollowEdit(a, removed, 0);
}

// A section without a header or footer of its own shows the one of the section before. When
// the cut removes the section breaks before a section, that section gets the references it
// showed, so the piece keeps its headers and footers.
void Document::KeepInheritedHeaders(int a, int b) {
  std::map<std::string, pugi::xml_node> shown, removed;
  auto kinds = [](pugi::xml_node sect, auto&& visit) {
    for (auto ref : sect.children())
      if (Is(ref, "w:headerReference") || Is(ref, "w:footerReference"))
        visit(std::string(ref.name()) + ":" + ref.attribute("w:type").as_string("default"), ref);
  };
  bool cut = false;
  for (const auto& para : story_.Paragraphs()) {
    auto sect = para.node.child("w:pPr").child("w:sectPr");
    if (!sect || para.tableDepth != 0)
      continue;
    kinds(sect, [&](const std::string& k, pugi::xml_node ref) { shown[k] = ref; });
    int mark = para.span.end - 1;
    if (mark >= a && mark < b) {
      cut = true;
      removed = shown;
    } else if (mark >= b) {
      if (cut)
        Inherit(sect, removed);
      return;
    }
  }
  if (cut)
    Inherit(body_.child("w:sectPr"), removed);
}

void Document::Inherit(pugi::xml_node sect, const std::map<std::string, pugi::xml_node>& refs) {
  if (!sect)
    return;
  std::set<std::string> own;
  for (auto ref : sect.children())
    if (Is(ref, "w:headerReference") || Is(ref, "w:footerReference"))
      own.insert(std::string(ref.name()) + ":" + ref.attribute("w:type").as_string("default"));
  for (const auto& [kind, ref] : refs)
    if (!own.count(kind))
      sect.prepend_copy(ref);
}

std::vector<std::pair<pugi::xml_node, Span>> Document::ChildrenMeeting(pugi::xml_node container,
                                                                       int a, int b) {
  std::vector<pugi::xml_node> children;
  for (auto c : container.children())
    if (c.type() == pugi::node_element)
      children.push_back(c);
  std::vector<std::pair<pugi::xml_node, Span>> meeting;
  for (auto child : children) {
    Span s;
    if (!story_.SpanOf(child, s))
      continue;
    if (s.start == s.end) {
      if (s.start > a && s.start < b)
        container.remove_child(child);
      continue;
    }
    if (s.end > a && s.start < b)
      meeting.emplace_back(child, s);
  }
  return meeting;
}

void Document::DeleteBlock(pugi::xml_node container, int a, int b, pugi::xml_node finalPara) {
  for (auto [child, s] : ChildrenMeeting(container, a, b)) {
    bool whole = s.start >= a && s.end <= b;
    if (Is(child, "w:p")) {
      if (whole && child != finalPara) {
        container.remove_child(child);
      } else {
        DeleteInline(child, a, b);
      }
    } else if (whole) {
      container.remove_child(child);
    } else if (Is(child, "w:tbl")) {
      for (auto row : child.children("w:tr")) {
        Span rs;
        if (!story_.SpanOf(row, rs) || rs.end <= a || rs.start >= b)
          continue;
        if (rs.start >= a && rs.end <= b) {
          row.set_name("w:tr-deleted");
          continue;
        }
        for (auto cell : row.children("w:tc")) {
          DeleteBlock(cell, a, b, {});
          pugi::xml_node lastBlock;
          for (auto c = cell.last_child(); c; c = c.previous_sibling())
            if (c.type() == pugi::node_element && !Is(c, "w:tcPr")) {
              lastBlock = c;
              break;
            }
          if (!lastBlock || !Is(lastBlock, "w:p"))
            cell.append_child("w:p");
        }
      }
      while (auto gone = child.child("w:tr-deleted"))
        child.remove_child(gone);
      if (!child.child("w:tr"))
        container.remove_child(child);
    } else if (Is(child, "w:sdt")) {
      auto content = child.child("w:sdtContent");
      DeleteBlock(content, a, b, finalPara);
      if (!content.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; }))
        container.remove_child(child);
    } else {
      DeleteBlock(child, a, b, finalPara);
    }
  }
}

void Document::DeleteInline(pugi::xml_node container, int a, int b) {
  for (auto [child, s] : ChildrenMeeting(container, a, b)) {
    if (s.start >= a && s.end <= b) {
      container.remove_child(child);
      continue;
    }
    DeleteInline(child, a, b);
    if (Is(child, "w:r"))
      RemoveEmptyRun(child);
  }
}

// After a cut from the start, places where Word recorded a page start before the first text
// that is left are no page starts any more.
void Document::DropStaleRecordedBreaks() {
  Reindex();
  int first = 0;
  while (first < story_.Length()) {
    Atom k = story_.KindAt(first);
    if (k != Atom::ParaMark && k != Atom::CellEnd && k != Atom::RowEnd)
      break;
    ++first;
  }
  for (auto x : body_.select_nodes(".//w:lastRenderedPageBreak")) {
    Span s;
    if (story_.SpanOf(x.node(), s) && s.start > first)
      break;
    x.node().parent().remove_child(x.node());
  }
}

// After a cut to the end, breaks left at the very end would only add blank pages: the page
// breaks closing the last paragraph go, and an empty last paragraph after a section break goes
// with that section break, whose setup becomes the document's last.
void Document::TidyEnd() {
  auto lastContent = [](pugi::xml_node container) {
    for (auto c = container.last_child(); c; c = c.previous_sibling())
      if (c.type() == pugi::node_element && !Is(c, "w:pPr") && !Is(c, "w:rPr") && !IsMarker(c))
        return c;
    return pugi::xml_node{};
  };
  auto endsWithBreak = [&](pugi::xml_node p) {
    pugi::xml_node run = lastContent(p);
    pugi::xml_node br = run && Is(run, "w:r") ? lastContent(run) : pugi::xml_node{};
    return br && Is(br, "w:br") && std::strcmp(br.attribute("w:type").as_string(), "page") == 0;
  };
  // The paragraph before a block in reading order, through content controls; none when a
  // table or anything else comes first.
  auto previousPara = [&](pugi::xml_node node) -> pugi::xml_node {
    for (;;) {
      pugi::xml_node prev = node.previous_sibling();
      while (prev && (prev.type() != pugi::node_element || Is(prev, "w:sdtPr") ||
                      Is(prev, "w:sdtEndPr") || IsMarker(prev)))
        prev = prev.previous_sibling();
      if (!prev) {
        pugi::xml_node up = node.parent();
        if (Is(up, "w:sdtContent")) {
          node = up.parent();
          continue;
        }
        return {};
      }
      if (Is(prev, "w:p"))
        return prev;
      if (Is(prev, "w:sdt") && prev.child("w:sdtContent")) {
        pugi::xml_node inner = prev.child("w:sdtContent").last_child();
        while (inner && inner.type() != pugi::node_element)
          inner = inner.previous_sibling();
        if (!inner)
          return {};
        if (Is(inner, "w:p"))
          return inner;
        node = inner;
        if (!Is(inner, "w:sdt"))
          return {};
        continue;
      }
      return {};
    }
  };
  pugi::xml_node last = body_.last_child();
  while (last && (last.type() != pugi::node_element || Is(last, "w:sectPr") || IsMarker(last)))
    last = last.previous_sibling();
  while (last && Is(last, "w:sdt")) {
    last = last.child("w:sdtContent").last_child();
    while (last && last.type() != pugi::node_element)
      last = last.previous_sibling();
  }
  if (last && !Is(last, "w:p"))
    return;
  while (last) {
    while (endsWithBreak(last)) {
      pugi::xml_node run = lastContent(last);
      run.remove_child(lastContent(run));
      RemoveEmptyRun(run);
    }
    if (lastContent(last))
      break;
    pugi::xml_node before = previousPara(last);
    if (!before)
      break;
    if (auto sect = before.child("w:pPr").child("w:sectPr")) {
      // The empty paragraph after a section break goes, and that section's setup becomes the
      // document's last.
      if (auto old = body_.child("w:sectPr"))
        body_.remove_child(old);
      body_.append_move(sect);
    } else if (!endsWithBreak(before)) {
      break;
    }
    pugi::xml_node parent = last.parent();
    parent.remove_child(last);
    if (Is(parent, "w:sdtContent") &&
        !parent.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; }))
      parent.parent().parent().remove_child(parent.parent());
    last = before;
  }
}

int Document::InsertBreak(int pos, LiveRange* caller) {
  pos = std::clamp(pos, 0, story_.Length());
  dirty_ = true;
  int inserted = 1;
  if (story_.Paragraphs().empty()) {
    if (auto sect = body_.child("w:sectPr"))
      body_.insert_child_before("w:p", sect);
    else
      body_.append_child("w:p");
    Reindex();
  }
  int para = story_.ParagraphAt(pos);
  const auto& paras = story_.Paragraphs();
  if (para >= 0 && paras[static_cast<std::size_t>(para)].tableDepth > 0) {
    // Split the body-level table before the row that holds the position.
    pugi::xml_node table;
    for (const auto& t : story_.Tables())
      if (t.depth == 0 && t.span.start <= pos && pos < t.span.end)
        table = t.node;
    pugi::xml_node row;
    for (auto r : table.children("w:tr")) {
      Span rs;
      if (story_.SpanOf(r, rs) && rs.start <= pos && pos < rs.end) {
        row = r;
        break;
      }
    }
    if (table && row) {
      pugi::xml_node parent = table.parent();
      if (row == table.child("w:tr")) {
        BreakParagraph(parent.insert_child_before("w:p", table));
      } else {
        pugi::xml_node second = parent.insert_child_after("w:tbl", table);
        if (auto pr = table.child("w:tblPr"))
          second.append_copy(pr);
        if (auto grid = table.child("w:tblGrid"))
          second.append_copy(grid);
        for (pugi::xml_node r = row; r;) {
          pugi::xml_node next = r.next_sibling();
          second.append_move(r);
          r = next;
        }
        BreakParagraph(parent.insert_child_after("w:p", table));
      }
      Span rs;
      story_.SpanOf(row, rs);
      pos = rs.start;
      inserted = 1;
    }
  } else {
    SplitAt(pos);
    Reindex();
    int index = story_.SegmentAt(pos);
    pugi::xml_node at =
        index >= 0 ? story_.Segments()[static_cast<std::size_t>(index)].node : pugi::xml_node{};
    if (!at || Is(at, "w:p")) {
      pugi::xml_node p = at ? at : story_.Paragraphs().back().node;
      BreakRun(p.append_child("w:r"));
    } else {
      pugi::xml_node run = Is(at.parent(), "w:r") ? at.parent() : at;
      BreakRun(run.parent().insert_child_before("w:r", run));
    }
  }
  Reindex();
  for (auto& w : ranges_)
    if (auto r = w.lock()) {
      if (r.get() == caller)
        continue;
      bool collapsed = r->start == r->end;
      if (r->start > pos)
        r->start += inserted;
      if (r->end > pos || (r->end == pos && !collapsed))
        r->end += inserted;
      r->end = std::max(r->start, r->end);
    }
  // A page that started here now starts after the break.
  for (int& p : layoutStarts_)
    if (p > pos || (p == pos && p > 0))
      p += inserted;
  if (caller)
    caller->start = caller->end = pos + inserted;
  FollowEdit(pos, 0, inserted);
  return inserted;
}

}  // namespace docserver
