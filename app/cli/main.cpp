// sonmira-cli: the programming core from the command line. Everything but
// this file is the library sonmira_cli (cli_main.h).
#include "cli_main.h"

int main(int argc, char** argv) { return cli::Main(argc, argv); }
