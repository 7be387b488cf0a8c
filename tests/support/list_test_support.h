// Shared by the list, project and workspace tests: the scripted prompt and
// a fresh temporary folder per test.
#pragma once

#include <string>

#include "test_files.h"
#include "scripted_prompt.h"

using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;
