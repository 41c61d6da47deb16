#include "runtime/application.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
  trelvik::runtime::Application app(argc, argv);
  trelvik::Form1 form1;
  return trelvik::runtime::Run(form1, [&form1] { form1.load(); });
}
