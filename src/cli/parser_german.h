#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

// The command line speaks German as the window and the run do. CLI11 parses
// it; here it gets the German words: the help's layout and labels, and a
// German message for each kind of parse error it throws.

namespace fendrix {

/// Gives `app` German help and error messages. Call it before adding
/// options and commands: they take its settings over.
void SpeakGerman(CLI::App& app);

/// Adds the command `name` to `app`, listed among the commands.
CLI::App* AddCommand(CLI::App& app, const std::string& name, const std::string& description);

/// The German message for a parse error of `app` (the program's own app,
/// after parse threw): what was wrong, then the usage line of the command
/// that was being read.
std::string ParseErrorText(const CLI::App& app, const CLI::ParseError& error);

/// A check that the value is one of `values`, with a German message.
CLI::Validator OneOf(std::vector<std::string> values);

/// A check that the value is a whole number from `lowest` to `highest`.
CLI::Validator WholeNumberIn(unsigned lowest, unsigned highest);

/// The usage line of the command `app` chose, or of `app` itself when none
/// was chosen, with where to read more; ends in a line end.
std::string UsageText(const CLI::App& app);

}  // namespace fendrix
