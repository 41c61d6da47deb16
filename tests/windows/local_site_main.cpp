// trelvik.exe with the web panel's start page on the local server named by
// TRELVIK_TEST_SITE (http://127.0.0.1:port), for the tests of the panel's
// engine under Wine.

#include <QtGlobal>

#include "runtime/application.h"
#include "ui/form1.h"
#include "ui/web/engine_start.h"

int main(int argc, char* argv[]) {
  trelvik::PrepareWebEngine();
  trelvik::runtime::Application app(argc, argv);
  trelvik::Form1 form1(trelvik::StartPageOf(qEnvironmentVariable("TRELVIK_TEST_SITE")));
  form1.load();
  return trelvik::runtime::Run(form1);
}
