// sonmira-cli list PROJECT.QWF: the rows of a project file, one per line.
#include <cstdio>
#include <string>

#include "commands.h"
#include "cli_prompt.h"
#include "list_rows.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "printable.h"
#include "list/programming_list.h"
#include "project_check.h"
#include "list/project_file.h"

namespace cli {

int RunList(int argc, char** argv) {
    if (argc != 2) {
        std::fputs(FindCommand("list")->usage, stderr);
        return 2;
    }
    cli::TerminalPrompt ui(cli::TerminalPrompt::Mode::AssumeNo);
    list::ProgrammingList list;
    list::Header header;
    std::string bad;
    list::Result r = list::Read(argv[1], &list, &header, &bad);
    if (r == list::kProjectTooLarge) {
        std::fprintf(stderr, "sonmira-cli list: %s: larger than %zu MiB, the limit for a project file\n",
                     cli::Printable(argv[1]).c_str(), list::kMaxFileBytes >> 20);
        return 1;
    }
    if (r == list::kProjectNotFound) {
        messages::ShowMessage(ui, messages::MsgId::OpenFailed);
        return 1;
    }
    cli::PrintRows(list, 1);
    if (r == list::kProjectBadFlag) {
        messages::ShowGeneralError(ui, text::InvalidIntegerMessage(bad));
        return 1;
    }
    // What was read is shown; a file read only in part (too many rows, cut
    // lines) says so, so that a script does not take it for the whole list.
    return cli::CheckWholeProject("list", argv[1], "only the rows above were read");
}

}  // namespace cli
