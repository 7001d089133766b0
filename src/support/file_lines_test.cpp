#include "support/file_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/text_lines.h"

namespace fendrix {
namespace {

// A file in memory that hands out at most `piece` bytes per read, so lines
// and their CR LF ends fall across reads at every place.
class PieceReader : public FileReader {
 public:
  PieceReader(std::string text, std::size_t piece) : text_(std::move(text)), piece_(piece) {}

  bool Read(char* into, std::size_t size, std::size_t* got, std::string* err) override {
    if (fail_at_ != std::string::npos && at_ >= fail_at_) {
      *err = "Lesefehler";
      return false;
    }
    *got = std::min({size, piece_, text_.size() - at_});
    std::memcpy(into, text_.data() + at_, *got);
    at_ += *got;
    return true;
  }

  void FailFrom(std::size_t at) { fail_at_ = at; }

 private:
  std::string text_;
  std::size_t piece_;
  std::size_t at_ = 0;
  std::size_t fail_at_ = std::string::npos;
};

std::vector<std::string> InMemory(std::string_view text) {
  std::vector<std::string> lines;
  LineReader reader(text);
  for (std::string_view line; reader.Next(&line);) lines.emplace_back(line);
  return lines;
}

TEST(FileLineReaderTest, FindsTheLinesLineReaderFindsWhereverTheReadsEnd) {
  const std::string long_line(200, 'x');
  // Enough short lines that the buffer is filled many times over and holds
  // the bytes of an earlier read past the end of the present one.
  std::string many;
  for (int i = 0; i < 20000; ++i)
    many += std::string(static_cast<std::size_t>(i % 23), 'y') + "\r\n";
  const std::string texts[] = {
      "",
      "a\r\nb\r\n",
      "a\r\nb",
      "a\r\n\r\nb",
      "a\rb\r",
      "a\nb\r\n",
      "a\r\n\nb",
      "\r\n",
      "\n",
      "\r\r",
      "\rx\n",
      long_line + "\r\n" + long_line,
      std::string(130, '\r'),
      std::string("x\0y\r\n", 5),
      many,
  };
  for (const std::string& text : texts) {
    for (std::size_t piece : {1u, 2u, 3u, 63u, 64u, 65u, 4096u}) {
      PieceReader file(text, piece);
      // A small limit makes the buffer grow for the long lines.
      FileLineReader reader(file, "Skin.vsk", 300);
      std::vector<std::string> lines;
      for (std::string_view line; reader.Next(&line);) lines.emplace_back(line);
      EXPECT_TRUE(reader.error().empty()) << reader.error();
      EXPECT_EQ(lines, InMemory(text)) << "piece " << piece;
    }
  }
}

TEST(FileLineReaderTest, RefusesALineLongerThanItsLimitAndReportsReadErrors) {
  struct {
    std::string text;
    std::size_t limit;
    std::size_t fail_from;
    std::size_t lines_before;
    const char* error;
  } cases[] = {
      {"12345678\r\n123456789\r\n", 8, std::string::npos, 1, "länger als 8 Bytes"},
      {"ok\r\n" + std::string(100, 'x'), 8, std::string::npos, 1, "länger als 8 Bytes"},
      {"12345678\r\n12345678", 8, std::string::npos, 2, nullptr},
      {"a\r\nb\r\nc\r\n", 100, 3, 1, "Lesefehler"},
  };
  for (const auto& c : cases) {
    PieceReader file(c.text, 3);
    if (c.fail_from != std::string::npos) file.FailFrom(c.fail_from);
    FileLineReader reader(file, "Skin.vsk", c.limit);
    std::size_t lines = 0;
    for (std::string_view line; reader.Next(&line);) ++lines;
    EXPECT_EQ(lines, c.lines_before) << c.text;
    if (c.error == nullptr) {
      EXPECT_TRUE(reader.error().empty()) << reader.error();
    } else {
      EXPECT_NE(reader.error().find(c.error), std::string::npos) << reader.error();
      std::string_view line;
      EXPECT_FALSE(reader.Next(&line));  // it stays failed
    }
  }
}

}  // namespace
}  // namespace fendrix
