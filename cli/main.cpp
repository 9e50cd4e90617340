#include <iostream>

#include "streamdriver.h"

int main(int argc, char** argv) {
  return TonveraCli::runStreamDriver(argc, argv, std::cin, std::cout, std::cerr);
}
