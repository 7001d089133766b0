#pragma once

// For tests only: the main window's flow on a view of plain fields, with
// scripted dialogs, over skins made in memory.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "app/main_window_logic.h"
#include "app/skin_tree_test_support.h"
#include "conversion/run/test_skin.h"
#include "support/memory_file_system.h"

namespace fendrix::testing {

/// A message box the flow showed.
struct ViewMessage {
  std::string text;
  MessageStyle style = MessageStyle::kPlain;
};

/// The main window as fields: what is enabled, listed, selected and shown.
class FakeMainView : public MainView {
 public:
  struct List {
    std::vector<std::filesystem::path> items;
    int selected = -1;
  };

  void SetEnabled(ViewControl control, bool on) override { enabled[control] = on; }
  bool IsEnabled(ViewControl control) const override { return enabled.at(control); }
  void ClearList(ViewList list) override { lists[list] = {}; }
  int AddListItem(ViewList list, const std::filesystem::path& item) override {
    lists[list].items.push_back(item);
    return static_cast<int>(lists[list].items.size()) - 1;
  }
  void SelectListItem(ViewList list, int index) override { lists[list].selected = index; }
  int ListCount(ViewList list) const override {
    return static_cast<int>(lists.at(list).items.size());
  }
  std::filesystem::path ListItem(ViewList list, int index) const override {
    return lists.at(list).items.at(static_cast<std::size_t>(index));
  }
  std::filesystem::path SelectedItem(ViewList list) const override {
    const List& l = lists.at(list);
    return l.selected < 0 ? std::filesystem::path() : l.items[static_cast<std::size_t>(l.selected)];
  }
  std::string Text(ViewTextBox box) const override { return texts.at(box); }
  void SetText(ViewTextBox box, std::string_view utf8) override { texts[box] = utf8; }
  void ShowSkinsPath(const std::filesystem::path& path) override { skins_path = path; }
  void ShowPreview(const Image& image, const PixelRect& target) override {
    preview = image;
    preview_target = target;
  }
  void ClearPreview() override { preview.reset(); }
  void SetCreateCaption(std::string_view utf8) override { create_caption = utf8; }
  void SetProgress(long percent) override { progress = percent; }
  bool Message(std::string_view utf8, MessageStyle style) override {
    messages.push_back({std::string(utf8), style});
    if (on_message) on_message();
    bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }
  std::filesystem::path BrowseForFolder(const BrowseArgs& args) override {
    browse_calls.push_back(args);
    return picked_folder;
  }
  void RememberFocus() override {}
  void RestoreFocus() override {}
  void Repaint() override {}
  void ShowAndProcessPending() override { ++shown; }
  void Close() override { closed = true; }
  bool IsClosed() const override { return closed; }

  /// The selected entry of a list, "" when none is.
  std::string Selected(ViewList list) const { return SelectedItem(list).string(); }
  /// The entries of a list, sorted, for folders listed in any order.
  std::vector<std::string> SortedItems(ViewList list) const {
    std::vector<std::string> names;
    for (const auto& item : lists.at(list).items) names.push_back(item.string());
    std::sort(names.begin(), names.end());
    return names;
  }
  /// True when every control a run disables is enabled and the caption is back.
  bool Idle() const {
    for (const auto& [control, on] : enabled) {
      if (!on) return false;
    }
    return create_caption == "Skin erstellen";
  }

  // As the window opens.
  std::map<ViewControl, bool> enabled = {
      {ViewControl::kSkins, true},      {ViewControl::kBaseResolution, true},
      {ViewControl::kSelectSkin, true}, {ViewControl::kCreateSkin, false},
      {ViewControl::kResH, true},       {ViewControl::kResV, true}};
  std::map<ViewList, List> lists = {{ViewList::kSkins, {}}, {ViewList::kBaseResolution, {}}};
  std::map<ViewTextBox, std::string> texts = {{ViewTextBox::kResH, "800"},
                                              {ViewTextBox::kResV, "600"}};
  std::filesystem::path skins_path;
  std::optional<Image> preview;
  PixelRect preview_target;
  std::string create_caption = "Skin erstellen";
  long progress = 0;
  std::vector<ViewMessage> messages;
  /// Called while a message box is up, before it is answered.
  std::function<void()> on_message;
  /// Yes (true) or No in turn; No (or OK) when none is left.
  std::deque<bool> answers;
  std::vector<BrowseArgs> browse_calls;
  /// What the folder picker returns; empty is a cancel.
  std::filesystem::path picked_folder;
  int shown = 0;
  bool closed = false;
};

/// The colour of a shown picture's first pixel, as blue, green, red.
inline std::uint32_t FirstPixel(const Image& image) {
  return static_cast<std::uint32_t>(image.pixels[0]) << 16 | image.pixels[1] << 8 | image.pixels[2];
}

/// Skins in memory beside the program's folder, and the flow over a fake
/// view, started on demand.
class FlowHarness {
 public:
  FlowHarness() {
    inputs.program_folder = tree.tools;
    inputs.screen_width = 1024;
    inputs.screen_height = 768;
    inputs.fs = &files;
  }

  /// Starts the window's flow as the window does when it opens.
  MainWindowLogic& Open() {
    logic.emplace(view, inputs);
    logic->Load();
    return *logic;
  }

  MemoryFileSystem files;
  SkinTree tree{files, "/test"};
  const std::filesystem::path& skins = tree.skins;
  StartUpInputs inputs;
  FakeMainView view;
  std::optional<MainWindowLogic> logic;
};

}  // namespace fendrix::testing
