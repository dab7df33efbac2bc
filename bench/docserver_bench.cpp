// Opening and page counting a large generated document, and cutting a piece out of it.
#include <benchmark/benchmark.h>

#include "automation/dispatch.h"
#include "docserver/server.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace {

using automation::InvokeKind;
using automation::Variant;
using namespace testsupport::docx;

// pages pages of 30 paragraphs each, Word's recorded break at each page start, a heading with a
// bookmark and a field per page, a table every tenth page.
std::wstring MakeDocument(const testsupport::TempFolder& folder, int pages) {
  std::wstring path = folder / (L"big " + std::to_wstring(pages) + L".docx");
  if (testsupport::Exists(path))
    return path;
  std::string body;
  for (int page = 1; page <= pages; ++page) {
    std::string mark = "_Toc" + std::to_string(page);
    body += Para((page > 1 ? RenderedBreak() : "") +
                     Bookmark(mark, TextRun("Chapter " + std::to_string(page))),
                 "<w:pStyle w:val=\"Heading1\"/>");
    body += Para(TextRun("See page ") + ComplexField(" PAGEREF " + mark + " \\h ", TextRun("1")));
    if (page % 10 == 0)
      body += Table({{P("a"), P("b")}, {P("c"), P("d")}});
    for (int i = 0; i < 28; ++i)
      body +=
          P("Lorem ipsum dolor sit amet, consectetur adipiscing elit. Sed do eiusmod tempor "
            "incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam.");
  }
  Builder().Body(body).Save(path);
  return path;
}

Variant Omitted() {
  return Variant::ErrorCode(automation::kParamNotFound).ByRef();
}

automation::DispatchPtr Open(const automation::DispatchPtr& app, const std::wstring& path) {
  std::vector<Variant> args{Variant::String(path).ByRef()};
  while (args.size() < 16)
    args.push_back(Omitted());
  auto docs = app->Invoke(6, InvokeKind::PropertyGet, {}).object;
  return docs->Invoke(19, InvokeKind::Method, args).object;
}

testsupport::TempFolder& Folder() {
  static testsupport::TempFolder folder;
  return folder;
}

void OpenAndCount(benchmark::State& state) {
  std::wstring path = MakeDocument(Folder(), static_cast<int>(state.range(0)));
  auto app = docserver::CreateApplication();
  for (auto _ : state) {
    auto doc = Open(app, path);
    std::vector<Variant> args{Variant::I4(2), Variant::I2(0).ByRef()};
    auto pages = doc->Invoke(118, InvokeKind::Method, args);
    if (pages.integer != state.range(0))
      state.SkipWithError("wrong page count");
    doc->Invoke(1105, InvokeKind::Method, std::vector<Variant>{Omitted(), Omitted(), Omitted()});
  }
}
BENCHMARK(OpenAndCount)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// One piece of ten pages from the middle: open, two deletes, save.
void CutMiddlePiece(benchmark::State& state) {
  int pages = static_cast<int>(state.range(0));
  std::wstring path = MakeDocument(Folder(), pages);
  auto app = docserver::CreateApplication();
  for (auto _ : state) {
    auto doc = Open(app, path);
    auto sel = app->Invoke(5, InvokeKind::PropertyGet, {}).object;
    auto go = [&](int page) {
      sel->Invoke(173, InvokeKind::Method,
                  std::vector<Variant>{Variant::I4(1).ByRef(), Variant::I4(1).ByRef(),
                                       Variant::I4(page).ByRef(), Variant::String(L"").ByRef()});
    };
    go(pages / 2 + 10);
    sel->Invoke(4, InvokeKind::PropertyPut, std::vector<Variant>{Variant::I4(1 << 30)});
    sel->Invoke(127, InvokeKind::Method,
                std::vector<Variant>{Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
    go(pages / 2);
    int end = static_cast<int>(sel->Invoke(4, InvokeKind::PropertyGet, {}).integer);
    sel->Invoke(100, InvokeKind::Method, std::vector<Variant>{Variant::I4(0), Variant::I4(end)});
    sel->Invoke(127, InvokeKind::Method,
                std::vector<Variant>{Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
    std::vector<Variant> save{Variant::String(Folder() / L"piece.docx").ByRef(),
                              Variant::I4(12).ByRef()};
    doc->Invoke(376, InvokeKind::Method, save);
    doc->Invoke(1105, InvokeKind::Method, std::vector<Variant>{Omitted(), Omitted(), Omitted()});
  }
}
BENCHMARK(CutMiddlePiece)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
