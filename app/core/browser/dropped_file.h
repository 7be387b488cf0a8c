// A file dropped from another program (a local file URL) as the drop step
// sees a browser entry: its folder, name, kilobytes and date text.
#pragma once

#include <string>

#include "commands/list_commands.h"

namespace browser {

commands::BrowserItem DroppedFileItem(const std::string& path);

}  // namespace browser
