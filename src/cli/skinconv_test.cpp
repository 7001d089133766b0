#include "cli/skinconv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/skinconv_fixture.h"
#include "conversion/imaging/bmp_codec.h"
#include "conversion/run/test_skin.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::EncipherLines;
using testing::Outcome;
using testing::SkinconvDiskTest;
using testing::SkinconvOn;
using testing::SkinconvTest;
using testing::U8;

TEST_F(SkinconvDiskTest, ConvertReportsEachOutcomeByItsExitCode) {
  std::string skins = U8(Skins());
  Outcome made = Skinconv({"convert", "Demo", "1024x768", "--skins", skins});
  ASSERT_EQ(made.code, 0) << made.err;
  EXPECT_NE(made.out.find("3 Zeilen, 1 Bild skaliert"), std::string::npos) << made.out;
  EXPECT_TRUE(Exists(Skins() / "Demo" / "1024x768" / "back.bmp"));

  EXPECT_EQ(Skinconv({"convert", "Demo", "1024x768", "--skins", skins}).code, 4);
  EXPECT_EQ(Skinconv({"convert", "Demo", "1024x768", "--skins", skins, "--yes", "--quiet"}).out,
            "");
  EXPECT_EQ(Skinconv({"convert", "Demo", "600x400", "--skins", skins}).code, 3);
  EXPECT_EQ(Skinconv({"convert", "Demo", "huge", "--skins", skins}).code, 3);
  EXPECT_EQ(Skinconv({"convert", "Demo", "1280x1024", "--skins", skins}).code, 5);
  EXPECT_EQ(Skinconv({"convert", "Nope", "1024x768", "--skins", skins}).code, 5);
  EXPECT_EQ(Skinconv({"convert", "Leer", "1024x768", "--skins", skins}).code, 5);

  // --from picks the base; case does not matter for the skin's name.
  Outcome from = Skinconv({"convert", "demo", "640x480", "--skins", skins, "--from", "800x600"});
  ASSERT_EQ(from.code, 0) << from.err;
  EXPECT_NE(from.out.find("(aus 800x600)"), std::string::npos);
  Outcome unread = Skinconv({"decode", U8(Skins() / "Demo" / "missing.vsk")});
  EXPECT_NE(unread.err.find("(Datei oder Verzeichnis nicht gefunden)"), std::string::npos)
      << unread.err;
  // Neither the lock nor a staging folder stays behind.
  EXPECT_EQ(testing::Names(Skins() / "Demo"),
            (std::vector<std::string>{"1024x768", "1280x1024", "640x480", "800x600"}));
}

TEST_F(SkinconvTest, ListFindsTheSkinsBesideTheProgramOrAsked) {
  Outcome beside = Skinconv({"list", "--json"}, dir_.path() / "Player" / "Tools");
  ASSERT_EQ(beside.code, 0) << beside.err;
  // Both orders are the file system's: skins and resolutions sorted here.
  nlohmann::json listed = nlohmann::json::parse(beside.out);
  for (auto& skin : listed) std::sort(skin["resolutions"].begin(), skin["resolutions"].end());
  std::sort(listed.begin(), listed.end(), [](auto& a, auto& b) { return a["name"] < b["name"]; });
  EXPECT_EQ(listed, nlohmann::json::parse(R"([
    {"name": "Demo", "resolutions": ["1280x1024", "800x600"], "highest": "1280x1024"},
    {"name": "Leer", "resolutions": [], "highest": null}])"))
      << beside.out;

  Outcome text = Skinconv({"list", "--skins", U8(Skins())});
  ASSERT_EQ(text.code, 0);
  EXPECT_NE(text.out.find("  1280x1024  (höchste)\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  800x600\n"), std::string::npos);

  Outcome nowhere = Skinconv({"list"});
  EXPECT_EQ(nowhere.code, 2);
  EXPECT_NE(nowhere.err.find("--skins"), std::string::npos);
  EXPECT_EQ(Skinconv({"list", "--skins", U8(Skins() / "missing")}).code, 5);
}

TEST_F(SkinconvTest, ListPutsRightWhatARunThatDiedMidSwapLeft) {
  // Killed between its two renames: the old folder stepped aside, the new one
  // still in staging.
  dir_.Write("Player/Skins/Demo/~1024x768.alt/Skin.vsk", EncipherLines({"Form=alt"}));
  dir_.Write("Player/Skins/Demo/~1024x768.neu/Skin.vsk", EncipherLines({"Form=neu"}));
  Outcome listed = Skinconv({"list", "--skins", U8(Skins())});
  ASSERT_EQ(listed.code, 0) << listed.err;
  EXPECT_NE(listed.out.find("  1024x768\n"), std::string::npos) << listed.out;
  const fs::path skin = Skins() / "Demo";
  EXPECT_TRUE(Exists(skin / "1024x768" / "Skin.vsk"));
  EXPECT_FALSE(Exists(skin / "~1024x768.alt"));
  EXPECT_FALSE(Exists(skin / "~1024x768.neu"));
}

#ifndef _WIN32
// A POSIX name is any bytes; Windows names are UTF-16 and come by another way.
TEST_F(SkinconvTest, ListWritesJsonForAnyFolderName) {
  struct Row {
    std::string folder, name;
    std::optional<std::string> raw;
  };
  const Row rows[] = {
      {"Plain", "Plain", std::nullopt},
      {"K\xC3\xBChl", "K\xC3\xBChl", std::nullopt},
      {"Caf\xE9", "Caf\xEF\xBF\xBD", "Caf\\xE9"},
      {"a\x80"
       "b",
       "a\xEF\xBF\xBD"
       "b",
       "a\\x80b"},
      {"Neu\xE2\x82", "Neu\xEF\xBF\xBD", "Neu\\xE2\\x82"},
  };
  for (const Row& row : rows) {
    testing::MemoryFolder dir;
    dir.Write(fs::path(row.folder) / "1024x768" / "Skin.vsk", EncipherLines({"Form=1"}));
    Outcome listed = SkinconvOn(dir.files, {"list", "--json", "--skins", U8(dir.path())});
    ASSERT_EQ(listed.code, 0) << listed.err;
    nlohmann::json expected = {
        {"name", row.name}, {"resolutions", {"1024x768"}}, {"highest", "1024x768"}};
    if (row.raw) expected["name_raw"] = *row.raw;
    nlohmann::json parsed = nlohmann::json::parse(listed.out, nullptr, false);
    EXPECT_EQ(parsed, nlohmann::json::array({expected})) << listed.out;
    std::string shown = row.name + (row.raw ? "  (" + *row.raw + ")" : "") + "\n";
    EXPECT_EQ(SkinconvOn(dir.files, {"list", "--skins", U8(dir.path())}).out,
              shown + "  1024x768  (höchste)\n");
  }
}
#endif

TEST_F(SkinconvTest, EncodeAndDecodeGiveBackEachOthersBytes) {
  // UTF-8 plain lines, one without a line end at the end.
  std::string plain = "Form=1\ngfxLautstärkeregler=laut.jpg\n\nTitel.Caption=Grüße €\nletzte";
  fs::path plain_file = dir_.Write("plain.txt", plain);
  fs::path stored = dir_.path() / "Skin.vsk";
  Outcome encoded = Skinconv({"encode", U8(plain_file), "-o", U8(stored)});
  ASSERT_EQ(encoded.code, 0) << encoded.err;
  Outcome decoded = Skinconv({"decode", U8(stored)});
  ASSERT_EQ(decoded.code, 0);
  EXPECT_EQ(decoded.out, plain);

  // Stored lines of any bytes survive decode and encode, as long as no
  // deciphered line holds a line feed (a plain file could not hold it).
  std::mt19937 random(11);
  std::string any;
  for (int line = 0; line < 300;) {
    std::string text;
    for (int i = random() % 300; i > 0; --i) text.push_back(static_cast<char>(random()));
    std::string plain_text = text;
    CryptLine(plain_text, kSkinKey);
    if (text.find('\r') != std::string::npos || plain_text.find('\n') != std::string::npos)
      continue;
    any += text + "\r\n";
    ++line;
  }
  fs::path any_file = dir_.Write("any.vsk", any);
  Outcome plain_any = Skinconv({"decode", U8(any_file)});
  ASSERT_EQ(plain_any.code, 0);
  fs::path again = dir_.Write("plain-any.txt", plain_any.out);
  ASSERT_EQ(Skinconv({"encode", U8(again), "-o", U8(dir_.path() / "again.vsk")}).code, 0);
  EXPECT_EQ(ReadAll(dir_.path() / "again.vsk"), any);
}

TEST_F(SkinconvTest, EncodeNamesTheLineItCannotStore) {
  fs::path plain_file = dir_.Write("plain.txt", "Form=1\nSchneemann=\xE2\x98\x83\n");
  Outcome outcome = Skinconv({"encode", U8(plain_file), "-o", U8(dir_.path() / "x.vsk")});
  EXPECT_EQ(outcome.code, 5);
  EXPECT_NE(outcome.err.find("Zeile 2"), std::string::npos) << outcome.err;
  EXPECT_FALSE(Exists(dir_.path() / "x.vsk"));
}

TEST_F(SkinconvTest, ConvertAllRunsEverySkinAndCountsTheFailures) {
  dir_.Write("Player/Skins/Zweiter/1024x768/Skin.vsk", EncipherLines({"Form=2", "X.Left=100"}));
  std::string skins = U8(Skins());
  Outcome all = Skinconv({"convert", "--all", "800x600,640x480", "--skins", skins, "--jobs", "2"});
  // Leer has no base; Demo already has 800x600 and --yes is missing.
  EXPECT_EQ(all.code, 5);
  EXPECT_NE(all.out.find("3 von 6 Umwandlungen erfolgreich"), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("Zweiter 640x480: ok, "), std::string::npos) << all.out;
  EXPECT_NE(all.err.find("Demo 800x600: der Ordner existiert bereits"), std::string::npos)
      << all.err;
  EXPECT_EQ(testing::DecipherLines(ReadAll(Skins() / "Zweiter" / "800x600" / "Skin.vsk")),
            (std::vector<std::string>{"Form=2", "X.Left=78"}));

  // The line of `text` that starts with `start`.
  auto line_of = [](const std::string& text, const std::string& start) {
    const std::size_t at = text.find(start);
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
  };
  // Each skin's base is chosen before any job runs: 1600x1280 is written
  // first, and 1152x864 still comes from 1280x1024.
  Outcome wider =
      Skinconv({"convert", "--all", "1600x1280,1152x864", "--skins", skins, "--jobs", "1"});
  EXPECT_NE(line_of(wider.out, "Demo 1152x864: ok").find("(aus 1280x1024)"), std::string::npos)
      << wider.out;
  // --from is every skin's base; a skin without it is skipped as a failure.
  Outcome from = Skinconv({"convert", "--all", "700x560", "--from", "800x600", "--skins", skins});
  EXPECT_EQ(from.code, 5);
  EXPECT_NE(line_of(from.out, "Zweiter 700x560: ok").find("(aus 800x600)"), std::string::npos)
      << from.out;
  EXPECT_NE(from.err.find("Leer 700x560: der Skin hat keinen Auflösungsordner 800x600"),
            std::string::npos)
      << from.err;
}

TEST_F(SkinconvTest, CheckReportsFindingsByExitCodeAndAsJson) {
  const std::string skins = U8(Skins());
  dir_.Write("Player/Skins/Demo/800x600/Skin.vsk", EncipherLines({"gfxHintergrund=back.bmp"}));
  dir_.Write("Player/Skins/Demo/800x600/back.bmp", testing::BmpFile(8, 6));
  EXPECT_EQ(Skinconv({"check", "Demo", "800x600", "--skins", skins}).code, 0);
  dir_.Write("Player/Skins/Demo/800x600/alt.bmp", "x");
  Outcome found = Skinconv({"check", "demo", "800x600", "--skins", skins, "--json"});
  ASSERT_EQ(found.code, 1) << found.err;
  nlohmann::json report = nlohmann::json::parse(found.out);
  ASSERT_EQ(report["findings"].size(), 1u) << found.out;
  EXPECT_FALSE(report["findings"][0]["text"].get<std::string>().empty());
  report["findings"][0].erase("text");
  EXPECT_EQ(report, nlohmann::json::parse(R"({"skin": "Demo", "resolution": "800x600",
      "findings": [{"line": null, "kind": "unused_file", "file": "alt.bmp"}]})"));
  EXPECT_NE(Skinconv({"check", "Demo", "800x600", "--skins", skins}).out.find(": 1 Befund\n"),
            std::string::npos);
}

// A folder that exists is drawn as it stands; one that does not is drawn as
// a conversion would write it, and the skin folder stays as it was.
TEST_F(SkinconvTest, RenderDrawsAFolderOrAConversionInMemory) {
  const auto before = testing::Snapshot(dir_.files, Skins());
  for (const char* screen : {"800x600", "1024x768"}) {
    const fs::path png = dir_.path() / (std::string(screen) + ".png");
    Outcome drawn = Skinconv({"render", "Demo", screen, "--skins", U8(Skins()), "-o", U8(png)});
    ASSERT_EQ(drawn.code, 0) << drawn.err;
    // 800x600 has no background line; 1024x768 comes from Titel, which has
    // only a Left.
    EXPECT_NE(drawn.out.find(", 1 Befund\n"), std::string::npos) << drawn.out;
    const std::string bytes = ReadAll(png);
    ASSERT_GT(bytes.size(), 24u);
    auto be32 = [&](std::size_t at) {
      std::uint32_t value = 0;
      for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
      return value;
    };
    EXPECT_EQ(std::to_string(be32(16)) + "x" + std::to_string(be32(20)), screen);
  }
  EXPECT_EQ(testing::Snapshot(dir_.files, Skins()), before);
  EXPECT_EQ(Skinconv({"render", "Demo", "1024", "--skins", U8(Skins()), "-o", "x.png"}).code, 3);
}

// A dry run reports what the real run then writes, file by file, and
// writes nothing itself; a run that fails says why in its JSON too.
TEST_F(SkinconvTest, ConvertJsonAndDryRunReportWhatARunWrites) {
  dir_.Write("Player/Skins/Demo/1280x1024/Skin.vsk",
             EncipherLines({"gfxHintergrund=back.bmp", "Titel.Left=abc", "gfxSchluss=weg.bmp"}));
  const auto before = testing::Snapshot(dir_.files, Skins());
  const std::vector<std::string> args = {"convert", "Demo",      "640x512",
                                         "--skins", U8(Skins()), "--json"};
  std::vector<std::string> dry = args;
  dry.push_back("--dry-run");
  Outcome planned = Skinconv(dry);
  ASSERT_EQ(planned.code, 0) << planned.err;
  EXPECT_EQ(testing::Snapshot(dir_.files, Skins()), before);
  Outcome done = Skinconv(args);
  ASSERT_EQ(done.code, 0) << done.err;

  nlohmann::json plan = nlohmann::json::parse(planned.out), real = nlohmann::json::parse(done.out);
  EXPECT_EQ(plan["dry_run"], true);
  EXPECT_EQ(plan["outcome"], "succeeded");
  EXPECT_EQ(plan["files"], real["files"]);
  EXPECT_EQ(real["files"], nlohmann::json::parse(R"([
    {"name": "Skin.vsk", "width": null, "height": null},
    {"name": "back.bmp", "width": 32, "height": 24}])"));
  EXPECT_EQ(plan["warnings"], real["warnings"]);
  ASSERT_EQ(real["warnings"].size(), 2u);
  EXPECT_EQ(real["warnings"][0]["line"], 2);
  EXPECT_EQ(real["warnings"][1]["line"], 3);

  Outcome declined = Skinconv(args);
  EXPECT_EQ(declined.code, 4);
  nlohmann::json refused = nlohmann::json::parse(declined.out);
  EXPECT_EQ(refused["outcome"], "replace_declined");
  EXPECT_NE(refused["error"].get<std::string>().find("--yes"), std::string::npos);
}

// 5:4 onto 16:9: one factor for both axes, the layout centred, the
// background padded with bars to the whole screen; nothing distorted.
TEST_F(SkinconvTest, ConvertWithFitKeepKeepsProportionsAndPadsTheBackground) {
  dir_.Write("Player/Skins/Demo/1280x1024/Skin.vsk",
             EncipherLines({"gfxHintergrund=back.bmp", "Knopf.Left=100", "Knopf.Top=200",
                            "Knopf.Width=64", "Knopf.Height=64", "Knopf.FontSize=12"}));
  dir_.Write("Player/Skins/Demo/1280x1024/back.bmp", testing::BmpFile(128, 102));
  Outcome done = Skinconv({"convert", "Demo", "1920x1080", "--skins", U8(Skins()), "--fit", "keep",
                           "--bars", "102030"});
  ASSERT_EQ(done.code, 0) << done.err;
  const fs::path made = Skins() / "Demo" / "1920x1080";
  EXPECT_EQ(testing::DecipherLines(ReadAll(made / "Skin.vsk")),
            (std::vector<std::string>{"gfxHintergrund=back.bmp", "Knopf.Left=390", "Knopf.Top=210",
                                      "Knopf.Width=67", "Knopf.Height=67", "Knopf.FontSize=12"}));
  const std::string bmp = ReadAll(made / "back.bmp");
  Image back;
  std::string why;
  ASSERT_TRUE(
      DecodeBmp({reinterpret_cast<const std::uint8_t*>(bmp.data()), bmp.size()}, &back, &why))
      << why;
  ASSERT_EQ(back.width, 1920);
  ASSERT_EQ(back.height, 1080);
  const std::uint8_t bar[3] = {0x30, 0x20, 0x10};  // blue, green, red
  for (std::int32_t x : {0, 284, 1920 - 285, 1919}) {
    EXPECT_EQ(std::memcmp(back.Row(50) + 3 * x, bar, 3), 0) << x;
  }
  EXPECT_NE(std::memcmp(back.Row(50) + 3 * 300, bar, 3), 0);
  // The barred folder is now the highest: converting from it says so.
  Outcome again = Skinconv({"convert", "Demo", "800x600", "--skins", U8(Skins()), "--yes"});
  ASSERT_EQ(again.code, 0) << again.err;
  EXPECT_NE(again.err.find("1920x1080 hat einfarbige Balken (links 285, rechts"), std::string::npos)
      << again.err;

  for (const char* bad : {"--fit=bogus", "--bars=12345G"}) {
    EXPECT_EQ(Skinconv({"convert", "Demo", "800x600", "--skins", U8(Skins()), bad}).code, 2) << bad;
  }
}

}  // namespace
}  // namespace fendrix
