// sonmira-cli list PROJECT.QWF: the rows of a project file, one per line.
#include <cstdio>
#include <string>

#include "cli_command.h"
#include "cli_prompt.h"
#include "list_rows.h"
#include "messages/messages.h"
#include "text/numbers.h"
#include "printable.h"
#include "list/programming_list.h"
#include "project_check.h"
#include "list/project_file.h"

namespace {

int RunList(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: sonmira-cli list PROJECT.QWF\n", stderr);
        return 2;
    }
    cli::TerminalPrompt ui(cli::TerminalPrompt::Mode::AssumeNo);
    plist::ProgrammingList list;
    qwf::Header header;
    std::string bad;
    qwf::Result r = qwf::Read(argv[1], &list, &header, &bad);
    if (r == qwf::kProjectTooLarge) {
        std::fprintf(stderr, "sonmira-cli list: %s: larger than %zu MiB, the limit for a project file\n",
                     cli::Printable(argv[1]).c_str(), qwf::kMaxFileBytes >> 20);
        return 1;
    }
    if (r == qwf::kProjectNotFound) {
        ShowMessage(ui, MsgId::OpenFailed);
        return 1;
    }
    cli::PrintRows(list, 1);
    if (r == qwf::kProjectBadFlag) {
        ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
        return 1;
    }
    // What was read is shown; a file read only in part (too many rows, cut
    // lines) says so, so that a script does not take it for the whole list.
    return cli::CheckWholeProject("list", argv[1], "only the rows above were read");
}

}  // namespace

SONMIRA_CLI_COMMAND("list", "print the rows of a project file",
                    "usage: sonmira-cli list PROJECT.QWF\n"
                    "\n"
                    "Prints one line per segment of the project: the twelve cells of its row\n"
                    "(number, program flag, 是/否, start, end, file name, length in ms, size,\n"
                    "type, modification time, path, shown path) separated by tabs, in UTF-8.\n"
                    "A shown path of 文件已删除 means the audio file is missing.\n"
                    "\n"
                    "Exit status: 0 when the file was read whole, 1 when it cannot be opened,\n"
                    "is larger than the 16 MiB a project file may have, or was read only in\n"
                    "part (a damaged line, more than 160 rows, line ends other than CR LF; the\n"
                    "rows read are printed and the message says why),\n"
                    "2 on bad usage.\n",
                    RunList);
