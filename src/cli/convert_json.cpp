#include "cli/convert_json.h"

#include "cli/json_name.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

const char* OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kSucceeded:
      return "succeeded";
    case RunOutcome::kInvalidResolution:
      return "invalid_resolution";
    case RunOutcome::kSameAsBase:
      return "same_as_base";
    case RunOutcome::kReplaceDeclined:
      return "replace_declined";
    case RunOutcome::kFailed:
      break;
  }
  return "failed";
}

template <typename T>
nlohmann::ordered_json OrNull(const std::optional<T>& value) {
  return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json();
}

}  // namespace

nlohmann::ordered_json ConvertJobJson(const ConvertJob& job, const JobReport& report) {
  nlohmann::ordered_json object;
  PutJsonName(object, "skin", PathFromUtf8(job.skin));
  object["resolution"] = job.resolution;
  object["dry_run"] = job.dry_run;
  object["outcome"] = OutcomeName(report.outcome);
  object["exit_code"] = report.exit_code;
  PutJsonName(object, "new_folder",
              report.new_folder.empty() ? std::nullopt : std::optional(report.new_folder));
  object["lines_written"] = report.lines_written;
  object["files"] = nlohmann::ordered_json::array();
  for (const WrittenFile& file : report.files) {
    nlohmann::ordered_json entry;
    PutJsonName(entry, "name", file.name);
    entry["width"] = OrNull(file.width);
    entry["height"] = OrNull(file.height);
    object["files"].push_back(std::move(entry));
  }
  object["warnings"] = nlohmann::ordered_json::array();
  for (const RunWarning& warning : report.warnings) {
    object["warnings"].push_back(
        {{"line", warning.line ? nlohmann::ordered_json(warning.line) : nlohmann::ordered_json()},
         {"text", warning.text}});
  }
  object["error"] =
      report.error.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(report.error);
  return object;
}

}  // namespace fendrix
