#include <ostream>

#include "cli/commands.h"
#include "conversion/skin_text/cipher.h"
#include "support/code_page.h"
#include "support/file_system.h"
#include "support/path_text.h"
#include "support/text_lines.h"

namespace fendrix {

// Plain files hold one line per line feed; a carriage return is part of the
// line, since a deciphered line may end in byte 13. A deciphered file ends in
// a line feed exactly when its last line had a line end, so decode and encode
// give back each other's bytes.
int DecodeCommand(FileSystem& fs, const std::filesystem::path& file, std::ostream& out,
                  std::ostream& err) {
  std::string data, why;
  if (!fs.ReadFile(file, &data, &why)) {
    err << "skinconv: " << why << "\n";
    return kExitFailure;
  }
  LineReader reader(data);
  for (std::string_view stored; reader.Next(&stored);) {
    std::string line(stored);
    CryptLine(line, kSkinKey);
    out << Cp1252ToUtf8(line);
    bool ended = stored.data() + stored.size() < data.data() + data.size();
    if (ended) out << "\n";
  }
  out.flush();
  return kExitSuccess;
}

int EncodeCommand(FileSystem& fs, const std::filesystem::path& file,
                  const std::filesystem::path& output, std::ostream& err) {
  std::string plain, why;
  if (!fs.ReadFile(file, &plain, &why)) {
    err << "skinconv: " << why << "\n";
    return kExitFailure;
  }
  std::string stored;
  std::size_t start = 0, number = 0;
  while (start < plain.size()) {
    std::size_t end = plain.find('\n', start);
    bool ended = end != std::string::npos;
    std::string_view text(plain.data() + start, (ended ? end : plain.size()) - start);
    start = ended ? end + 1 : plain.size();
    ++number;

    std::string line;
    std::size_t bad = 0;
    if (!Utf8ToCp1252(text, &line, &bad)) {
      err << "skinconv: " << DisplayPath(file) << ", Zeile " << number << ": Zeichen an Stelle "
          << bad + 1 << " fehlt im Zeichensatz Windows-1252\n";
      return kExitFailure;
    }
    CryptLine(line, kSkinKey);
    if (line.find('\r') != std::string::npos) {
      err << "skinconv: " << DisplayPath(file) << ", Zeile " << number
          << ": verschlüsselt enthielte sie ein Zeilenende (Byte 13) und wäre nicht mehr lesbar\n";
      return kExitFailure;
    }
    stored += line;
    if (ended) stored += kLineEnd;
  }
  if (!fs.WriteFile(output, stored, &why)) {
    err << "skinconv: " << why << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace fendrix
