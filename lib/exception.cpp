#include "exception.h"

namespace Tonvera {

Exception::Exception(const char* message) : std::runtime_error(message) {}

} // namespace Tonvera
