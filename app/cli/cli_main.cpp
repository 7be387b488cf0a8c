#include "cli_main.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "sonmira_version.h"

namespace cli {

namespace {

void PrintOverview(FILE* out) {
    std::vector<const Command*> sorted;
    for (const Command& c : Commands()) sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(),
              [](const Command* a, const Command* b) { return std::strcmp(a->name, b->name) < 0; });
    std::fprintf(out, "Usage: sonmira-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command* c : sorted) std::fprintf(out, "  %-8s %s\n", c->name, c->summary);
    std::fprintf(out,
                 "\n'sonmira-cli COMMAND --help' explains one command; 'sonmira-cli --version'\n"
                 "prints the version.\n");
}

// True when any argument after the command's name is -h or --help, even one
// that stands where a value goes.
bool WantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) return true;
    return false;
}

}  // namespace

int Main(int argc, char** argv) {
    if (argc < 2) {
        PrintOverview(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        PrintOverview(stdout);
        return 0;
    }
    if (name == "--version") {
        std::fputs("sonmira-cli " SONMIRA_VERSION "\n", stdout);
        return 0;
    }
    const Command* c = FindCommand(name);
    if (!c) {
        std::fprintf(stderr, "sonmira-cli: unknown command '%s'\n\n", name.c_str());
        PrintOverview(stderr);
        return 2;
    }
    if (WantsHelp(argc - 1, argv + 1)) {
        std::fputs(HelpText(*c).c_str(), stdout);
        return 0;
    }
    return c->run(argc - 1, argv + 1);
}

}  // namespace cli
