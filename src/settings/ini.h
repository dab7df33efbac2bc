#pragma once
// config.ini: the memory between runs and the channel from the settings panel to processing.
// Values are read at the moment they are needed, never cached.

#include <string>
#include <string_view>

namespace settings {

// The path of config.ini, fixed once at start-up (SetSettingsPath) and read by everyone after.
std::wstring SettingsPath();
void SetSettingsPath(std::wstring_view path);

class CIni {
 public:
  // The stored text, or the empty text when the file, section or key is missing or when no
  // section or key is given. Long values are read whole.
  static std::wstring ReadString(std::wstring_view section, std::wstring_view key);
  static bool WriteString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view value);

  static std::wstring ReadExportPath();       // SETTING/EP, exactly as stored
  static std::wstring ReadExportMode();       // SETTING/EM, exactly as stored
  static std::wstring ReadCompressionMode();  // SETTING/CM
  static bool ReadAutoOpen();                 // SETTING/AUTO stripped is "1"
  static int ReadAlignment();                 // BASE/ALIGN stripped: 0 to 3, anything else 0

  // A value that reads in place of the stored one for this run, without touching the file (the
  // command line's options). An empty value removes the override.
  static void Override(std::wstring_view section, std::wstring_view key, std::wstring_view value);

  static void WriteAlignment(std::wstring_view text);
  static void WriteCompressionMode(std::wstring_view text);
};

// Leading and trailing white space removed.
std::wstring Strip(std::wstring_view text);

}  // namespace settings
