#include "run_options.h"

#include "port_choice.h"

namespace cli {

std::string CheckRunOptions(const char* positional, const RunOptions& o) {
    if (positional && o.rest.size() != 1) return std::string("one ") + positional + " expected";
    return PortNameError(o.port);
}

}  // namespace cli
