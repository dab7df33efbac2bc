// The windows need the toolkit started on the main thread before any test runs.

#include <gtest/gtest.h>

#include "framework/application.h"
#include "ui/skin_archive.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  framework::CApplication application(argc, argv);
  if (!application.IsReady()) {
    std::fprintf(stderr, "no display: run under xvfb-run\n");
    return 1;
  }
  ui::RegisterSkinArchive();
  return RUN_ALL_TESTS();
}
