// Files for tests: a fresh temporary folder that goes away with everything in
// it, whole-file reads and writes, and what this process holds open.
#pragma once

// What the helpers here used to bring along when they were header-only; tests
// may count on it.
#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace test_support {

class TempDir {
public:
    // base: the folder to make it in; empty for the system's temporary folder.
    explicit TempDir(const std::string& prefix = "sonmira-test", const std::string& base = "");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Empty when the folder could not be made.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);

// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

// How many of this process's descriptors are open on the file at `path`:
// what the code under test holds of it, whatever other threads have open.
int DescriptorsOn(const std::string& path);

// Runs a shell command: its exit status (-1 when it did not exit normally or
// could not start) and what it printed on standard output.
struct CommandResult {
    int status = -1;
    std::string out;
};
CommandResult RunCommand(const std::string& cmd);

}  // namespace test_support
