#include <ostream>

#include "cli/commands.h"
#include "cli/convert_job.h"
#include "cli/convert_json.h"

namespace fendrix {

int ConvertCommand(FileSystem& fs, const ConvertJob& job, bool quiet, bool json,
                   const CliEnvironment& env, std::ostream& out, std::ostream& err) {
  std::ostream* progress = env.progress_terminal && !quiet && !json ? &err : nullptr;
  JobReport report = RunConvertJob(fs, job, env, progress);
  if (json) {
    out << ConvertJobJson(job, report).dump() << "\n";
    return report.exit_code;
  }
  if (!quiet) {
    for (const RunWarning& warning : report.warnings)
      err << "skinconv: Warnung: " << WarningText(warning) << "\n";
  }
  if (report.exit_code != kExitSuccess) {
    err << "skinconv: " << report.error << "\n";
  } else if (!quiet) {
    out << report.summary << "\n";
  }
  return report.exit_code;
}

}  // namespace fendrix
