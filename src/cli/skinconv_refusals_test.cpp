#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/skinconv_fixture.h"

namespace fendrix {
namespace {

using testing::Outcome;
using testing::SkinconvTest;
using testing::U8;

// What the command line cannot honour it refuses, in German: a usage error
// with the usage line (2), a resolution that is no resolution (3), each
// with one message whatever the command.
TEST_F(SkinconvTest, RefusesWhatItCannotHonour) {
  const struct {
    std::vector<std::string> args;
    int code;
    std::string said;
  } rows[] = {
      {{}, 2, "ein Befehl fehlt"},
      {{"frobnicate"}, 2, "unbekannter Befehl: frobnicate"},
      {{"--frob"}, 2, "unbekannte Option: --frob"},
      {{"decode"}, 2, "DATEI fehlt"},
      {{"convert", "Demo", "1024x768", "--filter", "bicubic"}, 2, "„bicubic“ ist keiner"},
      {{"convert", "Demo", "1024x768", "--bars", "102030"}, 2, "--bars braucht --fit keep"},
      {{"convert", "Demo", "1024x768", "--jobs", "2"}, 2, "--jobs braucht --all"},
      {{"convert", "--all", "1024x768", "--jobs", "0"}, 2, "„0“ ist keine ganze Zahl von 1 bis 64"},
      {{"convert", "Demo", "1024x768", "--json", "--quiet"}, 2, "geht nicht zusammen mit"},
      {{"convert", "--all", "1024x768", "Demo"}, 2, "nimmt weder SKIN noch"},
      {{"convert", "Demo"}, 2, "convert braucht SKIN und AUFLÖSUNG"},
      {{"render", "Demo", "800x600", "--fit", "keep", "-o", "x.png"}, 2, "--fit wirkt nur"},
      {{"convert", "Demo", "1024x768x2"}, 3, "Auflösung angegeben: „1024x768x2“"},
      {{"convert", "--all", "1024x768,800x600xfoo"}, 3, "Auflösung angegeben: „800x600xfoo“"},
      {{"convert", "Demo", "800x600", "--from", "80000x600"},
       3,
       "Auflösung angegeben: „80000x600“"},
      {{"convert", "Demo", "600x400"}, 3, "Auflösung angegeben: „600x400“"},
      {{"check", "Demo", "0x0"}, 3, "Auflösung angegeben: „0x0“"},
      {{"check", "Demo", "320x200"}, 3, "Auflösung angegeben: „320x200“"},
      {{"render", "Demo", "1024x768x", "-o", "x.png"}, 3, "Auflösung angegeben: „1024x768x“"},
      {{"render", "Demo", "100x100", "-o", "x.png"}, 3, "Auflösung angegeben: „100x100“"},
      {{"check", "Nope"}, 5, "Skin nicht gefunden"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = row.args;
    if (!args.empty() && !args[0].starts_with("-") && args[0] != "frobnicate" &&
        args[0] != "decode") {
      args.insert(args.end(), {"--skins", U8(Skins())});
    }
    const Outcome outcome = Skinconv(args);
    const std::string shown = ::testing::PrintToString(row.args);
    EXPECT_EQ(outcome.code, row.code) << shown << outcome.err;
    EXPECT_NE(outcome.err.find(row.said), std::string::npos) << shown << outcome.err;
    EXPECT_EQ(outcome.err.find("Aufruf: skinconv") != std::string::npos, row.code == 2) << shown;
  }
  EXPECT_NE(Skinconv({"--help"}).out.find("Aufruf: skinconv [OPTIONEN] BEFEHL"), std::string::npos);
}

}  // namespace
}  // namespace fendrix
