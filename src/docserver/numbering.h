#pragma once
// The numbers a reader sees on list items and note references. A piece cut out of a document
// starts with what stood in the middle of its lists and notes; without help its lists and
// notes would start again at 1 and no longer match their own cross-references.

#include <array>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

namespace docserver {

class Package;

// The list definitions of a document: which list and level a paragraph belongs to and how
// each level counts.
class ListDefinitions {
 public:
  static constexpr int kLevels = 9;

  void Load(pugi::xml_node numberingRoot, pugi::xml_node stylesRoot);
  bool Empty() const { return nums_.empty(); }

  struct Membership {
    int numId = 0;  // 0: not a list item
    int level = 0;
  };
  // From the paragraph's own properties, then its style's.
  Membership Of(pugi::xml_node paragraph) const;
  // The number a level starts at, with the list's own start override.
  int Start(int numId, int level) const;
  // Whether an item at `itemLevel` makes `level` (deeper) count from its start again.
  bool Restarts(int numId, int level, int itemLevel) const;
  // Whether the label of `level` shows the number of `shown` (as "%2" shows level 1).
  bool LabelShows(int numId, int level, int shown) const;
  int AbstractOf(int numId) const;

 private:
  struct Level {
    int start = 0;
    int restart = -1;  // -1: after any higher level; 0: never; n: after level n (from 1)
    std::string text;
  };
  struct Num {
    int abstractId = -1;
    std::array<int, kLevels> startOverride{-1, -1, -1, -1, -1, -1, -1, -1, -1};
  };
  struct StyleNum {
    std::string basedOn;
    int numId = -1;
    int level = -1;
  };
  const Level* LevelOf(int numId, int level) const;

  std::map<int, std::array<Level, kLevels>> abstracts_;
  std::map<int, std::array<std::string, kLevels>> levelStyles_;  // abstract -> level's style
  std::map<int, Num> nums_;
  std::unordered_map<std::string, StyleNum> styles_;
};

// Where a list stood just before one of its items: the last number of each level, and which
// levels have shown a number since they last started.
struct ListState {
  std::array<int, ListDefinitions::kLevels> value{};
  std::array<bool, ListDefinitions::kLevels> counting{};
};

// Read from the document before it is cut, so that the piece saved from it can go on with the
// numbers its lists and notes showed there.
class SourceNumbers {
 public:
  // Walks the unchanged body; cheap when the document has neither lists nor notes.
  void Note(Package& package, const std::string& mainPart, pugi::xml_node body);
  // Makes the kept lists that began before the piece continue at their numbers (each through a
  // list of its own that starts there), and the notes at theirs. Lists that begin inside the
  // piece stay as they are.
  void Continue(Package& package, pugi::xml_node body) const;

 private:
  struct Item {
    int numId = 0;
    int level = 0;
    ListState before;
  };
  ListDefinitions lists_;
  std::string numberingPart_;
  std::unordered_map<const void*, Item> items_;  // by paragraph node
  // The number each note reference shows, by its node; eachPage numbering is left out.
  std::unordered_map<const void*, int> footnotes_;
  std::unordered_map<const void*, int> endnotes_;
};

}  // namespace docserver
