#include "cli/parser_german.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>
#include <sstream>
#include <string_view>

namespace fendrix {
namespace {

constexpr std::string_view kCommandsGroup = "Befehle";
constexpr std::string_view kOptionsGroup = "Optionen";

// CLI11 lines the help's columns up by bytes; "AUFLÖSUNG" has a character
// of two.
class GermanFormatter : public CLI::Formatter {
 public:
  std::string make_option(const CLI::Option* option, bool is_positional) const override {
    const std::string name = make_option_name(option, is_positional) + make_option_opts(option);
    const auto continuation = std::count_if(name.begin(), name.end(), [](char byte) {
      return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
    });
    std::ostringstream out;
    CLI::detail::format_help(out, name, make_option_desc(option),
                             get_column_width() + static_cast<std::size_t>(continuation));
    return out.str();
  }
};

// The words CLI11 puts into its help.
void SetLabels(CLI::Formatter& formatter) {
  formatter.label("Usage", "Aufruf");
  formatter.label("OPTIONS", "OPTIONEN");
  formatter.label("Positionals", "Argumente");
  formatter.label("SUBCOMMAND", "BEFEHL");
  formatter.label("REQUIRED", "(Pflicht)");
  formatter.label("Needs", "braucht");
  formatter.label("Excludes", "nicht mit");
}

// The text of `message` between `prefix` and `suffix`, or nothing when it
// does not have that form.
std::optional<std::string> Between(std::string_view message, std::string_view prefix,
                                   std::string_view suffix) {
  if (!message.starts_with(prefix) || !message.ends_with(suffix) ||
      message.size() < prefix.size() + suffix.size()) {
    return std::nullopt;
  }
  return std::string(message.substr(prefix.size(), message.size() - prefix.size() - suffix.size()));
}

// The names on either side of `word` in "A <word> B".
std::optional<std::pair<std::string, std::string>> Split(std::string_view message,
                                                         std::string_view word) {
  const std::string separator = " " + std::string(word) + " ";
  const std::size_t at = message.find(separator);
  if (at == std::string_view::npos) return std::nullopt;
  return std::pair{std::string(message.substr(0, at)),
                   std::string(message.substr(at + separator.size()))};
}

std::string CommandNames(const CLI::App& app) {
  std::string names;
  for (const CLI::App* command : app.get_subcommands({})) {
    names += (names.empty() ? "" : ", ") + command->get_name();
  }
  return names;
}

// A missing command, or a missing argument of one.
std::string Missing(const CLI::App& app, std::string_view message) {
  if (message.starts_with("A subcommand")) {
    const std::vector<std::string> rest = app.remaining();
    if (rest.empty()) return "ein Befehl fehlt (" + CommandNames(app) + ")";
    if (rest.front().starts_with("-")) return "unbekannte Option: " + rest.front();
    return "unbekannter Befehl: " + rest.front() + " (Befehle: " + CommandNames(app) + ")";
  }
  if (auto name = Between(message, "", " is required")) return *name + " fehlt";
  return "es fehlt etwas (" + std::string(message) + ")";
}

// Arguments left over: an option no command knows, or one too many.
std::string LeftOver(std::string_view message) {
  const std::size_t colon = message.find(": ");
  const std::string arguments(colon == std::string_view::npos ? message
                                                              : message.substr(colon + 2));
  if (arguments.starts_with("-")) return "unbekannte Option: " + arguments;
  return (arguments.find(' ') == std::string::npos ? "überzähliges Argument: "
                                                   : "überzählige Argumente: ") +
         arguments;
}

std::string Translated(const CLI::App& app, const CLI::ParseError& error) {
  const std::string_view message = error.what();
  if (dynamic_cast<const CLI::RequiredError*>(&error)) return Missing(app, message);
  if (dynamic_cast<const CLI::ExtrasError*>(&error)) return LeftOver(message);
  // Validators are German already: "--jobs: ...".
  if (dynamic_cast<const CLI::ValidationError*>(&error)) return std::string(message);
  if (dynamic_cast<const CLI::RequiresError*>(&error)) {
    if (auto names = Split(message, "requires")) return names->first + " braucht " + names->second;
  }
  if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
    if (auto names = Split(message, "excludes")) {
      return names->first + " geht nicht zusammen mit " + names->second;
    }
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
    const std::size_t colon = message.find(':');
    if (colon != std::string_view::npos && message.ends_with("missing")) {
      return std::string(message.substr(0, colon)) + " braucht einen Wert";
    }
    return "falsche Zahl von Werten (" + std::string(message) + ")";
  }
  if (dynamic_cast<const CLI::ConversionError*>(&error)) {
    if (auto what = Between(message, "Could not convert: ", "")) {
      if (auto parts = Split(*what, "=")) {
        return parts->first + ": „" + parts->second + "“ ist kein gültiger Wert";
      }
    }
    return "ungültiger Wert (" + std::string(message) + ")";
  }
  return "ungültiger Aufruf (" + std::string(message) + ")";
}

// The command the parse had reached.
const CLI::App& Chosen(const CLI::App& app) {
  const std::vector<CLI::App*> chosen = app.get_subcommands();
  return chosen.empty() ? app : *chosen.front();
}

}  // namespace

void SpeakGerman(CLI::App& app) {
  auto formatter = std::make_shared<GermanFormatter>();
  SetLabels(*formatter);
  app.formatter(formatter);
  app.option_defaults()->group(std::string(kOptionsGroup));
  app.set_help_flag("-h,--help", "Diese Hilfe zeigen");
}

CLI::App* AddCommand(CLI::App& app, const std::string& name, const std::string& description) {
  CLI::App* command = app.add_subcommand(name, description);
  command->group(std::string(kCommandsGroup));
  // A command makes its help flag before it takes over the group of options.
  command->get_help_ptr()->group(std::string(kOptionsGroup));
  return command;
}

CLI::Validator OneOf(std::vector<std::string> values) {
  std::string list;
  for (const std::string& value : values) list += (list.empty() ? "" : "|") + value;
  return CLI::Validator(
      [values, list](std::string& text) {
        return std::find(values.begin(), values.end(), text) != values.end()
                   ? std::string()
                   : "„" + text + "“ ist keiner der Werte " + list;
      },
      "");
}

CLI::Validator WholeNumberIn(unsigned lowest, unsigned highest) {
  const std::string range = std::to_string(lowest) + " bis " + std::to_string(highest);
  return CLI::Validator(
      [lowest, highest, range](std::string& text) {
        unsigned value = 0;
        const char* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, value);
        return !text.empty() && error == std::errc() && stop == end && value >= lowest &&
                       value <= highest
                   ? std::string()
                   : "„" + text + "“ ist keine ganze Zahl von " + range;
      },
      "");
}

std::string ParseErrorText(const CLI::App& app, const CLI::ParseError& error) {
  return "skinconv: " + Translated(app, error) + "\n" + UsageText(app);
}

std::string UsageText(const CLI::App& app) {
  const CLI::App& command = Chosen(app);
  const std::string name =
      &command == &app ? app.get_name() : app.get_name() + " " + command.get_name();
  const auto formatter = std::dynamic_pointer_cast<CLI::Formatter>(command.get_formatter());
  std::string usage = formatter->make_usage(&command, name);
  while (!usage.empty() && usage.back() == '\n') usage.pop_back();
  return usage + "  (mehr: " + name + " --help)\n";
}

}  // namespace fendrix
