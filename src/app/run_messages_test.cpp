#include "app/run_messages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fendrix {
namespace {

TEST(WarningsMessageTest, ListsEachWarningWithItsLine) {
  EXPECT_EQ(WarningsMessage({{12, "Bild fehlt: Zelback.bmp"}, {0, "ArrowT.bmp kopiert"}}),
            "Hinweise zur Umwandlung:\n\nZeile 12: Bild fehlt: Zelback.bmp\nArrowT.bmp kopiert");
}

TEST(WarningsMessageTest, CountsWhatDoesNotFit) {
  for (std::size_t extra : {1u, 5u}) {
    std::vector<RunWarning> warnings(kMaxWarningsShown + extra, RunWarning{3, "w"});
    std::string text = WarningsMessage(warnings);
    std::size_t lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_EQ(lines, 1 + kMaxWarningsShown + 1) << extra;
    EXPECT_TRUE(text.ends_with(extra == 1 ? "... und 1 weiterer" : "... und 5 weitere")) << text;
  }
}

}  // namespace
}  // namespace fendrix
