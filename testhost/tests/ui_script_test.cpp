// UI scripts: which lines are actions, what each action holds, and the messages for lines that are not.
#include "testhost/ui_script.h"

#include <gtest/gtest.h>

namespace {

std::vector<UiAction> Parse(const std::string& text) {
  std::string error;
  std::optional<std::vector<UiAction>> actions = ParseUiScript(text, &error);
  EXPECT_TRUE(actions.has_value()) << error;
  return actions.value_or(std::vector<UiAction>{});
}

std::string Refusal(const std::string& text) {
  std::string error;
  EXPECT_FALSE(ParseUiScript(text, &error).has_value()) << text;
  return error;
}

TEST(UiScript, EveryVerbWithItsOperands) {
  const std::vector<UiAction> actions = Parse(
      "click 1013\n"
      "select panel:1006 4\n"
      "cell 0\n"
      "dblcell 255\n"
      "drag -40 25\n"
      "resize 1100 700\n"
      "hover header:1006\n"
      "wait 250\n"
      "snapshot out dir/dialog one.png\n"
      "rect progress\n"
      "rect dialog:1005\n"
      "key Shift+Tab\n"
      "focus\n"
      "settle queue\n"
      "watch\n"
      "watched\n"
      "settle refresh\n"
      "ok\n");
  ASSERT_EQ(actions.size(), 18u);
  EXPECT_EQ(actions[0].verb, UiVerb::kClick);
  EXPECT_EQ(actions[0].target.scope, UiScope::kAnyPart);
  EXPECT_EQ(actions[0].target.id, 1013);
  EXPECT_EQ(actions[1].verb, UiVerb::kSelect);
  EXPECT_EQ(actions[1].target.scope, UiScope::kPanel);
  EXPECT_EQ(actions[1].target.id, 1006);
  EXPECT_EQ(actions[1].first, 4);
  EXPECT_EQ(actions[2].verb, UiVerb::kCell);
  EXPECT_EQ(actions[2].first, 0);
  EXPECT_EQ(actions[3].verb, UiVerb::kDoubleCell);
  EXPECT_EQ(actions[3].first, 255);
  EXPECT_EQ(actions[4].verb, UiVerb::kDrag);
  EXPECT_EQ(actions[4].first, -40);
  EXPECT_EQ(actions[4].second, 25);
  EXPECT_EQ(actions[5].verb, UiVerb::kResize);
  EXPECT_EQ(actions[5].first, 1100);
  EXPECT_EQ(actions[5].second, 700);
  EXPECT_EQ(actions[6].verb, UiVerb::kHover);
  EXPECT_EQ(actions[6].target.scope, UiScope::kHeader);
  EXPECT_EQ(actions[6].target.id, 1006);
  EXPECT_EQ(actions[7].verb, UiVerb::kWait);
  EXPECT_EQ(actions[7].first, 250);
  EXPECT_EQ(actions[8].verb, UiVerb::kSnapshot);
  EXPECT_EQ(actions[8].path, "out dir/dialog one.png");
  EXPECT_EQ(actions[9].verb, UiVerb::kRect);
  EXPECT_EQ(actions[9].target.part, UiPart::kProgressBar);
  EXPECT_EQ(actions[10].target.part, UiPart::kControl);
  EXPECT_EQ(actions[10].target.scope, UiScope::kDialog);
  EXPECT_EQ(actions[10].target.id, 1005);
  EXPECT_EQ(actions[11].verb, UiVerb::kKey);
  EXPECT_EQ(static_cast<UiKey>(actions[11].first), UiKey::kShiftTab);
  EXPECT_EQ(actions[12].verb, UiVerb::kFocus);
  EXPECT_EQ(actions[13].verb, UiVerb::kSettle);
  EXPECT_EQ(actions[13].first, 0);
  EXPECT_EQ(actions[14].verb, UiVerb::kWatch);
  EXPECT_EQ(actions[15].verb, UiVerb::kWatched);
  EXPECT_EQ(actions[16].first, 1);
  EXPECT_EQ(actions[17].verb, UiVerb::kOk);
  for (size_t i = 0; i < actions.size(); ++i) EXPECT_EQ(actions[i].line, static_cast<int>(i) + 1);
}

TEST(UiScript, CommentsBlankLinesAndLineEndsAreSkippedButCounted) {
  const std::vector<UiAction> actions =
      Parse("\xEF\xBB\xBF# opens, then saves\r\n\r\n   \t\nclick 1005   # the alpha channel\r\n\tcancel");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[0].verb, UiVerb::kClick);
  EXPECT_EQ(actions[0].target.id, 1005);
  EXPECT_EQ(actions[0].line, 4);
  EXPECT_EQ(actions[1].verb, UiVerb::kCancel);
  EXPECT_EQ(actions[1].line, 5);
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse("# nothing to do\n\n").empty());
}

TEST(UiScript, LinesThatAreNoActionNameTheirLine) {
  EXPECT_EQ(Refusal("ok\n\nclik 1\n"), "line 3: unknown action 'clik'");
  EXPECT_EQ(Refusal("click 1\n\nclik 1\n"), "line 3: unknown action 'clik'");
  EXPECT_EQ(Refusal("wait 5\nok\nclick 1\n"), "line 3: nothing can follow line 2, which closes the dialog");
  EXPECT_EQ(Refusal("cancel 2"), "line 1: cancel takes nothing after it");
  EXPECT_EQ(Refusal("snapshot   # no path"), "line 1: snapshot wants PATH");
  const std::string bad = Refusal("hover 1\nselect 1006\n");
  EXPECT_EQ(bad.rfind("line 2: select wants ID INDEX", 0), 0u) << bad;
}

TEST(UiScript, NumbersOutsideTheirRangesAreRefused) {
  for (const char* line :
       {"click 65536",      "click -1", "click 1e3",   "click 0x10",     "click side:1", "click panel:",
        "cell 256",         "cell -1",  "dblcell x",   "drag 30001 0",   "drag 0",       "resize 0 100",
        "resize 100 32768", "wait -1",  "wait 600001", "select 1006 -1", "rect bottom",  "hover",
        "click 1 2",        "key",      "key tab",     "key Ctrl+Tab",   "focus 1",      "settle",
        "settle all",       "watch 10", "watched 1"}) {
    const std::string error = Refusal(line);
    EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << line << ": " << error;
  }
  EXPECT_EQ(Parse("click 65535\ncell 255\ndrag -30000 30000\nresize 1 32767\nwait 600000").size(), 5u);
}

TEST(UiScript, ZoomAndViewNameTheEntryOfTheirList) {
  const std::vector<UiAction> actions = Parse("zoom fit\nzoom 12.5\nzoom 66.7\nzoom 100\nzoom 800\nview 1\nview 2\n");
  ASSERT_EQ(actions.size(), 7u);
  const int32_t entries[] = {0, 1, 4, 5, 8, 0, 1};
  for (size_t i = 0; i < actions.size(); ++i) {
    EXPECT_EQ(actions[i].verb, i < 5 ? UiVerb::kZoom : UiVerb::kView) << "line " << i + 1;
    EXPECT_EQ(actions[i].first, entries[i]) << "line " << i + 1;
  }
}

TEST(UiScript, CtrlKeysAreNamedAsWritten) {
  const std::vector<UiAction> actions = Parse("key Ctrl+Plus\nkey Ctrl+Minus\nkey Ctrl+0\nkey Ctrl+1\n");
  ASSERT_EQ(actions.size(), 4u);
  const UiKey keys[] = {UiKey::kCtrlPlus, UiKey::kCtrlMinus, UiKey::kCtrlZero, UiKey::kCtrlOne};
  const char* const names[] = {"Ctrl+Plus", "Ctrl+Minus", "Ctrl+0", "Ctrl+1"};
  for (size_t i = 0; i < actions.size(); ++i) {
    EXPECT_EQ(static_cast<UiKey>(actions[i].first), keys[i]);
    EXPECT_STREQ(KeyText(keys[i]), names[i]);
  }
}

TEST(UiScript, ZoomViewAndCtrlKeysRefuseWhatTheDialogDoesNotOffer) {
  EXPECT_EQ(Refusal("view 2\nzoom 75\n"),
            "line 2: zoom wants fit|N; N is 12.5, 25, 50, 66.7, 100, 200, 400 or 800, not '75'");
  EXPECT_EQ(Refusal("zoom fit\n\nview 3\n"), "line 3: view wants 1|2, not '3'");
  const std::string key = Refusal("key Ctrl+2");
  EXPECT_NE(key.find("Down, Ctrl+Plus, Ctrl+Minus, Ctrl+0 or Ctrl+1, not 'Ctrl+2'"), std::string::npos) << key;
  for (const char* line : {"zoom", "zoom Fit", "zoom 12.50", "zoom 100%", "zoom 0", "zoom 1600", "zoom fit 2", "view",
                           "view 0", "view 2-Up", "view 1 2", "key Ctrl+2", "key ctrl+0", "key Ctrl+="}) {
    const std::string error = Refusal(line);
    EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << line << ": " << error;
  }
}

TEST(UiScript, TargetsAreWrittenBackAsInTheScript) {
  const std::vector<UiAction> actions =
      Parse("click 1\nclick panel:2\nclick dialog:1005\nclick header:1007\nrect status\nrect header\n");
  ASSERT_EQ(actions.size(), 6u);
  EXPECT_EQ(TargetText(actions[0].target), "1");
  EXPECT_EQ(TargetText(actions[1].target), "panel:2");
  EXPECT_EQ(TargetText(actions[2].target), "dialog:1005");
  EXPECT_EQ(TargetText(actions[3].target), "header:1007");
  EXPECT_EQ(TargetText(actions[4].target), "status");
  EXPECT_EQ(TargetText(actions[5].target), "header");
}

}  // namespace
