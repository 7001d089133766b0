#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/counted.h"
#include "cli/json_name.h"
#include "cli/skin_findings.h"
#include "support/file_helpers.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// Not an error: the folder was read, and something was found in it.
constexpr int kExitFindings = 1;

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
  SkinFindings checked;
  std::string why;
  const int code = FindSkinFindings(fs, {options.skins, options.skin, options.resolution},
                                    env.decimal_separator, &checked, &why);
  if (code != kExitSuccess) {
    err << "skinconv: " << why << "\n";
    return code;
  }
  const std::vector<CheckFinding>& findings = checked.findings;
  if (options.json) {
    WriteJson(SpelledOnDisk(fs, checked.folder.parent_path()), checked.resolution.name, findings,
              out);
  } else {
    for (const CheckFinding& finding : findings) {
      if (finding.line) out << "Zeile " << *finding.line << ": ";
      out << finding.text << "\n";
    }
    out << DisplayPath(checked.folder) << ": "
        << (findings.empty() ? "keine Befunde" : Counted(findings.size(), "Befund", "Befunde"))
        << "\n";
  }
  return findings.empty() ? kExitSuccess : kExitFindings;
}

}  // namespace fendrix
