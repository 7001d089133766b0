#include <cstdio>
#include <iostream>

#include "cli/skinconv.h"
#include "support/decimal_separator.h"
#include "support/file_system.h"
#include "support/program_info.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Everything skinconv prints is UTF-8.
  SetConsoleOutputCP(CP_UTF8);
#endif
  fendrix::CliEnvironment env;
  env.program_folder = fendrix::ProgramFolder();
  env.decimal_separator = fendrix::SystemDecimalSeparator();
  env.progress_terminal = isatty(fileno(stderr));
  fendrix::RealFileSystem file_system;
  return fendrix::RunSkinconv(file_system, fendrix::ProgramArguments(argc, argv), env, std::cout,
                              std::cerr);
}
