#include "runtime/application.h"
#include "ui/form1.h"
#include "ui/web/engine_start.h"

int main(int argc, char* argv[]) {
  trelvik::PrepareWebEngine();
  trelvik::runtime::Application app(argc, argv);
  trelvik::Form1 form1;
  form1.load();
  return trelvik::runtime::Run(form1);
}
