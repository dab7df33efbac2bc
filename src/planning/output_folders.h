#pragma once
// Which folder receives a document's pieces. The program empties or writes into only folders it
// made itself, which carry its marker; a same-named folder of the user's is left alone and the
// pieces go beside it.

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace planning {

// The hidden file that marks an output folder as the program's.
inline constexpr wchar_t kOutputFolderMarker[] = L".varnik-output";

// A real folder (not a link) that holds the marker.
bool IsOwnOutputFolder(std::wstring_view folder);

// What stands where the output folder of that name goes. Refused: a name that would reach the
// export folder itself or anything outside it (empty, "." or "..", or holding a separator).
enum class OutputFolderState { Refused, Absent, Ours, NotOurs };
OutputFolderState InspectOutputFolder(std::wstring_view folderName);

// Makes the output folder with its parents and puts the marker in it; false when either
// cannot be made.
bool ClaimOutputFolder(std::wstring_view folderName);

struct CaseInsensitiveLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const;
};

// Chooses the output folders of one run.
class OutputFolderChooser {
 public:
  // keep: every document of the run (as added and its working copy); no chosen folder holds
  // one of them.
  explicit OutputFolderChooser(const std::vector<std::wstring>& keep);

  // The folder name for a document: its name, else "name (2)", "name (3)", ..., the first that
  // no earlier document of the run took, and that is absent or a folder of ours holding none
  // of the kept files.
  std::wstring Choose(const std::wstring& name);

 private:
  bool Usable(const std::wstring& folderName) const;

  std::vector<std::filesystem::path> keep_;
  std::set<std::wstring, CaseInsensitiveLess> used_;
};

}  // namespace planning
