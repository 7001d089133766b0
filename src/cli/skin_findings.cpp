#include "cli/skin_findings.h"

#include "cli/convert_job.h"
#include "cli/resolution_argument.h"
#include "cli/skinconv.h"
#include "conversion/run/conversion_run.h"
#include "support/file_helpers.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// The conversion from `base` to `target`, as the run would compute it;
// nothing when the run refuses `target`.
std::optional<CheckedConversion> ConversionTo(const BaseResolution& base,
                                              const BaseResolution& target, FitMode fit) {
  RunRequest request;
  request.new_width_text = std::to_string(target.width);
  request.new_height_text = std::to_string(target.height);
  const std::optional<NewSize> size = ReadNewSize(request);
  if (!size) return std::nullopt;
  const ConversionFactors factors =
      fit == FitMode::kKeep ? KeepAspectFactors(base.width, base.height, size->width, size->height)
                            : ComputeFactors(base.width, base.height, size->width, size->height);
  return CheckedConversion{factors, size->FolderName()};
}

}  // namespace

int FindSkinFindings(FileSystem& fs, const FindingsQuestion& question, char decimal_separator,
                     SkinFindings* result, std::string* err) {
  std::filesystem::path skin_folder;
  if (!FindSkinFolder(fs, question.skins, PathFromUtf8(question.skin), &skin_folder, err)) {
    return kExitFailure;
  }
  CheckRequest request;
  request.decimal_separator = decimal_separator;
  const std::optional<BaseResolution>& asked = question.resolution;
  const std::filesystem::path asked_folder =
      asked ? FindEntry(fs, skin_folder, PathFromUtf8(asked->name)) : std::filesystem::path();
  if (asked && FolderExists(fs, asked_folder)) {
    result->resolution = *asked;
  } else {
    JobReport failure;
    if (!ChooseBase(fs, skin_folder, std::nullopt, decimal_separator, &result->resolution,
                    &failure)) {
      *err = failure.error;
      return failure.exit_code;
    }
    if (asked) {
      request.conversion = ConversionTo(result->resolution, *asked, question.fit);
      if (!request.conversion) {
        *err = InvalidResolutionText(asked->name);
        return kExitInvalidResolution;
      }
    }
  }
  result->folder = FindEntry(fs, skin_folder, PathFromUtf8(result->resolution.name));
  request.folder = result->folder;
  request.width = result->resolution.width;
  request.height = result->resolution.height;
  return CheckSkinFolder(fs, request, &result->findings, err) ? kExitSuccess : kExitFailure;
}

}  // namespace fendrix
