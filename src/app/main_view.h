#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/layout.h"
#include "conversion/imaging/image.h"
#include "dialogs/browse_args.h"

// What the main window's flow needs from the window itself: the controls it
// fills, enables and reads, and the dialogs it opens. The window implements
// it with its controls; tests implement it with plain fields.

namespace fendrix {

/// The controls the flow enables and disables.
enum class ViewControl { kSkins, kBaseResolution, kSelectSkin, kCreateSkin, kResH, kResV };

/// The two drop-down lists.
enum class ViewList { kSkins, kBaseResolution };

/// The two resolution text boxes.
enum class ViewTextBox { kResH, kResV };

/// The buttons and icon of a message box.
enum class MessageStyle {
  kPlain,        ///< OK, no icon
  kInformation,  ///< OK, information icon
  kWarning,      ///< OK, warning icon
  kError,        ///< OK, error icon
  kQuestion,     ///< Yes (the default) and No, question icon
};

/// The main window as the flow sees it.
class MainView {
 public:
  virtual ~MainView() = default;

  virtual void SetEnabled(ViewControl control, bool enabled) = 0;
  virtual bool IsEnabled(ViewControl control) const = 0;

  /// Empties the list; its selection goes with its entries.
  virtual void ClearList(ViewList list) = 0;
  /// Adds an entry at the end; returns its index.
  virtual int AddListItem(ViewList list, const std::filesystem::path& item) = 0;
  /// Selects an entry by program; no reaction follows by itself.
  virtual void SelectListItem(ViewList list, int index) = 0;
  virtual int ListCount(ViewList list) const = 0;
  virtual std::filesystem::path ListItem(ViewList list, int index) const = 0;
  /// The selected entry, empty when none is.
  virtual std::filesystem::path SelectedItem(ViewList list) const = 0;

  /// UTF-8.
  virtual std::string Text(ViewTextBox box) const = 0;
  virtual void SetText(ViewTextBox box, std::string_view utf8) = 0;

  /// Shows the skins folder in lblSkinPath, shortened to fit.
  virtual void ShowSkinsPath(const std::filesystem::path& path) = 0;
  /// Draws `image` into the emptied preview box at `target` (pixels of the box).
  virtual void ShowPreview(const Image& image, const PixelRect& target) = 0;
  virtual void ClearPreview() = 0;

  /// UTF-8.
  virtual void SetCreateCaption(std::string_view utf8) = 0;
  /// Whole percent, 0 to 100.
  virtual void SetProgress(long percent) = 0;

  /// Shows a message box; true only when Yes was pressed.
  virtual bool Message(std::string_view utf8, MessageStyle style) = 0;
  /// The folder picker; empty when cancelled.
  virtual std::filesystem::path BrowseForFolder(const BrowseArgs& args) = 0;

  /// The focus, kept while the controls are disabled and given back after.
  virtual void RememberFocus() = 0;
  virtual void RestoreFocus() = 0;
  /// Paints now: a run holds the thread, or its busy state would never show.
  virtual void Repaint() = 0;

  /// Shows the window and handles the events already waiting, once.
  virtual void ShowAndProcessPending() = 0;
  /// Closes the window, which ends the program.
  virtual void Close() = 0;
  virtual bool IsClosed() const = 0;
};

}  // namespace fendrix
