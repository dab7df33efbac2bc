// Each worker has its own server; several of them work on one file at the same time.
#include <gtest/gtest.h>

#include <thread>

#include "docserver/calls.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

TEST(DocserverThreads, ServersOnSeveralThreadsShareNothing) {
  testsupport::TempFolder folder;
  std::string body;
  for (int i = 0; i < 20; ++i)
    body +=
        Para(TextRun("Page " + std::to_string(i) + ". More text.") + PageBreak() + TextRun("x"));
  Builder().Body(body).Pages(21).Save(folder / L"d.docx");
  std::vector<int> pages(4, 0);
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t)
    workers.emplace_back([&, t] {
      auto app = CreateApplication();
      for (int round = 0; round < 5; ++round) {
        auto doc = Open(app, folder / L"d.docx", false);
        auto sel = Obj(app, 5);
        Call(sel, 100, {Variant::I4(0), Variant::I4(10)});
        Text(Call(Obj(Obj(sel, 400), 52), 0, {Variant::I4(1)}).object);
        Call(sel, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
        SaveAs(doc, folder / (L"piece" + std::to_wstring(t) + L".docx"), 12);
        Call(doc, 1105, {Omitted(), Omitted(), Omitted()});
        pages[static_cast<std::size_t>(t)] =
            PageCount(Open(app, folder / (L"piece" + std::to_wstring(t) + L".docx")));
      }
      Call(app, 1105, {Omitted(), Omitted(), Omitted()});
    });
  for (auto& w : workers)
    w.join();
  EXPECT_EQ(pages, std::vector<int>(4, 21));
}

}  // namespace
}  // namespace docserver::test
