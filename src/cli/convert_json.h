#pragma once

#include <nlohmann/json.hpp>

#include "cli/convert_job.h"

namespace fendrix {

/// One conversion as a script reads it: {"skin", "resolution", "dry_run",
/// "outcome", "exit_code", "new_folder", "lines_written", "files": [{"name",
/// "width", "height"}], "warnings": [{"line", "text"}], "error"}. Names that
/// are not UTF-8 gain a "_raw" member beside them.
nlohmann::ordered_json ConvertJobJson(const ConvertJob& job, const JobReport& report);

}  // namespace fendrix
