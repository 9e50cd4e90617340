#include <csignal>
#include <iostream>

#include "standardinput.h"
#include "streamdriver.h"

int main(int argc, char** argv) {
  // A reader that goes away must show up as a failed write, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
  TonveraCli::DescriptorInputBuffer input(0);
  std::istream in(&input);
  return TonveraCli::runStreamDriver(argc, argv, in, std::cout, std::cerr);
}
