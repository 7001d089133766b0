#include "conversion/skin_text/skin_file_rewrite.h"

#include <memory>
#include <utility>

#include "conversion/skin_text/cipher.h"
#include "conversion/skin_text/line_rewriter.h"
#include "repository/skin_repository.h"
#include "support/file_helpers.h"
#include "support/file_lines.h"
#include "support/path_text.h"
#include "support/text_lines.h"

namespace fendrix {
namespace {

// The new file, gathered in a buffer and handed to the file in large
// pieces. The file is created with the first piece, so a file that never
// gets a line is not created at all.
class BufferedFile {
 public:
  BufferedFile(FileSystem& fs, std::filesystem::path path) : fs_(fs), path_(std::move(path)) {}

  bool Append(std::string_view bytes, std::string* err) {
    if (!buffer_.empty() && buffer_.size() + bytes.size() > kFlushAt && !Flush(err)) return false;
    buffer_ += bytes;
    return true;
  }

  /// Writes the rest and closes the file, which is complete only then.
  bool Finish(std::string* err) {
    if (!Flush(err)) return false;
    return !file_ || std::exchange(file_, nullptr)->Close(err);
  }

 private:
  // Large enough that the calls into the system do not count; a skin file
  // of a few thousand lines is one write.
  static constexpr std::size_t kFlushAt = std::size_t{256} << 10;

  bool Flush(std::string* err) {
    if (buffer_.empty()) return true;
    if (!file_ && !(file_ = fs_.OpenForWriting(path_, err))) return false;
    if (!file_->Write(buffer_, err)) return false;
    buffer_.clear();
    return true;
  }

  FileSystem& fs_;
  std::filesystem::path path_;
  std::unique_ptr<FileWriter> file_;
  std::string buffer_;
};

}  // namespace

bool FindSkinFileToRead(FileSystem& fs, const std::filesystem::path& folder,
                        std::filesystem::path* file, std::string* err) {
  *file = FindEntry(fs, folder, PathFromUtf8(kSkinFileName));
  if (!FileExists(fs, *file)) {
    *err = "Skin-Datei fehlt: " + DisplayPath(*file);
    return false;
  }
  if (fs.IsLink(*file)) {
    *err = "Skin-Datei wird nicht gelesen, sie ist eine Verknüpfung: " + DisplayPath(*file);
    return false;
  }
  return true;
}

bool WriteRewrittenSkinFile(FileSystem& fs, const SkinFileRewrite& job,
                            const SkinFileEvents& events, std::size_t* lines_written,
                            std::string* err) {
  std::unique_ptr<FileReader> file = fs.OpenForReading(job.source, err);
  if (!file) return false;
  FileLineReader reader(*file, job.source);
  BufferedFile output(fs, job.target);
  std::size_t number = 0;
  for (std::string_view stored; reader.Next(&stored);) {
    events.progress(++number, job.line_count);
    std::string line(stored);
    CryptLine(line, kSkinKey);
    RewrittenLine rewritten = RewriteLine(line, job.factors, job.decimal_separator);
    if (!rewritten.line) continue;
    if (!rewritten.warning.empty()) events.kept_value(number, std::move(rewritten.warning));
    if (rewritten.names_bitmap &&
        !events.bitmap(rewritten.bitmap, number, rewritten.background, err))
      return false;
    CryptLine(*rewritten.line, kSkinKey);
    *rewritten.line += kLineEnd;
    if (!output.Append(*rewritten.line, err)) return false;
    ++*lines_written;
  }
  if (!reader.error().empty()) {
    *err = reader.error();
    return false;
  }
  return output.Finish(err);
}

}  // namespace fendrix
