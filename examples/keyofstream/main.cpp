// keyofstream RATE < samples.f32: the key number of raw mono float32 audio,
// fed to the library one second at a time.
#include <cstdlib>
#include <iostream>
#include <vector>

#include <tonvera/tonvera.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const unsigned rate = static_cast<unsigned>(std::atoi(argv[1]));
  Tonvera::Tonvera facade;
  Tonvera::Workspace stream;
  std::vector<float> second(rate);
  while (std::cin.read(reinterpret_cast<char*>(second.data()), rate * 4) || std::cin.gcount() > 0) {
    Tonvera::AudioData block;
    block.setFrameRate(rate);
    block.setChannels(1);
    block.appendSamples(second.data(), static_cast<unsigned>(std::cin.gcount() / 4));
    facade.progressiveChromagram(block, stream);
  }
  facade.finalChromagram(stream);
  std::cout << facade.keyOfChromagram(stream) << "\n";
}
