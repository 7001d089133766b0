#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fendrix {

/// The folder the running program file lies in.
std::filesystem::path ProgramFolder();

/// The program's arguments as UTF-8, the program name first. On Windows they
/// are read from the wide command line, so names outside the code page
/// survive; elsewhere `argv` is taken as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace fendrix
