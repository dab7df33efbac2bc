#include "docserver/numbering.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "automation/errors.h"
#include "docserver/package.h"

namespace docserver {

namespace {

bool Is(const pugi::xml_node& node, const char* name) {
  return std::strcmp(node.name(), name) == 0;
}

int Val(const pugi::xml_node& node, int fallback) {
  return node ? node.attribute("w:val").as_int(fallback) : fallback;
}

// The part a relationship of the main part of this type leads to, or "".
std::string RelatedPart(Package& package, const std::string& mainPart, std::string_view type) {
  std::string rels = RelsPartName(mainPart);
  if (!package.Has(rels))
    return {};
  for (auto rel : package.Xml(rels).child("Relationships").children("Relationship")) {
    std::string_view t = rel.attribute("Type").as_string();
    if (t.ends_with(type)) {
      std::string part = ResolvePartName(mainPart, rel.attribute("Target").as_string());
      return package.Has(part) ? part : std::string();
    }
  }
  return {};
}

pugi::xml_node PartRoot(Package& package, const std::string& part) {
  if (part.empty())
    return {};
  try {
    return package.Xml(part).document_element();
  } catch (const automation::ServerException&) {
    return {};  // a damaged part: its numbers are not known, the piece goes without them
  }
}

// Body paragraphs in reading order, as the layout counts them (not those of text boxes).
template <typename Visit>
void EachParagraph(pugi::xml_node node, Visit& visit) {
  for (auto child : node.children()) {
    if (child.type() != pugi::node_element)
      continue;
    if (Is(child, "w:p"))
      visit(child);
    else if (!Is(child, "mc:Fallback"))
      EachParagraph(child, visit);
  }
}

// Every element below node in document order, text boxes' contents included.
template <typename Visit>
void EachElement(pugi::xml_node node, Visit& visit) {
  for (auto child : node.children()) {
    if (child.type() != pugi::node_element || Is(child, "mc:Fallback"))
      continue;
    visit(child);
    EachElement(child, visit);
  }
}

// Inserts a child of a property element at its place in the schema's order: after the last
// child whose name comes before it in `order` (Word refuses elements out of order).
pugi::xml_node InsertOrdered(pugi::xml_node parent, const char* name,
                             const std::vector<std::string_view>& order) {
  auto rank = [&](std::string_view n) {
    auto it = std::find(order.begin(), order.end(), n);
    return it == order.end() ? static_cast<std::ptrdiff_t>(order.size()) : it - order.begin();
  };
  const std::ptrdiff_t mine = rank(name);
  pugi::xml_node after;
  for (auto c : parent.children())
    if (c.type() == pugi::node_element && rank(c.name()) < mine)
      after = c;
  return after ? parent.insert_child_after(name, after) : parent.prepend_child(name);
}

pugi::xml_node SetVal(pugi::xml_node parent, const char* name,
                      const std::vector<std::string_view>& order, int value) {
  pugi::xml_node node = parent.child(name);
  if (!node)
    node = InsertOrdered(parent, name, order);
  (node.attribute("w:val") ? node.attribute("w:val") : node.append_attribute("w:val")) = value;
  return node;
}

const std::vector<std::string_view> kParagraphOrder = {
    "w:pStyle",  "w:keepNext",     "w:keepLines", "w:pageBreakBefore",
    "w:framePr", "w:widowControl", "w:numPr"};
const std::vector<std::string_view> kSectionOrder = {"w:headerReference", "w:footerReference",
                                                     "w:footnotePr", "w:endnotePr"};
const std::vector<std::string_view> kNoteOrder = {"w:pos", "w:numFmt", "w:numStart",
                                                  "w:numRestart"};

// How one kind of note counts: its start and when it starts again.
struct NoteRule {
  int start = 1;
  std::string restart = "continuous";
};

NoteRule ReadRule(pugi::xml_node props, NoteRule rule) {
  if (!props)
    return rule;
  rule.start = Val(props.child("w:numStart"), rule.start);
  if (auto r = props.child("w:numRestart"))
    rule.restart = r.attribute("w:val").as_string("continuous");
  return rule;
}

// The sections of the body in order, each with its properties (the paragraph-held ones and the
// body's own at the end).
std::vector<pugi::xml_node> Sections(pugi::xml_node body) {
  std::vector<pugi::xml_node> out;
  for (auto c : body.children())
    if (Is(c, "w:p"))
      if (auto s = c.child("w:pPr").child("w:sectPr"))
        out.push_back(s);
  if (auto s = body.child("w:sectPr"))
    out.push_back(s);
  return out;
}

// Calls visit(reference, section) for each note reference of this kind in body order; the
// paragraph that holds a section's properties is the section's last.
template <typename Visit>
void EachReference(pugi::xml_node body, const char* reference, Visit visit) {
  int section = 0;
  auto step = [&](pugi::xml_node n) {
    if (Is(n, reference))
      visit(n, section);
  };
  for (auto c : body.children()) {
    if (c.type() != pugi::node_element)
      continue;
    step(c);
    EachElement(c, step);
    if (Is(c, "w:p") && c.child("w:pPr").child("w:sectPr"))
      ++section;
  }
}

// The number each reference shows, by its node.
void NumberNotes(pugi::xml_node body, pugi::xml_node settings, const char* reference,
                 const char* props, std::unordered_map<const void*, int>& out) {
  const NoteRule document = ReadRule(settings.child(props), NoteRule{});
  const auto sections = Sections(body);
  int counter = 0;
  int current = -1;
  EachReference(body, reference, [&](pugi::xml_node ref, int section) {
    NoteRule rule = document;
    if (section < static_cast<int>(sections.size()))
      rule = ReadRule(sections[static_cast<std::size_t>(section)].child(props), document);
    if (current < 0)
      counter = rule.start;
    else if (section != current && rule.restart == "eachSect")
      counter = rule.start;
    current = section;
    if (ref.attribute("w:customMarkFollows").as_bool())
      return;
    if (rule.restart != "eachPage")
      out[ref.internal_object()] = counter;
    ++counter;
  });
}

// Makes the piece's notes of one kind begin at the number its first one showed in the source.
void ContinueNotes(pugi::xml_node body, const char* reference, const char* props,
                   const std::unordered_map<const void*, int>& shown) {
  if (shown.empty())
    return;
  int first = -1;
  int firstSection = -1;
  EachReference(body, reference, [&](pugi::xml_node ref, int section) {
    if (first >= 0)
      return;
    auto it = shown.find(ref.internal_object());
    if (it != shown.end()) {
      first = it->second;
      firstSection = section;
    }
  });
  if (first < 0)
    return;
  // The sections before the first note's count along with it when the numbering runs on.
  const auto sections = Sections(body);
  for (int s = 0; s <= firstSection && s < static_cast<int>(sections.size()); ++s) {
    auto sect = sections[static_cast<std::size_t>(s)];
    auto p = sect.child(props);
    if (!p)
      p = InsertOrdered(sect, props, kSectionOrder);
    SetVal(p, "w:numStart", kNoteOrder, first);
  }
}

}  // namespace

void ListDefinitions::Load(pugi::xml_node numbering, pugi::xml_node styles) {
  for (auto style : styles.children("w:style")) {
    if (std::strcmp(style.attribute("w:type").as_string("paragraph"), "paragraph") != 0)
      continue;
    StyleNum s;
    s.basedOn = style.child("w:basedOn").attribute("w:val").as_string();
    auto numPr = style.child("w:pPr").child("w:numPr");
    s.numId = Val(numPr.child("w:numId"), -1);
    s.level = Val(numPr.child("w:ilvl"), -1);
    styles_[style.attribute("w:styleId").as_string()] = s;
  }
  std::map<int, std::string> links;  // abstract -> the numbering style it takes its levels from
  for (auto a : numbering.children("w:abstractNum")) {
    int id = a.attribute("w:abstractNumId").as_int(-1);
    auto& levels = abstracts_[id];
    auto& levelStyles = levelStyles_[id];
    for (auto lvl : a.children("w:lvl")) {
      int i = lvl.attribute("w:ilvl").as_int(-1);
      if (i < 0 || i >= kLevels)
        continue;
      auto& l = levels[static_cast<std::size_t>(i)];
      l.start = Val(lvl.child("w:start"), 0);
      l.restart = Val(lvl.child("w:lvlRestart"), -1);
      l.text = lvl.child("w:lvlText").attribute("w:val").as_string();
      levelStyles[static_cast<std::size_t>(i)] =
          lvl.child("w:pStyle").attribute("w:val").as_string();
    }
    if (auto link = a.child("w:numStyleLink"))
      links[id] = link.attribute("w:val").as_string();
  }
  for (auto n : numbering.children("w:num")) {
    Num num;
    num.abstractId = Val(n.child("w:abstractNumId"), -1);
    for (auto o : n.children("w:lvlOverride")) {
      int i = o.attribute("w:ilvl").as_int(-1);
      if (i >= 0 && i < kLevels)
        num.startOverride[static_cast<std::size_t>(i)] = Val(o.child("w:startOverride"), -1);
    }
    nums_[n.attribute("w:numId").as_int(-1)] = num;
  }
  // A list over a numbering style counts with the levels of the list that style names.
  for (auto& [id, num] : nums_) {
    auto link = links.find(num.abstractId);
    if (link == links.end())
      continue;
    auto style = styles_.find(link->second);
    if (style == styles_.end())
      continue;
    auto target = nums_.find(style->second.numId);
    if (target != nums_.end() && abstracts_.count(target->second.abstractId) &&
        !links.count(target->second.abstractId))
      num.abstractId = target->second.abstractId;
  }
}

ListDefinitions::Membership ListDefinitions::Of(pugi::xml_node paragraph) const {
  auto pPr = paragraph.child("w:pPr");
  auto numPr = pPr.child("w:numPr");
  int numId = Val(numPr.child("w:numId"), -1);
  int level = Val(numPr.child("w:ilvl"), -1);
  std::string style = pPr.child("w:pStyle").attribute("w:val").as_string();
  const std::string own = style;
  for (int guard = 0; guard < 64 && !style.empty() && (numId < 0 || level < 0); ++guard) {
    auto it = styles_.find(style);
    if (it == styles_.end())
      break;
    if (numId < 0)
      numId = it->second.numId;
    if (level < 0)
      level = it->second.level;
    style = it->second.basedOn;
  }
  if (numId <= 0 || !nums_.count(numId))
    return {};
  if (level < 0) {
    // A style tied to a level of the list names that level.
    level = 0;
    auto styles = levelStyles_.find(AbstractOf(numId));
    if (styles != levelStyles_.end() && !own.empty())
      for (int i = 0; i < kLevels; ++i)
        if (styles->second[static_cast<std::size_t>(i)] == own)
          level = i;
  }
  return {numId, std::clamp(level, 0, kLevels - 1)};
}

int ListDefinitions::AbstractOf(int numId) const {
  auto it = nums_.find(numId);
  return it == nums_.end() ? -1 : it->second.abstractId;
}

const ListDefinitions::Level* ListDefinitions::LevelOf(int numId, int level) const {
  auto a = abstracts_.find(AbstractOf(numId));
  if (a == abstracts_.end() || level < 0 || level >= kLevels)
    return nullptr;
  return &a->second[static_cast<std::size_t>(level)];
}

int ListDefinitions::Start(int numId, int level) const {
  auto it = nums_.find(numId);
  if (it != nums_.end() && level >= 0 && level < kLevels &&
      it->second.startOverride[static_cast<std::size_t>(level)] >= 0)
    return it->second.startOverride[static_cast<std::size_t>(level)];
  const Level* l = LevelOf(numId, level);
  return l ? l->start : 0;
}

bool ListDefinitions::Restarts(int numId, int level, int itemLevel) const {
  const Level* l = LevelOf(numId, level);
  int restart = l ? l->restart : -1;
  if (restart < 0)
    return true;
  return restart > 0 && itemLevel < restart;
}

bool ListDefinitions::LabelShows(int numId, int level, int shown) const {
  const Level* l = LevelOf(numId, level);
  if (!l)
    return false;
  std::string mark = "%";  // appended: GCC 12 at -O3 warns falsely on "lit" + std::string
  mark += std::to_string(shown + 1);
  return l->text.find(mark) != std::string::npos;
}

void SourceNumbers::Note(Package& package, const std::string& mainPart, pugi::xml_node body) {
  numberingPart_ = RelatedPart(package, mainPart, "/numbering");
  if (auto numbering = PartRoot(package, numberingPart_))
    lists_.Load(numbering, PartRoot(package, RelatedPart(package, mainPart, "/styles")));
  if (!lists_.Empty()) {
    std::map<int, ListState> lists;
    auto visit = [&](pugi::xml_node p) {
      auto m = lists_.Of(p);
      if (m.numId == 0)
        return;
      ListState& state = lists[m.numId];
      items_[p.internal_object()] = Item{m.numId, m.level, state};
      const auto k = static_cast<std::size_t>(m.level);
      state.value[k] = state.counting[k] ? state.value[k] + 1 : lists_.Start(m.numId, m.level);
      state.counting[k] = true;
      for (int deeper = m.level + 1; deeper < ListDefinitions::kLevels; ++deeper)
        if (lists_.Restarts(m.numId, deeper, m.level))
          state.counting[static_cast<std::size_t>(deeper)] = false;
    };
    EachParagraph(body, visit);
  }
  const bool notes = !RelatedPart(package, mainPart, "/footnotes").empty() ||
                     !RelatedPart(package, mainPart, "/endnotes").empty();
  if (notes) {
    auto settings = PartRoot(package, RelatedPart(package, mainPart, "/settings"));
    NumberNotes(body, settings, "w:footnoteReference", "w:footnotePr", footnotes_);
    NumberNotes(body, settings, "w:endnoteReference", "w:endnotePr", endnotes_);
  }
}

void SourceNumbers::Continue(Package& package, pugi::xml_node body) const {
  ContinueNotes(body, "w:footnoteReference", "w:footnotePr", footnotes_);
  ContinueNotes(body, "w:endnoteReference", "w:endnotePr", endnotes_);
  if (items_.empty())
    return;
  auto root = PartRoot(package, numberingPart_);
  if (!root)
    return;
  int nextId = 0;
  pugi::xml_node lastNum;
  for (auto n : root.children("w:num")) {
    nextId = std::max(nextId, n.attribute("w:numId").as_int() + 1);
    lastNum = n;
  }
  std::map<int, int> renumbered;  // source list -> its continuation in the piece; 0: as it is
  bool changed = false;
  auto visit = [&](pugi::xml_node p) {
    auto m = lists_.Of(p);
    if (m.numId == 0)
      return;
    auto seen = renumbered.find(m.numId);
    if (seen == renumbered.end()) {
      auto item = items_.find(p.internal_object());
      int id = 0;
      if (item != items_.end() &&
          std::any_of(item->second.before.counting.begin(), item->second.before.counting.end(),
                      [](bool b) { return b; })) {
        id = nextId++;
        // The new list: the same levels, each starting where the source's stood.
        ListState s = item->second.before;
        pugi::xml_node source;
        for (auto n : root.children("w:num"))
          if (n.attribute("w:numId").as_int() == m.numId)
            source = n;
        pugi::xml_node num =
            lastNum ? root.insert_copy_after(source, lastNum) : root.append_copy(source);
        lastNum = num;
        num.attribute("w:numId") = id;
        for (int level = 0; level < ListDefinitions::kLevels; ++level) {
          const auto l = static_cast<std::size_t>(level);
          if (!s.counting[l])
            continue;
          // A level above the item's goes on showing its number in the item's label; one that
          // does not show there counts on from it.
          int start = s.value[l] + 1;
          if (level < m.level && lists_.LabelShows(m.numId, m.level, level))
            start = s.value[l];
          if (level > m.level && lists_.Restarts(m.numId, level, m.level))
            continue;
          pugi::xml_node over;
          for (auto o : num.children("w:lvlOverride"))
            if (o.attribute("w:ilvl").as_int(-1) == level)
              over = o;
          if (!over) {
            over = num.append_child("w:lvlOverride");
            over.append_attribute("w:ilvl") = level;
          }
          auto so = over.child("w:startOverride");
          if (!so)
            so = over.prepend_child("w:startOverride");
          (so.attribute("w:val") ? so.attribute("w:val") : so.append_attribute("w:val")) = start;
        }
        changed = true;
      }
      seen = renumbered.emplace(m.numId, id).first;
    }
    if (seen->second == 0)
      return;
    auto pPr = p.child("w:pPr");
    if (!pPr)
      pPr = p.prepend_child("w:pPr");
    auto numPr = pPr.child("w:numPr");
    if (!numPr)
      numPr = InsertOrdered(pPr, "w:numPr", kParagraphOrder);
    SetVal(numPr, "w:ilvl", {"w:ilvl", "w:numId"}, m.level);
    SetVal(numPr, "w:numId", {"w:ilvl", "w:numId"}, seen->second);
  };
  EachParagraph(body, visit);
  if (changed)
    package.MarkChanged(numberingPart_);
}

}  // namespace docserver
