// Times of the LibreOffice layer: starting the office, converting, and reading page starts of
// generated documents of about 30 and 300 pages. Run by hand:
//   build/default/bench/libreoffice_bench            the measurements
//   build/default/bench/libreoffice_bench FILE.docx  LibreOffice's page starts of one document
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "docserver/libreoffice/office.h"
#include "libreoffice/mini_docx.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;
using libreoffice::Format;

double Seconds(const std::function<void()>& work) {
  auto begin = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

// About pages pages of Letter paper: paragraphs of prose with a heading every few pages.
std::string Body(int pages) {
  std::string body;
  for (int i = 0; i < pages * 11 / 2; ++i) {
    if (i % 12 == 0)
      body += minidocx::Paragraph("Chapter " + std::to_string(i / 12 + 1));
    body += minidocx::Paragraph(minidocx::Words(115, i));
  }
  return body;
}

// Pages of LibreOffice's own PDF export of a document (it leaves out automatically inserted blank
// pages), made by a separate office on a profile of its own; -1 when it fails.
int PdfPages(const std::wstring& document) {
  fs::path folder = fs::temp_directory_path() / "varnik-libreoffice-bench-pdf";
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::path source = platform::ToPath(document);
  std::string command = "soffice -env:UserInstallation=file://" + (folder / "profile").string() +
                        " --headless --norestore --convert-to pdf --outdir '" + folder.string() +
                        "' '" + source.string() + "' >/dev/null 2>&1";
  int pages = -1;
  if (std::system(command.c_str()) == 0) {
    std::ifstream in(folder / (source.stem().string() + ".pdf"), std::ios::binary);
    std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!pdf.empty()) {
      pages = 0;
      for (std::size_t at = pdf.find("/Type/Page"); at != std::string::npos;
           at = pdf.find("/Type/Page", at + 1)) {
        pages += pdf.compare(at, 11, "/Type/Pages") != 0 ? 1 : 0;
      }
    }
  }
  fs::remove_all(folder);
  return pages;
}

int ShowStarts(const std::wstring& path) {
  libreoffice::Office office;
  libreoffice::PageLayout layout;
  double time = Seconds([&] { layout = office.PageStarts(path); });
  std::printf("%d pages, %zu with content, %.2f s (office start included); PDF export: %d pages\n",
              layout.pageCount, layout.starts.size(), time, PdfPages(path));
  for (std::size_t page = 0; page < layout.starts.size(); ++page) {
    std::printf("  page %d: paragraph %d, offset %d\n", layout.starts[page].page,
                layout.starts[page].paragraph, layout.starts[page].offset);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!libreoffice::IsAvailable()) {
    std::printf("LibreOffice is not installed\n");
    return 1;
  }
  try {
    if (argc > 1)
      return ShowStarts(platform::FromUtf8(argv[1]));

    fs::path folder = fs::temp_directory_path() / "varnik-libreoffice-bench";
    fs::create_directories(folder);
    libreoffice::Office office;
    // A small document makes the first call mostly the start of the office.
    std::wstring tiny = platform::FromPath(folder / "tiny.docx");
    minidocx::Write(tiny, minidocx::Paragraph("x"));
    double start = Seconds([&] { office.Stop(); });
    start = Seconds([&] {
      office.ConvertFromDocx(tiny, platform::FromPath(folder / "tiny.rtf"), Format::Rtf);
    });
    double tinyAgain = Seconds([&] {
      office.ConvertFromDocx(tiny, platform::FromPath(folder / "tiny.rtf"), Format::Rtf);
    });
    std::printf("office start + tiny conversion: %.2f s; tiny conversion alone: %.2f s\n", start,
                tinyAgain);

    for (int pages : {30, 300}) {
      std::wstring docx = platform::FromPath(folder / ("doc" + std::to_string(pages) + ".docx"));
      std::wstring doc = platform::FromPath(folder / ("doc" + std::to_string(pages) + ".doc"));
      std::wstring rtf = platform::FromPath(folder / ("doc" + std::to_string(pages) + ".rtf"));
      std::wstring back = platform::FromPath(folder / ("back" + std::to_string(pages) + ".docx"));
      minidocx::Write(docx, Body(pages));
      libreoffice::PageLayout layout;
      double toDoc = Seconds([&] { office.ConvertFromDocx(docx, doc, Format::Doc); });
      double toRtf = Seconds([&] { office.ConvertFromDocx(docx, rtf, Format::Rtf); });
      double fromDoc = Seconds([&] { office.ConvertToDocx(doc, back); });
      double fromRtf = Seconds([&] { office.ConvertToDocx(rtf, back); });
      double starts = Seconds([&] { layout = office.PageStarts(docx); });
      std::printf(
          "%d pages asked, LibreOffice laid out %d: docx->doc %.2f s, docx->rtf %.2f s, "
          "doc->docx %.2f s, rtf->docx %.2f s, page starts %.2f s; PDF export: %d pages\n",
          pages, layout.pageCount, toDoc, toRtf, fromDoc, fromRtf, starts, PdfPages(docx));
    }
    std::printf("office starts: %d\n", office.Starts());
    fs::remove_all(folder);
  } catch (const libreoffice::OfficeError& error) {
    std::printf("failed: %s\n", error.what());
    return 1;
  }
  return 0;
}
