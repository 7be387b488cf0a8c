// sonmira-cli list PROJECT.QWF: the rows of a project file, one per line.
#include <cstdio>
#include <string>

#include "cli_command.h"
#include "cli_prompt.h"
#include "list_rows.h"
#include "messages.h"
#include "numbers.h"
#include "programming_list.h"
#include "project_file.h"

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
    if (r == qwf::kProjectNotFound || r == qwf::kProjectTooLarge) {
        ShowMessage(ui, MsgId::OpenFailed);
        return 1;
    }
    cli::PrintRows(list, 1);
    if (r == qwf::kProjectBadFlag) {
        ShowGeneralError(ui, num::InvalidIntegerMessage(bad));
        return 1;
    }
    return 0;
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
                    "Exit status: 0 when the file was read whole, 1 when it cannot be opened\n"
                    "or reading stopped at a damaged line (the rows before it are printed),\n"
                    "2 on bad usage.\n",
                    RunList);
