#include <ostream>

#include "cli/commands.h"
#include "repository/skin_repository.h"
#include "support/file_system.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

struct SkinListing {
  std::string name;
  std::vector<std::string> resolutions;
  std::string highest;
};

}  // namespace

int ListCommand(const std::filesystem::path& skins, bool json, const CliEnvironment& env,
                std::ostream& out, std::ostream& err) {
  RealFileSystem fs;
  std::vector<std::filesystem::path> names;
  std::string why;
  if (!ListSkins(fs, skins, &names, &why)) {
    err << "skinconv: " << why << "\n";
    return kExitFailure;
  }
  std::vector<SkinListing> listing;
  for (const auto& name : names) {
    SkinListing skin{PathToUtf8(name),
                     ListResolutionFolders(fs, skins, name, env.decimal_separator), ""};
    if (auto highest = GetHighestBaseResolution(fs, skins, name, env.decimal_separator)) {
      skin.highest = highest->name;
    }
    listing.push_back(std::move(skin));
  }

  if (json) {
    out << "[";
    for (std::size_t i = 0; i < listing.size(); ++i) {
      const SkinListing& skin = listing[i];
      out << (i ? ",\n " : "") << "{\"name\": " << JsonString(skin.name) << ", \"resolutions\": [";
      for (std::size_t j = 0; j < skin.resolutions.size(); ++j) {
        out << (j ? ", " : "") << JsonString(skin.resolutions[j]);
      }
      out << "], \"highest\": " << (skin.highest.empty() ? "null" : JsonString(skin.highest))
          << "}";
    }
    out << "]\n";
    return kExitSuccess;
  }
  for (const SkinListing& skin : listing) {
    out << skin.name << "\n";
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
