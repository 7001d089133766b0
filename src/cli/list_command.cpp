#include <ostream>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/json_name.h"
#include "conversion/run/staged_folder.h"
#include "repository/skin_repository.h"
#include "support/file_system.h"

namespace fendrix {
namespace {

struct SkinListing {
  JsonName name;
  std::vector<std::string> resolutions;
  std::string highest;
};

// One skin a line, so that a script can also take the list apart by lines.
// Members in a fixed order: name, name_raw (only for a name that is not
// UTF-8), resolutions, highest (null without a base).
void WriteJson(const std::vector<SkinListing>& listing, std::ostream& out) {
  out << "[";
  for (std::size_t i = 0; i < listing.size(); ++i) {
    const SkinListing& skin = listing[i];
    nlohmann::ordered_json entry;
    entry["name"] = skin.name.text;
    if (skin.name.raw) entry["name_raw"] = *skin.name.raw;
    entry["resolutions"] = skin.resolutions;
    entry["highest"] =
        skin.highest.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(skin.highest);
    // Resolution names pass the numeric test and are ASCII; replacing keeps
    // the output JSON should one ever be not.
    out << (i ? ",\n " : "")
        << entry.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  }
  out << "]\n";
}

}  // namespace

int ListCommand(FileSystem& fs, const std::filesystem::path& skins, bool json,
                const CliEnvironment& env, std::ostream& out, std::ostream& err) {
  std::vector<std::filesystem::path> names;
  std::string why;
  if (!ListSkins(fs, skins, &names, &why)) {
    err << "skinconv: " << why << "\n";
    return kExitFailure;
  }
  std::vector<SkinListing> listing;
  for (const auto& name : names) {
    // A run that died mid-swap must not make a resolution look missing;
    // what a live run holds stays its own, and a repair that fails only
    // leaves the listing as the disk is.
    std::string ignored;
    RecoverSkin(fs, skins / name, &ignored);
    SkinListing skin{JsonNameOf(name),
                     ListResolutionFolders(fs, skins, name, env.decimal_separator), ""};
    if (auto highest = GetHighestBaseResolution(fs, skins, name, env.decimal_separator)) {
      skin.highest = highest->name;
    }
    listing.push_back(std::move(skin));
  }

  if (json) {
    WriteJson(listing, out);
    return kExitSuccess;
  }
  for (const SkinListing& skin : listing) {
    // A name that is not UTF-8 is followed by its raw form, to be found again.
    out << skin.name.text << (skin.name.raw ? "  (" + *skin.name.raw + ")" : "") << "\n";
    for (const std::string& resolution : skin.resolutions) {
      // The highest is marked by its text: a folder 01280x1024 is not the
      // highest's text 1280x1024, but the first one found with its numbers is.
      bool marked = !skin.highest.empty() && resolution == skin.highest;
      out << "  " << resolution << (marked ? "  (höchste)" : "") << "\n";
    }
  }
  return kExitSuccess;
}

}  // namespace fendrix
