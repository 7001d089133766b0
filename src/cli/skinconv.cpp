#include "cli/skinconv.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "cli/parser_german.h"
#include "cli/resolution_argument.h"
#include "repository/skin_repository.h"
#include "support/path_text.h"
#include "version.h"

namespace fendrix {
namespace {

// The skins folder: as given, else the one beside the program.
bool ChooseSkinsFolder(const std::string& given, const CliEnvironment& env,
                       std::filesystem::path* skins, std::ostream& err) {
  if (!given.empty()) {
    *skins = PathFromUtf8(given);
    return true;
  }
  if (auto beside = DefaultSkinsPath(env.program_folder)) {
    *skins = *beside;
    return true;
  }
  err << "skinconv: kein Skin-Verzeichnis neben dem Programm (" << PathToUtf8(env.program_folder)
      << " endet nicht auf \"Tools\"); bitte --skins ORDNER angeben\n";
  return false;
}

// Everything the command line can say, filled in by CLI11.
struct Options {
  std::string skins;  // --skins, shared by the commands that read skins
  std::string skin, resolution;
  bool json = false;
  std::string decode_file, encode_file, output;
  ConvertJob job;
  std::string from, all, filter = "nearest", fit = "stretch", bars = "000000";
  bool quiet = false;
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
};

constexpr char kResolutionHelp[] = "Breite x Höhe in Ziffern, etwa 1024x768";

void AddSkinsOption(CLI::App* command, Options* o) {
  command
      ->add_option("--skins", o->skins,
                   "Skin-Verzeichnis (sonst ..\\Skins neben einem Ordner Tools)")
      ->type_name("ORDNER");
}

// --fit and --bars, for the commands that convert.
void AddFitOptions(CLI::App* command, Options* o) {
  command
      ->add_option("--fit", o->fit,
                   "stretch (jede Achse für sich) oder keep (Seitenverhältnis, Balken)")
      ->type_name("stretch|keep")
      ->check(OneOf({"stretch", "keep"}));
  command->add_option("--bars", o->bars, "Farbe der Balken bei --fit keep (sonst schwarz)")
      ->type_name("RRGGBB")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return text.size() == 6 &&
                           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos
                       ? std::string()
                       : "„" + text + "“ ist keine Farbe RRGGBB";
          },
          ""));
}

CLI::App* AddConvertCommand(CLI::App& app, Options* o) {
  auto* convert = AddCommand(app, "convert",
                             "Einen Skin (mit --all jeden Skin) in eine neue Auflösung umwandeln");
  convert->add_option("SKIN", o->skin, "Name des Skin-Ordners")->type_name("");
  convert->add_option("AUFLÖSUNG", o->resolution, std::string("Neue Auflösung: ") + kResolutionHelp)
      ->type_name("");
  CLI::Option* all =
      convert->add_option("--all", o->all, "Jeden Skin in jede dieser Auflösungen umwandeln")
          ->type_name("BxH[,BxH...]");
  AddSkinsOption(convert, o);
  convert->add_option("--from", o->from, "Basis-Auflösung (sonst die höchste des Skins)")
      ->type_name("BxH");
  convert->add_option("--jobs", o->jobs, "Umwandlungen gleichzeitig mit --all (sonst: die Kerne)")
      ->type_name("N")
      ->check(WholeNumberIn(1, 64))
      ->needs(all);
  convert->add_flag("--yes", o->job.yes, "Einen vorhandenen Auflösungsordner ersetzen");
  convert
      ->add_option("--filter", o->filter,
                   "Skalieren: nearest (Farben bleiben exakt) oder smooth (geglättet)")
      ->type_name("nearest|smooth")
      ->check(OneOf({"nearest", "smooth"}));
  CLI::Option* json =
      convert->add_flag("--json", o->json, "Das Ergebnis als JSON (ein Objekt je Umwandlung)");
  convert->add_flag("--quiet", o->quiet, "Nichts als Fehler ausgeben")->excludes(json);
  convert->add_flag("--dry-run", o->job.dry_run,
                    "Im Speicher umwandeln und berichten, nichts schreiben");
  AddFitOptions(convert, o);
  return convert;
}

CLI::App* AddCheckCommand(CLI::App& app, Options* o) {
  auto* check = AddCommand(
      app, "check", "Berichten, was ein Auflösungsordner eines Skins falsch macht, mit Zeile");
  check->add_option("SKIN", o->skin, "Name des Skin-Ordners")->required()->type_name("");
  check
      ->add_option(
          "AUFLÖSUNG", o->resolution,
          "Ihr Ordner, oder ohne ihn die Basis einer Umwandlung dorthin (sonst die höchste)")
      ->type_name("");
  AddSkinsOption(check, o);
  check->add_flag("--json", o->json, "JSON ausgeben");
  return check;
}

CLI::App* AddRenderCommand(CLI::App& app, Options* o) {
  auto* render =
      AddCommand(app, "render",
                 "Das Layout eines Skins in einer Auflösung als PNG zeichnen (nötigenfalls im "
                 "Speicher umgewandelt)");
  render->add_option("SKIN", o->skin, "Name des Skin-Ordners")->required()->type_name("");
  render->add_option("AUFLÖSUNG", o->resolution, std::string("Bildschirm: ") + kResolutionHelp)
      ->required()
      ->type_name("");
  AddSkinsOption(render, o);
  render->add_option("-o,--output", o->output, "Die PNG-Datei")->required()->type_name("DATEI");
  AddFitOptions(render, o);
  return render;
}

FitMode Fit(const Options& o) { return o.fit == "keep" ? FitMode::kKeep : FitMode::kStretch; }
std::uint32_t Bars(const Options& o) {
  return static_cast<std::uint32_t>(std::stoul(o.bars, nullptr, 16));
}

// The resolution `text`, or false with the message for exit code 3.
bool ReadResolution(const std::string& text, BaseResolution* resolution, std::ostream& err) {
  std::optional<BaseResolution> parsed = ParseResolutionArgument(text);
  if (!parsed) {
    err << "skinconv: " << InvalidResolutionText(text) << "\n";
    return false;
  }
  *resolution = *parsed;
  return true;
}

// --bars paints the bars that only --fit keep makes.
bool BarsAllowed(const Options& o, const CLI::App& command, std::ostream& err) {
  if (command.count("--bars") == 0 || o.fit == "keep") return true;
  err << "skinconv: --bars braucht --fit keep: nur dann gibt es Balken\n";
  return false;
}

// The items of a list "a,b,c", empty ones too.
std::vector<std::string> ListItems(const std::string& list) {
  std::vector<std::string> items;
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    items.push_back(list.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

// One skin and one resolution, or --all and a list.
int RunConvert(FileSystem& fs, Options& o, const CLI::App& convert, const CliEnvironment& env,
               std::ostream& out, std::ostream& err) {
  ConvertJob& job = o.job;
  const bool batch = convert.count("--all") > 0;
  if (batch && (!o.skin.empty() || !o.resolution.empty())) {
    err << "skinconv: --all wandelt jeden Skin um und nimmt weder SKIN noch AUFLÖSUNG\n";
    return kExitUsage;
  }
  if (!batch && o.resolution.empty()) {
    err << "skinconv: convert braucht SKIN und AUFLÖSUNG, oder --all AUFLÖSUNGEN\n";
    return kExitUsage;
  }
  if (!BarsAllowed(o, convert, err) || !ChooseSkinsFolder(o.skins, env, &job.skins, err)) {
    return kExitUsage;
  }
  std::vector<std::string> resolutions;
  for (const std::string& text : batch ? ListItems(o.all) : std::vector{o.resolution}) {
    BaseResolution resolution;
    if (!ReadResolution(text, &resolution, err)) return kExitInvalidResolution;
    resolutions.push_back(resolution.name);
  }
  if (convert.count("--from") > 0) {
    BaseResolution from;
    if (!ReadResolution(o.from, &from, err)) return kExitInvalidResolution;
    job.from = from;
  }
  job.smooth = o.filter == "smooth";
  job.fit = Fit(o);
  job.bar_colour = Bars(o);
  job.report_files = o.json;
  if (!batch) {
    job.skin = o.skin;
    job.resolution = resolutions.front();
    return ConvertCommand(fs, job, o.quiet, o.json, env, out, err);
  }
  BatchOptions options{
      .each = job, .resolutions = resolutions, .quiet = o.quiet, .json = o.json, .jobs = o.jobs};
  return BatchCommand(fs, options, env, out, err);
}

int RunCheck(FileSystem& fs, const Options& o, const CliEnvironment& env, std::ostream& out,
             std::ostream& err) {
  CheckOptions check{.skin = o.skin, .json = o.json};
  if (!o.resolution.empty()) {
    BaseResolution resolution;
    if (!ReadResolution(o.resolution, &resolution, err)) return kExitInvalidResolution;
    check.resolution = resolution;
  }
  if (!ChooseSkinsFolder(o.skins, env, &check.skins, err)) return kExitUsage;
  return CheckCommand(fs, check, env, out, err);
}

int RunRender(FileSystem& fs, const Options& o, const CLI::App& render, const CliEnvironment& env,
              std::ostream& out, std::ostream& err) {
  RenderOptions options{.skin = o.skin,
                        .output = PathFromUtf8(o.output),
                        .fit = Fit(o),
                        .fit_given = render.count("--fit") > 0,
                        .bar_colour = Bars(o)};
  if (!ReadResolution(o.resolution, &options.screen, err)) return kExitInvalidResolution;
  if (!BarsAllowed(o, render, err) || !ChooseSkinsFolder(o.skins, env, &options.skins, err)) {
    return kExitUsage;
  }
  return RenderCommand(fs, options, env, out, err);
}

// The command that was parsed, run.
int Dispatch(FileSystem& fs, Options& o, const CLI::App& command, const CliEnvironment& env,
             std::ostream& out, std::ostream& err) {
  const std::string& name = command.get_name();
  if (name == "decode") return DecodeCommand(fs, PathFromUtf8(o.decode_file), out, err);
  if (name == "encode") {
    return EncodeCommand(fs, PathFromUtf8(o.encode_file), PathFromUtf8(o.output), err);
  }
  if (name == "convert") return RunConvert(fs, o, command, env, out, err);
  if (name == "check") return RunCheck(fs, o, env, out, err);
  if (name == "render") return RunRender(fs, o, command, env, out, err);
  std::filesystem::path skins;
  if (!ChooseSkinsFolder(o.skins, env, &skins, err)) return kExitUsage;
  return ListCommand(fs, skins, o.json, env, out, err);
}

}  // namespace

int RunSkinconv(FileSystem& fs, const std::vector<std::string>& args, const CliEnvironment& env,
                std::ostream& out, std::ostream& err) {
  CLI::App app{"skinconv: wandelt Skins des Jukebox-Players in eine neue Bildschirmauflösung um",
               "skinconv"};
  SpeakGerman(app);
  app.require_subcommand(1);
  app.set_version_flag("--version", "skinconv " FENDRIX_VERSION_TEXT, "Die Version zeigen");
  // On Windows CLI11 would take "/Skins/Demo" for an option; there it is a
  // path from the drive's root, and every option here is spelled "--".
  app.allow_windows_style_options(false);
  Options o;
  auto* list = AddCommand(app, "list", "Die Skins und ihre Auflösungsordner auflisten");
  AddSkinsOption(list, &o);
  list->add_flag("--json", o.json, "JSON ausgeben");
  auto* decode =
      AddCommand(app, "decode", "Die entschlüsselten Zeilen einer Skin.vsk als UTF-8 ausgeben");
  decode->add_option("DATEI", o.decode_file, "Die Skin.vsk")->required()->type_name("");
  auto* encode =
      AddCommand(app, "encode", "Klartextzeilen (UTF-8) zu einer Skin.vsk verschlüsseln");
  encode->add_option("DATEI", o.encode_file, "Klartext, eine Zeile je Zeilenvorschub")
      ->required()
      ->type_name("");
  encode->add_option("-o,--output", o.output, "Die Skin.vsk, die entsteht")
      ->required()
      ->type_name("DATEI");
  AddConvertCommand(app, &o);
  AddCheckCommand(app, &o);
  AddRenderCommand(app, &o);

  std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitSuccess;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << "\n";
    return kExitSuccess;
  } catch (const CLI::ParseError& e) {
    err << ParseErrorText(app, e);
    return kExitUsage;
  }
  const int code = Dispatch(fs, o, *app.get_subcommands().front(), env, out, err);
  if (code == kExitUsage) err << UsageText(app);
  return code;
}

}  // namespace fendrix
