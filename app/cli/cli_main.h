// sonmira-cli as a function: main() calls it, and the tests run commands
// in-process through it.
#pragma once

namespace cli {

// argv[1] names the command; "-h" or "--help" anywhere after it asks for the
// command's help. Returns the process exit code (2 for bad usage).
int Main(int argc, char** argv);

}  // namespace cli
