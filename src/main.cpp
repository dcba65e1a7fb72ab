#include "console.h"
#include "driver.h"
#include "platform.h"

int main(int argc, char** argv) {
  charflip::PrepareProcess();
  charflip::Console console;
  return charflip::RunCharflip(argc, argv, console);
}
