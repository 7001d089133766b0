#include "support/system_error_text.h"

#include <array>
#include <utility>

namespace fendrix {
namespace {

// The errors a file operation of this program meets.
constexpr std::array<std::pair<std::errc, const char*>, 22> kTexts = {{
    {std::errc::no_such_file_or_directory, "Datei oder Verzeichnis nicht gefunden"},
    {std::errc::permission_denied, "Zugriff verweigert"},
    {std::errc::operation_not_permitted, "Vorgang nicht erlaubt"},
    {std::errc::file_exists, "Datei existiert bereits"},
    {std::errc::no_space_on_device, "Kein Speicherplatz mehr auf dem Datenträger"},
    {std::errc::read_only_file_system, "Dateisystem ist schreibgeschützt"},
    {std::errc::not_a_directory, "Ist kein Verzeichnis"},
    {std::errc::is_a_directory, "Ist ein Verzeichnis"},
    {std::errc::directory_not_empty, "Verzeichnis ist nicht leer"},
    {std::errc::device_or_resource_busy, "Gerät oder Ressource belegt"},
    {std::errc::text_file_busy, "Datei wird gerade verwendet"},
    {std::errc::too_many_files_open, "Zu viele offene Dateien"},
    {std::errc::too_many_files_open_in_system, "Zu viele offene Dateien im System"},
    {std::errc::filename_too_long, "Dateiname zu lang"},
    {std::errc::io_error, "Ein- oder Ausgabefehler"},
    {std::errc::cross_device_link, "Verschieben zwischen Datenträgern nicht möglich"},
    {std::errc::too_many_symbolic_link_levels, "Zu viele Ebenen symbolischer Verknüpfungen"},
    {std::errc::invalid_argument, "Ungültiges Argument"},
    {std::errc::file_too_large, "Datei zu groß"},
    {std::errc::not_enough_memory, "Zu wenig Arbeitsspeicher"},
    {std::errc::resource_unavailable_try_again, "Ressource vorübergehend nicht verfügbar"},
    {std::errc::no_such_device, "Gerät nicht gefunden"},
}};

const char* TextOf(int error) {
  for (const auto& [code, text] : kTexts) {
    if (static_cast<int>(code) == error) return text;
  }
  return nullptr;
}

}  // namespace

std::string SystemErrorText(int error) {
  if (const char* text = TextOf(error)) return text;
  return "Systemfehler " + std::to_string(error);
}

std::string SystemErrorText(const std::error_code& error) {
  const std::error_condition condition = error.default_error_condition();
  if (condition.category() == std::generic_category()) return SystemErrorText(condition.value());
  // A Windows code that stands for no errno value: Windows words it in the
  // language of its users.
  return error.message();
}

}  // namespace fendrix
