#pragma once
// Where the program keeps its own files: config.ini and the work folder "t" beside the
// executable, or per-user folders when the executable's folder cannot be written (an installed
// copy), or a folder a test chooses.

#include <string>
#include <string_view>

namespace util {

// The folder that stands for "the program folder" in the program's own files; it ends in a
// separator.
std::wstring ProgramFolder();

// Path of config.ini.
std::wstring SettingsFilePath();

// The folder "t" that holds one work folder per running copy of the program, with a trailing
// separator (see util/work_folder.h).
std::wstring WorkFolderRoot();

// A work folder of the caller's own, used as it is instead of one under WorkFolderRoot (a
// second program beside the window program must not share, and so clear, its working
// copies); an empty text returns to the default.
void SetWorkFolder(std::wstring_view folder);
// The folder SetWorkFolder chose, or the empty text.
std::wstring ChosenWorkFolder();

// Makes every folder above one chosen folder (tests); an empty text returns to the default.
void SetProgramFolder(std::wstring_view folder);

}  // namespace util
