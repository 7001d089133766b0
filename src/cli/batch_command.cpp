#include <algorithm>
#include <atomic>
#include <mutex>
#include <ostream>
#include <thread>

#include "cli/commands.h"
#include "cli/convert_json.h"
#include "cli/counted.h"
#include "repository/skin_repository.h"
#include "support/file_system.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// One conversion's lines, or its JSON object.
void PrintReport(const BatchOptions& options, const ConvertJob& job, const JobReport& report,
                 std::ostream& out, std::ostream& err) {
  if (options.json) {
    out << ConvertJobJson(job, report).dump() << "\n";
    return;
  }
  std::string head = job.skin + " " + job.resolution + ": ";
  if (!options.quiet) {
    for (const RunWarning& warning : report.warnings) {
      err << "skinconv: Warnung: " << head << WarningText(warning) << "\n";
    }
  }
  if (report.exit_code == kExitSuccess) {
    if (!options.quiet) out << head << "ok, " << report.summary << "\n";
  } else {
    err << "skinconv: " << head << report.error << "\n";
  }
}

// Runs the jobs not `done` yet, `options.jobs` at once, each its own
// transactional run; the workers share only the queue position and the
// reports, which are printed in job order. Returns how many succeeded.
std::size_t RunJobs(const BatchOptions& options, const CliEnvironment& env,
                    const std::vector<ConvertJob>& jobs, std::vector<JobReport>& reports,
                    std::vector<bool>& done, FileSystem& fs, std::ostream& out, std::ostream& err) {
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::size_t printed = 0, succeeded = 0;
  auto print_ready = [&] {
    for (; printed < jobs.size() && done[printed]; ++printed) {
      const JobReport& report = reports[printed];
      if (report.exit_code == kExitSuccess) ++succeeded;
      PrintReport(options, jobs[printed], report, out, err);
    }
  };
  print_ready();
  auto work = [&] {
    for (std::size_t i; (i = next++) < jobs.size();) {
      {
        std::lock_guard lock(mutex);
        if (done[i]) continue;
      }
      JobReport report = RunConvertJob(fs, jobs[i], env, nullptr);
      std::lock_guard lock(mutex);
      reports[i] = std::move(report);
      done[i] = true;
      print_ready();
    }
  };

  unsigned workers =
      std::max(1u, std::min<unsigned>(options.jobs, static_cast<unsigned>(jobs.size())));
  std::vector<std::thread> threads;
  for (unsigned i = 1; i < workers; ++i) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  return succeeded;
}

}  // namespace

int BatchCommand(FileSystem& fs, const BatchOptions& options, const CliEnvironment& env,
                 std::ostream& out, std::ostream& err) {
  std::vector<std::filesystem::path> skins;
  std::string why;
  if (!ListSkins(fs, options.each.skins, &skins, &why)) {
    err << "skinconv: " << why << "\n";
    return kExitFailure;
  }

  // Each skin's base is chosen once, before any job runs: a folder that one
  // job writes must not become the base of the next.
  std::vector<ConvertJob> jobs;
  std::vector<JobReport> reports;
  std::vector<bool> done;
  for (const auto& skin : skins) {
    BaseResolution base;
    JobReport skipped;
    const bool found = ChooseBase(fs, options.each.skins / skin, options.each.from,
                                  env.decimal_separator, &base, &skipped);
    for (const std::string& resolution : options.resolutions) {
      ConvertJob& job = jobs.emplace_back(options.each);
      job.skin = PathToUtf8(skin);
      job.resolution = resolution;
      if (found) job.from = base;
      reports.push_back(found ? JobReport{} : skipped);
      done.push_back(!found);
    }
  }
  const std::size_t succeeded = RunJobs(options, env, jobs, reports, done, fs, out, err);

  if (!options.json && (!options.quiet || succeeded != jobs.size())) {
    out << succeeded << " von " << Counted(jobs.size(), "Umwandlung", "Umwandlungen")
        << " erfolgreich\n";
  }
  return succeeded == jobs.size() ? kExitSuccess : kExitFailure;
}

}  // namespace fendrix
