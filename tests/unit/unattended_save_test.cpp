// Saves the host plays without the dialog (an action's dialog switched off, a batch): the same file as OK in an
// untouched dialog, the options recorded as the dialog records them, the settings file left alone.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/plugin_main.h"
#include "tests/support/plugin_host_fixture.h"

namespace {

class UnattendedSaveTest : public PluginHostTest {
 protected:
  struct Saved {
    int16_t result = 0;
    std::string file;
    DescriptorItems recorded;
    int dialogOpened = 0;
  };

  Saved SaveWith(int16_t playInfo) {
    ResetDialogDouble();
    FakeHostOptions options;
    options.playInfo = playInfo;
    FakeHost host(PatternImage(kModeRGB, 4, 23, 17), options);
    EXPECT_TRUE(host.SetDestination(File("out.png")));
    host.SetParameters({{FourCharCode("Type"), 1}, {FourCharCode("NPal"), 16}, {FourCharCode("Dthr"), 2}});
    Saved saved;
    saved.result = host.Save(PluginMain);
    host.CloseDestination();
    saved.file = Contents(File("out.png"));
    saved.recorded = host.RecordedDescriptor();
    saved.dialogOpened = DialogSeen.opened;
    return saved;
  }
};

// The items as (key, value) pairs, to compare.
std::vector<std::pair<DescriptorKeyID, int32_t>> Pairs(const DescriptorItems& items) {
  std::vector<std::pair<DescriptorKeyID, int32_t>> pairs;
  for (const DescriptorItem& item : items) pairs.emplace_back(item.key, item.value);
  return pairs;
}

TEST_F(UnattendedSaveTest, WithoutTheDialogTheFileAndTheRecordAreThoseOfOkInAnUntouchedDialog) {
  // Laid out as the plug-in never writes it, so that a rewrite would show.
  const std::string settings = ";my own notes\nrhtD 3\n";
  WriteText(File("Vexlorin.ini"), settings);
  const Saved dialog = SaveWith(kPlayDialogDisplay);
  ASSERT_EQ(dialog.result, 0);
  EXPECT_EQ(dialog.dialogOpened, 1);
  ASSERT_EQ(dialog.file.substr(0, 4), "\x89PNG");
  EXPECT_NE(Contents(File("Vexlorin.ini")), settings);  // the dialog writes the settings as it closes

  for (const int16_t playInfo : {kPlayDialogIfNeeded, kPlayDialogSilent}) {
    WriteText(File("Vexlorin.ini"), settings);
    const Saved unattended = SaveWith(playInfo);
    EXPECT_EQ(unattended.result, 0) << playInfo;
    EXPECT_EQ(unattended.dialogOpened, 0) << playInfo;
    EXPECT_TRUE(unattended.file == dialog.file) << playInfo;
    EXPECT_EQ(Pairs(unattended.recorded), Pairs(dialog.recorded)) << playInfo;
    EXPECT_EQ(Contents(File("Vexlorin.ini")), settings) << playInfo;
    EXPECT_FALSE(IsRegularFile(File("out.png.temp"))) << playInfo;
  }
}

TEST_F(UnattendedSaveTest, WithoutPlayInformationTheDialogOpens) {
  ResetDialogDouble();
  FakeHostOptions options;
  options.noDescriptorParameters = true;
  FakeHost host(PatternImage(kModeRGB, 3, 5, 4), options);
  ASSERT_TRUE(host.SetDestination(File("out.png")));
  EXPECT_EQ(host.Save(PluginMain), 0);
  EXPECT_EQ(DialogSeen.opened, 1);
}

}  // namespace
