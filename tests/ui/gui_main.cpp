// Entry point of the window tests: the program's own application object, so
// that fonts and Qt's Chinese texts are set up as in the program.

#include <gtest/gtest.h>

#include "runtime/application.h"
#include "ui/web/engine_start.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // ctest lists the tests before it starts their display: the list needs no
  // application, which would connect to the display and load the web engine.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  trelvik::PrepareWebEngine();
  trelvik::runtime::Application app(argc, argv);
  // As the program has them once its window is up.
  trelvik::runtime::InstallProgramIcon();
  return RUN_ALL_TESTS();
}
