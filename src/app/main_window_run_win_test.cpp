#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/window_test_support.h"

namespace fendrix::testing {
namespace {

class RunTest : public ::testing::Test {
 protected:
  void Open() {
    harness.tree.AddResolution("A", "1280x1024");
    window = harness.Open();
  }
  const MainWindowControls& controls() const { return window->controls(); }
  void Click() { SendMessageW(controls().cmdCreateSkin, BM_CLICK, 0, 0); }
  int Progress() const {
    return static_cast<int>(SendMessageW(controls().ProgressBar1, PBM_GETPOS, 0, 0));
  }

  // The controls the run disables, in the order it disables them.
  std::vector<HWND> RunControls() const {
    const MainWindowControls& c = controls();
    return {c.cboSkins,      c.cboBaseResolution, c.cmdSelectSkin,
            c.cmdCreateSkin, c.txtResH,           c.txtResV};
  }

  void ExpectIdle() const {
    for (HWND control : RunControls()) EXPECT_TRUE(IsWindowEnabled(control));
    EXPECT_EQ(WindowText(controls().cmdCreateSkin), L"Skin erstellen");
  }

  WindowHarness harness;
  std::unique_ptr<MainWindow> window;
};

// What the question and the run's state look like in the real window; what
// the answer does is the flow's.
TEST_F(RunTest, ReplaceQuestionHasYesAndNoAndComesOverTheDisabledControls) {
  harness.tree.Write("Player/Skins/A/1024x768/alt.txt", "alt");
  Open();
  std::vector<bool> enabled_while_asked;
  std::wstring caption_while_asked;
  harness.on_message = [&] {
    for (HWND control : RunControls()) enabled_while_asked.push_back(IsWindowEnabled(control));
    caption_while_asked = WindowText(controls().cmdCreateSkin);
  };
  harness.answers = {IDNO};

  Click();

  ASSERT_EQ(harness.messages.size(), 1u);
  EXPECT_EQ(harness.messages[0].flags,
            static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1));
  EXPECT_EQ(enabled_while_asked, std::vector<bool>(6, false));
  EXPECT_EQ(caption_while_asked, L"Erstelle Skin...");
  ExpectIdle();
}

TEST_F(RunTest, EnterClicksTheDefaultButtonOrTheFocusedPickerButton) {
  Open();
  SetFocus(controls().txtResH);
  PressKey(*window, VK_RETURN);
  ASSERT_EQ(harness.messages.size(), 1u);
  EXPECT_EQ(harness.messages[0].text, L"Der Skin wurde erfolgreich umgewandelt!");
  EXPECT_EQ(GetFocus(), controls().txtResH);  // back where the run was started from

  SetFocus(controls().cmdSelectSkin);
  PressKey(*window, VK_RETURN);
  EXPECT_EQ(harness.browse_calls.size(), 1u);
  EXPECT_EQ(harness.messages.size(), 1u);
}

TEST_F(RunTest, EnterDoesNothingWhileCreateIsDisabled) {
  harness.env.inputs.program_folder = harness.tree.MakeFolder("Elsewhere");
  Open();
  ASSERT_FALSE(IsWindowEnabled(controls().cmdCreateSkin));
  for (HWND control : {controls().txtResH, controls().txtResV, controls().cboSkins}) {
    SetFocus(control);
    PressKey(*window, VK_RETURN);
  }
  EXPECT_TRUE(harness.messages.empty());
  EXPECT_TRUE(harness.browse_calls.empty());
}

TEST_F(RunTest, TabWalksTheControlsInTabOrder) {
  Open();
  const MainWindowControls& c = controls();
  std::vector<HWND> expected = {c.txtResH,  c.txtResV,           c.cmdSelectSkin,
                                c.cboSkins, c.cboBaseResolution, c.cmdCreateSkin};
  SetFocus(c.cmdCreateSkin);
  std::vector<HWND> visited;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    PressKey(*window, VK_TAB);
    visited.push_back(GetFocus());
  }
  EXPECT_EQ(visited, expected);
}

TEST_F(RunTest, ResolutionBoxesRefuseAFifthCharacter) {
  Open();
  for (HWND box : {controls().txtResH, controls().txtResV}) {
    SetWindowTextW(box, L"");
    SetFocus(box);
    Type(L"12345");
    EXPECT_EQ(WindowText(box), L"1234");
  }
}

}  // namespace
}  // namespace fendrix::testing
