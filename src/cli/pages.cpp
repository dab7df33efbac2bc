#include "cli/pages.h"

#include <filesystem>
#include <ostream>

#include "automation/errors.h"
#include "docserver/page_report.h"
#include "platform/text.h"
#include "util/work_folder.h"

namespace cli {

int PrintPages(const Options& options, std::ostream& out, Console& console) {
  const std::wstring& path = options.paths.front();
  const std::wstring unreadable =
      path + L": The document could not be opened or read as a Word document.";
  // Read from a working copy, as every reader of the program does.
  std::wstring copy = util::CopyToWorkFolder(path);
  std::error_code missing;
  if (copy.empty() || !std::filesystem::is_regular_file(platform::ToPath(copy), missing)) {
    console.Message(unreadable);
    return 1;
  }
  docserver::PageReport report;
  try {
    report = docserver::ReadPageReport(platform::ToPath(copy));
  } catch (const automation::ServerException& error) {
    console.Message(path + L": " + error.Description());
    return 1;
  } catch (const std::exception&) {
    console.Message(unreadable);
    return 1;
  }
  const auto pages = static_cast<int>(report.pages.size());
  out << pages << (pages == 1 ? " page" : " pages");
  if (report.savedPages <= 0)
    out << "; Word saved no page count\n";
  else if (report.savedPages == pages)
    out << "; Word saved " << report.savedPages << ": agrees\n";
  else
    out << "; Word saved " << report.savedPages << ": differs\n";
  int number = 1;
  for (const auto& page : report.pages)
    out << number++ << '\t' << page.paragraph << '\t' << docserver::PageSourceKey(page.source)
        << '\t' << platform::ToUtf8(page.firstWords) << '\n';
  return 0;
}

}  // namespace cli
