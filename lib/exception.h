#ifndef TONVERA_EXCEPTION_H
#define TONVERA_EXCEPTION_H

#include <stdexcept>

namespace Tonvera {

// The one exception type the library throws. Its message is a fixed English
// text, sometimes completed with numbers; callers catch it as std::exception.
class Exception : public std::runtime_error {
public:
  explicit Exception(const char* message);
};

} // namespace Tonvera

#endif
