// A whole split run through the real engine and the built-in server: a generated document of
// text, tables and pictures cut every N pages, against the floor of copying the source file
// as many times. Prints the time per piece, the whole run, the peak memory and what checking
// every piece costs.
//   split_bench [pages=500] [every=1] [folder]
#include <sys/resource.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "docserver/server.h"
#include "engine/wordctrl.h"
#include "platform/text.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"
#include "util/message_box.h"

namespace {

namespace fs = std::filesystem;
using namespace testsupport::docx;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

std::string Words(std::mt19937& random, int count) {
  static const char* const kWords[] = {
      "ledger", "quarterly", "north",   "figures", "review", "board",  "supply",  "metal",
      "river",  "contract",  "signed",  "draft",   "notice", "budget", "harbour", "survey",
      "clause", "annex",     "partner", "yield",   "cargo",  "permit", "tariff",  "audit"};
  std::string out;
  for (int i = 0; i < count; ++i) {
    if (i)
      out += ' ';
    out += kWords[random() % 24];
    if (random() % 9 == 0)
      out += std::to_string(random() % 10000);
  }
  return out + ".";
}

// pages pages: a heading, 24 paragraphs of prose, a table every 5th page, a picture of 120 KB
// of noise every 10th page; Word's recorded break at each page start and its page count.
fs::path MakeDocument(const fs::path& folder, int pages) {
  fs::path path = folder / ("source " + std::to_string(pages) + ".docx");
  std::mt19937 random(7);
  Builder builder;
  std::vector<std::string> images;
  std::string body;
  for (int page = 1; page <= pages; ++page) {
    body += Para((page > 1 ? RenderedBreak() : "") + TextRun("Section " + std::to_string(page)),
                 "<w:pStyle w:val=\"Heading1\"/>");
    if (page % 10 == 0) {
      images.push_back("picture" + std::to_string(page) + ".png");
      body += Para(builder.Image(images.back()));
    }
    if (page % 5 == 0)
      body += Table({{P(Words(random, 4)), P(Words(random, 4)), P(Words(random, 4))},
                     {P(Words(random, 4)), P(Words(random, 4)), P(Words(random, 4))},
                     {P(Words(random, 4)), P(Words(random, 4)), P(Words(random, 4))}});
    for (int i = 0; i < (page % 5 == 0 ? 18 : 24); ++i)
      body += P(Words(random, 20));
  }
  builder.Body(body).Pages(pages).Save(platform::FromPath(path));
  // Pictures of noise, so that the package weighs what real ones do.
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), 0, &error);
  std::vector<std::string> noise;
  for (const auto& name : images) {
    std::string bytes = "\x89PNG\r\n\x1a\n";
    bytes.resize(120 * 1024);
    for (std::size_t i = 8; i < bytes.size(); ++i)
      bytes[i] = static_cast<char>(random());
    noise.push_back(std::move(bytes));
    zip_source_t* source = zip_source_buffer(zip, noise.back().data(), noise.back().size(), 0);
    zip_file_add(zip, ("word/media/" + name).c_str(), source, ZIP_FL_OVERWRITE);
  }
  zip_close(zip);
  return path;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  int pages = argc > 1 ? std::atoi(argv[1]) : 500;
  int every = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  testsupport::TempFolder temp;
  fs::path folder = argc > 3 ? fs::path(argv[3]) : platform::ToPath(temp.Path());
  fs::create_directories(folder / "pieces");
  fs::create_directories(folder / "copies");
  util::SetMessagePresenter([](std::wstring_view text, util::WindowHandle) {
    std::fprintf(stderr, "message: %s\n", platform::ToUtf8(text).c_str());
  });

  auto made = Clock::now();
  fs::path source = MakeDocument(folder, pages);
  std::printf("document: %d pages, %.2f MB, made in %.2f s\n", pages,
              static_cast<double>(fs::file_size(source)) / 1e6, Seconds(Clock::now() - made));

  docserver::RegisterBuiltInServer();
  engine::wordctrl ctrl;
  if (!ctrl.StartWord())
    return 1;
  std::wstring time;
  int counted = ctrl.ReadPageCount(platform::FromPath(source), time, nullptr, 0, 0);
  if (counted != pages) {
    std::fprintf(stderr, "page count %d, expected %d\n", counted, pages);
    return 1;
  }
  std::vector<double> perPiece, perCheck;
  int checkFailures = 0;
  std::uintmax_t written = 0;
  auto start = Clock::now();
  for (int first = 1; first <= pages; first += every) {
    int last = std::min(pages, first + every - 1);
    fs::path target = folder / "pieces" / ("piece " + std::to_string(first) + ".docx");
    auto t0 = Clock::now();
    if (ctrl.ExportPageRange(platform::FromPath(source), platform::FromPath(target), first, last,
                             pages, 0) != 1)
      return 1;
    perPiece.push_back(Seconds(Clock::now() - t0));
    written += fs::file_size(target);
    // The check the processing run makes of every piece, timed apart.
    auto t1 = Clock::now();
    std::wstring difference;
    if (ctrl.VerifyPiece(platform::FromPath(target), difference) != 1) {
      ++checkFailures;
      std::fprintf(stderr, "piece %d-%d: %s\n", first, last, platform::ToUtf8(difference).c_str());
    }
    perCheck.push_back(Seconds(Clock::now() - t1));
  }
  double whole = Seconds(Clock::now() - start);
  long peak = PeakKilobytes();
  ctrl.QuitWord();

  auto copyStart = Clock::now();
  for (std::size_t i = 0; i < perPiece.size(); ++i)
    fs::copy_file(source, folder / "copies" / ("copy " + std::to_string(i) + ".docx"),
                  fs::copy_options::overwrite_existing);
  double floor = Seconds(Clock::now() - copyStart);

  std::vector<double> sorted = perPiece;
  std::sort(sorted.begin(), sorted.end());
  std::vector<double> checks = perCheck;
  std::sort(checks.begin(), checks.end());
  double checking = 0;
  for (double c : perCheck)
    checking += c;
  std::printf(
      "every %d pages: %zu pieces, %.2f MB written\n"
      "  per piece: median %.1f ms, max %.1f ms, first %.1f ms, last %.1f ms\n"
      "  whole run: %.2f s; peak memory %.1f MB\n"
      "  floor (copying the source %zu times): %.2f s, %.1f ms per copy\n"
      "  piece check: median %.1f ms, max %.1f ms, %.2f s in all (in the whole run), %d failed\n",
      every, perPiece.size(), static_cast<double>(written) / 1e6, 1e3 * sorted[sorted.size() / 2],
      1e3 * sorted.back(), 1e3 * perPiece.front(), 1e3 * perPiece.back(), whole,
      static_cast<double>(peak) / 1024.0, perPiece.size(), floor,
      1e3 * floor / static_cast<double>(perPiece.size()), 1e3 * checks[checks.size() / 2],
      1e3 * checks.back(), checking, checkFailures);
  return checkFailures == 0 ? 0 : 1;
}
