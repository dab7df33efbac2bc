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
// like a break character, so callers' arithmetic holds. Marked, so that a cut can join the
// halves again; the mark never reaches a saved file.
void BreakParagraph(pugi::xml_node p) {
  p.append_attribute(kSplitMark) = "1";
  p.append_child("w:pPr").append_child("w:pageBreakBefore");
}

// An empty paragraph a cut must leave after a table (a document and a cell end with a
// paragraph), as low as it can be: on a full page a line would start a page of its own.
void MakeSpacer(pugi::xml_node p) {
  p.remove_child("w:pPr");
  pugi::xml_node ppr = p.prepend_child("w:pPr");
  pugi::xml_node spacing = ppr.append_child("w:spacing");
  spacing.append_attribute("w:before") = "0";
  spacing.append_attribute("w:after") = "0";
  spacing.append_attribute("w:line") = "20";
  spacing.append_attribute("w:lineRule") = "exact";
  pugi::xml_node rpr = ppr.append_child("w:rPr");
  rpr.append_child("w:sz").append_attribute("w:val") = "2";
  rpr.append_child("w:szCs").append_attribute("w:val") = "2";
}

pugi::xml_node ElementSibling(pugi::xml_node n, bool next) {
  do
    n = next ? n.next_sibling() : n.previous_sibling();
  while (n && n.type() != pugi::node_element);
  return n;
}

// The child of `ancestor` that holds `node`.
pugi::xml_node ChildHolding(pugi::xml_node ancestor, pugi::xml_node node) {
  while (node && node.parent() != ancestor)
    node = node.parent();
  return node;
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

void Document::Touch() {
  // The numbers lists and notes show are read before the first edit takes any of them away.
  if (!dirty_)
    numbers_.Note(*package_, mainPart_, body_);
  dirty_ = true;
}

void Document::Delete(int a, int b) {
  a = std::clamp(a, 0, story_.Length());
  b = std::clamp(b, a, story_.Length());
  if (a == b)
    return;
  // A line break that ends what a cut to the end keeps would only add an empty line there.
  if (b >= story_.Length())
    while (a > 0 && story_.KindAt(a - 1) == Atom::LineBreak)
      --a;
  Touch();
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
  if (a == 0)
    DropRepeatedRowStarts(b);
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
  bool finalGone = false;
  if (head && tail && head.parent() == tail.parent()) {
    if (toEnd && tail == finalPara) {
      if (auto sect = head.child("w:pPr").child("w:sectPr"))
        head.child("w:pPr").remove_child(sect);
      tail.parent().remove_child(tail);
      finalGone = true;
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
  // A cut to the end leaves the document's last paragraph, emptied, after what the piece keeps:
  // one more line that can spill onto a page of its own.
  if (toEnd && !finalGone && finalPara) {
    pugi::xml_node before = ElementSibling(finalPara, false);
    bool empty = true;
    for (auto c : finalPara.children())
      empty = empty && (c.type() != pugi::node_element || Is(c, "w:pPr") || IsMarker(c));
    Span was;
    if (empty && before && Is(before, "w:p") && !before.child("w:pPr").child("w:sectPr"))
      finalPara.parent().remove_child(finalPara);
    else if (empty && story_.SpanOf(finalPara, was) && was.start >= a)
      // Kept only because a document ends with a paragraph: it must not start a page.
      MakeSpacer(finalPara);
  }
  int joined = toEnd ? JoinSplitTables() : -1;
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
      MakeSpacer(body_.insert_child_before("w:p", sect));
    else
      MakeSpacer(body_.append_child("w:p"));
  }
  int removed = b - a;
  Reindex();
  int len = story_.Length();
  auto move = [&](int p) {
    p = p >= b ? p - removed : (p > a ? a : p);
    return std::clamp(joined >= 0 && p > joined ? p - 1 : p, 0, len);
  };
  for (auto& w : ranges_)
    if (auto r = w.lock()) {
      r->start = move(r->start);
      r->end = std::max(r->start, move(r->end));
    }
  for (int& p : layoutStarts_)
    p = move(p);
  FollowEdit(a, removed, 0, joined);
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
      // Zero-width marks inside the cut go; the properties of what stays never do.
      if (s.start > a && s.start < b && !std::string_view(child.name()).ends_with("Pr"))
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
          if (!lastBlock)
            cell.append_child("w:p");
          else if (!Is(lastBlock, "w:p"))
            MakeSpacer(cell.append_child("w:p"));
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

// A cut to the end that falls inside or at a row of a table split for it leaves the break
// paragraph between the halves in the piece, where it would start a blank or needless page:
// the halves become one table again, or, with nothing after it, the paragraph ends the piece
// without starting a page; a table split before its first row, where the cut falls inside that
// row, only loses the paragraph. Returns the position of a paragraph removed, or -1.
int Document::JoinSplitTables() {
  int removed = -1;
  std::vector<pugi::xml_node> marks;
  for (auto x : body_.select_nodes((std::string(".//w:p[@") + kSplitMark + "]").c_str()))
    marks.push_back(x.node());
  for (auto p : marks) {
    pugi::xml_node before = ElementSibling(p, false);
    pugi::xml_node after = ElementSibling(p, true);
    if (before && after && Is(before, "w:tbl") && Is(after, "w:tbl")) {
      Span s;
      if (story_.SpanOf(p, s))
        removed = s.start;
      for (pugi::xml_node r = after.first_child(); r;) {
        pugi::xml_node next = r.next_sibling();
        if (!Is(r, "w:tblPr") && !Is(r, "w:tblGrid") && !Is(r, "w:tblPrEx"))
          before.append_move(r);
        r = next;
      }
      p.parent().remove_child(after);
      p.parent().remove_child(p);
    } else if (after && Is(after, "w:tbl")) {
      Span s;
      if (story_.SpanOf(p, s))
        removed = s.start;
      p.parent().remove_child(p);
    } else if (!after || Is(after, "w:sectPr")) {
      p.remove_attribute(kSplitMark);
      MakeSpacer(p);
    }
  }
  return removed;
}

// Word repeats a recorded page start in every cell of a row that starts a page, and a row
// running over pages has one in each cell for every page. A cut from the start into such a row
// removes those of the pages cut off from the cells it keeps whole, so they start no page in
// the piece.
void Document::DropRepeatedRowStarts(int b) {
  pugi::xml_node table;
  for (const auto& t : story_.Tables())
    if (t.depth == 0 && t.span.start <= b && b < t.span.end)
      table = t.node;
  if (!table)
    return;
  // The row holding b at each depth of nesting, the body-level one first.
  std::vector<pugi::xml_node> rows;
  for (auto x : table.select_nodes(".//w:tr")) {
    Span rs;
    if (story_.SpanOf(x.node(), rs) && rs.start <= b && b < rs.end)
      rows.push_back(x.node());
  }
  for (pugi::xml_node row : rows) {
    auto cellOf = [&](pugi::xml_node n) {
      pugi::xml_node cell = ChildHolding(row, n);
      return Is(cell, "w:sdt") ? ChildHolding(cell.child("w:sdtContent"), n) : cell;
    };
    std::vector<std::pair<pugi::xml_node, std::vector<std::pair<int, pugi::xml_node>>>> cells;
    for (auto x : row.select_nodes(".//w:lastRenderedPageBreak")) {
      Span s;
      if (!story_.SpanOf(x.node(), s))
        continue;
      pugi::xml_node cell = cellOf(x.node());
      if (cells.empty() || cells.back().first != cell)
        cells.push_back({cell, {}});
      cells.back().second.emplace_back(s.start, x.node());
    }
    // Recorded starts of the pages cut off, counted in the cell the cut falls in.
    std::size_t cut = 0;
    std::size_t i = 0;
    for (; i < cells.size(); ++i) {
      Span cs;
      if (story_.SpanOf(cells[i].first, cs) && cs.start <= b && b < cs.end) {
        for (const auto& mark : cells[i].second)
          cut += mark.first <= b;
        break;
      }
    }
    for (std::size_t k = i + 1; k < cells.size(); ++k)
      for (std::size_t m = 0; m < cut && m < cells[k].second.size(); ++m)
        cells[k].second[m].second.parent().remove_child(cells[k].second[m].second);
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
  Touch();
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
    // Split the innermost table before the row that holds the position.
    pugi::xml_node table;
    int depth = -1;
    for (const auto& t : story_.Tables())
      if (t.depth > depth && t.span.start <= pos && pos < t.span.end) {
        table = t.node;
        depth = t.depth;
      }
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
