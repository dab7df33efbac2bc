#pragma once
// An engine whose answers a test scripts, recording what the workers asked of it.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "batch/word_engine.h"

namespace testsupport {

struct ExportCall {
  std::wstring source, target;
  int first = 0, last = 0, pages = 0, align = 0;
  std::wstring beginKey, endKey;
};

struct EngineScript {
  bool startSucceeds = true;
  std::map<std::wstring, int> pageCounts;  // by the source's file name; absent = 5
  std::map<std::wstring, std::wstring> times;
  std::vector<engine::ChapterEntry> chapters;
  int chapterExportResult = 1;
  // Page exports starting at these pages fail, showing failureText first when it is not empty.
  std::vector<int> failingFirstPages;
  std::wstring failureText;
  // Pieces whose check fails, by path, with what it finds; every other piece passes.
  std::map<std::wstring, std::wstring> pieceFaults;
  std::function<void()> onStart;  // runs inside StartWord (a test can hold the worker there)

  std::mutex lock;
  std::vector<ExportCall> exports;
  std::vector<std::wstring> verified;  // pieces checked, in order
  int starts = 0, quits = 0;
};

batch::WordEngineFactory FakeEngines(EngineScript& script);

}  // namespace testsupport
