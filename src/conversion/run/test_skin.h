#pragma once

// For tests only: skins made on disk or in memory, a caller that records what a run told
// it, and a snapshot of a folder to prove a run left it alone.

#include <map>
#include <string>
#include <vector>

#include "conversion/imaging/bmp_writer.h"
#include "conversion/run/conversion_run.h"
#include "conversion/skin_text/cipher.h"
#include "support/test_folder.h"
#include "support/text_lines.h"

namespace fendrix::testing {

using fendrix::DecipherLines;
using fendrix::EncipherLines;

/// A picture whose pixels tell their position apart: red grows to the right,
/// green downwards, blue is fixed.
inline Image Gradient(std::int32_t width, std::int32_t height) {
  Image image{width, height,
              std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint8_t* p = image.Row(y) + x * 3;
      p[0] = 200;
      p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
      p[2] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
    }
  }
  return image;
}

/// A 24-bit BMP file of the gradient picture.
inline std::string BmpFile(std::int32_t width, std::int32_t height) {
  return EncodeBmp24(Gradient(width, height));
}

/// Every file below `root` in `files` with its bytes, keyed by its relative
/// path.
inline std::map<std::string, std::string> Snapshot(FileSystem& files,
                                                   const std::filesystem::path& root,
                                                   const std::filesystem::path& prefix = {}) {
  std::map<std::string, std::string> found;
  std::vector<DirectoryEntry> entries;
  std::string ignored;
  if (!files.ListDirectory(root / prefix, &entries, &ignored)) return found;
  for (const DirectoryEntry& entry : entries) {
    const std::filesystem::path relative = prefix / entry.name;
    if (!entry.is_directory) {
      found[relative.generic_string()] = ReadAll(files, root / relative);
      continue;
    }
    found[relative.generic_string()] = "<folder>";
    found.merge(Snapshot(files, root, relative));
  }
  return found;
}

/// Names in `folder` of `files`, sorted.
inline std::vector<std::string> Names(FileSystem& files, const std::filesystem::path& folder) {
  std::vector<DirectoryEntry> entries;
  std::string ignored;
  files.ListDirectory(folder, &entries, &ignored);
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : entries) names.push_back(entry.name.string());
  std::sort(names.begin(), names.end());
  return names;
}

/// Every file below `root` with its bytes, keyed by its relative path.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::string relative = std::filesystem::relative(it->path(), root).generic_string();
    files[relative] = it->is_directory() ? "<folder>" : ReadAll(it->path());
  }
  return files;
}

/// Names in `folder`, sorted.
inline std::vector<std::string> Names(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

/// The request of a run that converts the skin "Demo" of `skins_path`.
inline RunRequest DemoInputs(const std::filesystem::path& skins_path, std::string width = "1024",
                             std::string height = "768") {
  RunRequest in;
  in.new_width_text = std::move(width);
  in.new_height_text = std::move(height);
  in.skins_path = skins_path;
  in.skin = "Demo";
  return in;
}

/// A caller that answers as told and remembers everything it was told,
/// during the run and in its result.
class RecordingCaller : public RunObserver {
 public:
  explicit RecordingCaller(RunRequest inputs) : inputs(std::move(inputs)) {}

  void EnterBusy() override { events.push_back("busy"); }
  void EnterIdle() override { events.push_back("idle"); }
  void SetProgress(float percent) override { progress.push_back(percent); }
  bool ConfirmReplace(std::string_view question) override {
    events.push_back("ask: " + std::string(question));
    return answer_yes;
  }

  /// Runs `run` on the request and records its message and warnings.
  RunResult Execute(ConversionRun& run) {
    RunResult result = run.Execute(inputs);
    if (result.message_kind != MessageKind::kNone) {
      messages.push_back({result.message_kind, result.message});
    }
    if (!result.warnings.empty()) warnings = result.warnings;
    return result;
  }

  RunRequest inputs;
  bool answer_yes = false;
  std::vector<std::string> events;
  std::vector<float> progress;
  std::vector<std::pair<MessageKind, std::string>> messages;
  std::vector<RunWarning> warnings;
};

}  // namespace fendrix::testing
