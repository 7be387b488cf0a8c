// What root would be let through: a test running as root drops to the
// unprivileged user nobody in a child process.
#pragma once

#include <functional>
#include <string>

#include "test_files.h"

namespace test_support {

// Runs `body` in a child process that has become user and group nobody
// (65534, no other groups), with standard input from /dev/null and standard
// output and error going into the result. The child exits with what `body`
// returns; 126 when it could not drop root.
CommandResult RunAsNobody(const std::function<int()>& body);

// The id of group `name`; -1 when the system has no such group.
int GroupId(const std::string& name);

}  // namespace test_support
