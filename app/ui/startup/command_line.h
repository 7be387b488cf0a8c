// The desktop program's own command-line options, answered before the
// application object exists, so they work without a display. No Qt here.
#pragma once

#include <cstdio>

namespace startup {

// sonmira --help.
const char* HelpText();

// Answers --help (-h) or --version when one is given before "--": prints to
// `out` and returns the exit code, 0. Returns -1 when the program should
// start; its other arguments are left to Qt and the main window.
int AnswerInfoOptions(int argc, char** argv, std::FILE* out);

}  // namespace startup
