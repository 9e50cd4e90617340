#ifndef TONVERA_CLI_STREAMDRIVER_H
#define TONVERA_CLI_STREAMDRIVER_H

#include <istream>
#include <ostream>

namespace TonveraCli {

constexpr int EXIT_REPORTED = 0;
constexpr int EXIT_EXCEPTION = 1;
constexpr int EXIT_REJECTED = 2;

// The whole tool: `tonvera RATE SEGMENT` over in, the report on out, an
// exception's message on err. Returns the exit status: 0 report written,
// 1 exception or a report that could not be written, 2 command line or
// stream rejected, a read error included (nothing written).
int runStreamDriver(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                    std::ostream& err);

} // namespace TonveraCli

#endif
