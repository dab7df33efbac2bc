#pragma once
// Where the pieces go and what they are called. The export folder (EP) and the naming scheme
// (EM) are read from config.ini at every use.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "planning/split_plan.h"

namespace planning {

// EP as stored; an empty EP stands for the program folder (never the current directory).
std::wstring ExportFolder();

// The folder that holds a document's pieces: the export folder followed by folderName (the
// document's name, or that name made unique within a run).
std::wstring OutputFolder(std::wstring_view folderName);

// Removes a document's output folder with everything in it, when the program made it (it
// carries the marker). Refuses (false) any other folder, and a folder name that would reach the
// export folder itself or anything outside it: empty, "." or "..", or one holding a separator.
bool ClearOutputFolder(std::wstring_view folderName);

// A chapter title as it stands in a file name: cut to maxLength - 3 characters plus "..." when
// longer than maxLength, then made safe for a file name.
std::wstring CleanChapterTitle(std::wstring_view title, std::size_t maxLength = 50);

// The longest piece name: the file system's limit for one name, less what is appended to it
// while the piece is written (the document server's ".part~", then its ZIP writer's ".XXXXXX").
inline constexpr std::size_t kMaxResultNameLength = 255 - 13;

// The full path of the k-th piece (counted from 1); copy above 1 adds " (copy)" to the name, to
// keep it apart from an earlier piece of the same name. Chapter titles are shortened until the
// name fits kMaxResultNameLength. With a naming scheme other than "1" or "2" the path is the
// export folder itself.
std::wstring MakeResultPath(std::wstring_view folderName, std::wstring_view extension,
                            const PageRange& range, std::int32_t k, bool chapterPlan, int copy = 1);

struct PrepareFailure {
  enum class Kind { TooLong, InUse };
  Kind kind;
  std::wstring message;  // what the user is shown

  bool operator==(const PrepareFailure&) const = default;
};

// Makes the path ready to receive a piece: length limit, folders, an old file removed. Says
// why it cannot; name is the document's name.
std::optional<PrepareFailure> PrepareResultFile(std::wstring_view name, std::wstring_view path,
                                                bool chapterPlan);

}  // namespace planning
