#include "workspace.h"

namespace Tonvera {

Workspace::Workspace() = default;

Workspace::~Workspace() {
  analysisFft.reset();
  accumulatedChromagram.reset();
  filterDelayLine.reset();
}

} // namespace Tonvera
