#include "support/text_lines.h"

#include <gtest/gtest.h>

#include <vector>

namespace fendrix {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  LineReader reader(text);
  for (std::string_view line; reader.Next(&line);) lines.emplace_back(line);
  return lines;
}

TEST(LineReaderTest, EndsLinesAtCarriageReturns) {
  using V = std::vector<std::string>;
  struct {
    std::string text;
    V lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\rb\r", {"a", "b"}},      // CR alone ends a line too
      {"a\nb\r\n", {"a\nb"}},      // a lone LF is data
      {"a\r\n\nb", {"a", "\nb"}},  // only the first LF after CR is the end
      {"\r\n", {""}},
      {"\n", {"\n"}},  // a line feed with no carriage return before it is data
      {"\r\r", {"", ""}},
      {"\rx\n", {"", "x\n"}},
      {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
      {std::string(300, '\r'), V(300)},  // more line ends than a byte can count
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Lines(c.text), c.lines);
    LineCounter counter;
    counter.Add(c.text);
    EXPECT_EQ(counter.count(), c.lines.size());
  }
}

TEST(LineCounterTest, CountsTheSameWhereverTheTextIsCut) {
  const std::string texts[] = {"",       "a\r\nb\r\n", "a\r\nb",   "a\r\n\r\nb",
                               "a\rb\r", "a\nb\r\n",   "a\r\n\nb", "\r\n",
                               "\n",     "\r\r",       "\rx\n"};
  for (const std::string& text : texts) {
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      for (std::size_t second = cut; second <= text.size(); ++second) {
        LineCounter counter;
        counter.Add(std::string_view(text).substr(0, cut));
        counter.Add(std::string_view(text).substr(cut, second - cut));
        counter.Add(std::string_view(text).substr(second));
        EXPECT_EQ(counter.count(), Lines(text).size())
            << "text " << ::testing::PrintToString(text) << " cut at " << cut << ", " << second;
      }
    }
  }
}

}  // namespace
}  // namespace fendrix
