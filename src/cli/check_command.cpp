#include <optional>
#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/json_name.h"
#include "conversion/check/skin_check.h"
#include "repository/skin_repository.h"
#include "support/file_helpers.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// Not an error: the folder was read, and something was found in it.
constexpr int kExitFindings = 1;

// The folder to check: the one asked for, or the highest as convert takes it.
bool ChooseFolder(FileSystem& fs, const CheckOptions& options, const CliEnvironment& env,
                  std::filesystem::path* folder, BaseResolution* resolution, int* code,
                  std::string* err) {
  std::filesystem::path skin_folder;
  *code = kExitFailure;
  if (!FindSkinFolder(fs, options.skins, PathFromUtf8(options.skin), &skin_folder, err)) {
    return false;
  }
  if (!options.resolution.empty()) {
    std::optional<BaseResolution> asked =
        ParseResolutionName(options.resolution, env.decimal_separator);
    if (!asked) {
      *code = kExitUsage;
      *err = "keine gültige Auflösung: " + options.resolution;
      return false;
    }
    *resolution = *asked;
  } else if (auto highest = GetHighestBaseResolution(fs, options.skins, skin_folder.filename(),
                                                     env.decimal_separator)) {
    *resolution = *highest;
  } else {
    *err = "der Skin hat keinen Auflösungsordner mit " + std::string(kSkinFileName) + ": " +
           DisplayPath(skin_folder);
    return false;
  }
  *folder = FindEntry(fs, skin_folder, PathFromUtf8(resolution->name));
  return true;
}

// The name of `folder` as its parent lists it: a Windows disk finds "demo"
// for "Demo", and a script should read the skin's own name.
std::filesystem::path SpelledOnDisk(FileSystem& fs, const std::filesystem::path& folder) {
  std::vector<DirectoryEntry> entries;
  std::string ignored;
  if (fs.ListDirectory(folder.parent_path(), &entries, &ignored)) {
    for (const DirectoryEntry& entry : entries) {
      if (NamesEqualIgnoringCase(entry.name, folder.filename())) return entry.name;
    }
  }
  return folder.filename();
}

void WriteJson(const std::filesystem::path& skin, const std::string& resolution,
               const std::vector<CheckFinding>& findings, std::ostream& out) {
  nlohmann::ordered_json report;
  PutJsonName(report, "skin", skin);
  report["resolution"] = resolution;
  report["findings"] = nlohmann::ordered_json::array();
  for (const CheckFinding& finding : findings) {
    nlohmann::ordered_json entry;
    entry["line"] = finding.line ? nlohmann::ordered_json(*finding.line) : nlohmann::ordered_json();
    entry["kind"] = finding.kind;
    PutJsonName(entry, "file", finding.file);
    entry["text"] = finding.text;
    report["findings"].push_back(std::move(entry));
  }
  out << report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

}  // namespace

int CheckCommand(FileSystem& fs, const CheckOptions& options, const CliEnvironment& env,
                 std::ostream& out, std::ostream& err) {
  std::filesystem::path folder;
  BaseResolution resolution;
  int code = kExitFailure;
  std::string why;
  if (!ChooseFolder(fs, options, env, &folder, &resolution, &code, &why)) {
    err << "skinconv: " << why << "\n";
    return code;
  }
  std::vector<CheckFinding> findings;
  CheckRequest request{folder, resolution.width, resolution.height, env.decimal_separator};
  if (!CheckSkinFolder(fs, request, &findings, &why)) {
    err << "skinconv: " << why << "\n";
    return kExitFailure;
  }
  if (options.json) {
    WriteJson(SpelledOnDisk(fs, folder.parent_path()), resolution.name, findings, out);
  } else {
    for (const CheckFinding& finding : findings) {
      if (finding.line) out << "Zeile " << *finding.line << ": ";
      out << finding.text << "\n";
    }
    out << DisplayPath(folder) << ": "
        << (findings.empty() ? "keine Befunde" : std::to_string(findings.size()) + " Befunde")
        << "\n";
  }
  return findings.empty() ? kExitSuccess : kExitFindings;
}

}  // namespace fendrix
