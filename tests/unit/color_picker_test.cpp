// The host's colour picker through a fake colour-services callback.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "host/color_picker.h"
#include "host/host_call.h"

namespace {

struct SeenRequest {
  int calls = 0;
  int32_t infoSize = 0;
  int16_t selector = -1;
  int16_t sourceSpace = -1;
  int16_t resultSpace = -1;
  int16_t components[4] = {};
  std::string prompt;
  bool reservedNull = false;
};
SeenRequest seen;
OSErr answer = 0;
int16_t answerComponents[3] = {};

OSErr FakeColorServices(ColorServicesInfo* info) {
  ++seen.calls;
  seen.infoSize = info->infoSize;
  seen.selector = info->selector;
  seen.sourceSpace = info->sourceSpace;
  seen.resultSpace = info->resultSpace;
  std::memcpy(seen.components, info->colorComponents, sizeof seen.components);
  const unsigned char* prompt = info->selectorParameter.pickerPrompt;
  seen.prompt = prompt != nullptr ? std::string(reinterpret_cast<const char*>(prompt + 1), prompt[0]) : "";
  seen.reservedNull =
      info->reservedSourceSpaceInfo == nullptr && info->reservedResultSpaceInfo == nullptr && info->reserved == nullptr;
  // A host that checks the version tag refuses a record of another size.
  if (info->infoSize != static_cast<int32_t>(sizeof(ColorServicesInfo))) return -50;
  if (answer != 0) return answer;
  for (int i = 0; i < 3; ++i) info->colorComponents[i] = answerComponents[i];
  return 0;
}

class HostColorPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen = SeenRequest{};
    answer = 0;
    record_ = FormatRecord{};
    record_.colorServices = FakeColorServices;
    HostCall.format = &record_;
  }
  void TearDown() override { HostCall.format = nullptr; }
  FormatRecord record_{};
};

TEST_F(HostColorPickerTest, AsksForAnRgbChoiceWithThePromptAndTakesTheLowBytes) {
  answerComponents[0] = 0x12;
  answerComponents[1] = 0x134;  // only the low byte counts
  answerComponents[2] = 0xFE;
  uint32_t picked = 0;
  EXPECT_EQ(PickColorThroughHost(0x00332211, &picked), ColorPick::kPicked);
  EXPECT_EQ(picked, 0x00FE3412u);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.infoSize, sizeof(void*) == 8 ? 56 : 36);
  EXPECT_EQ(seen.selector, 0);
  EXPECT_EQ(seen.sourceSpace, 0);
  EXPECT_EQ(seen.resultSpace, 0);
  EXPECT_EQ(seen.components[0], 0x11);
  EXPECT_EQ(seen.components[1], 0x22);
  EXPECT_EQ(seen.components[2], 0x33);
  EXPECT_EQ(seen.components[3], 255);
  EXPECT_EQ(seen.prompt, "Select a Color");
  EXPECT_TRUE(seen.reservedNull);
}

TEST_F(HostColorPickerTest, AnErrorAnswerLeavesTheColourAlone) {
  answer = -128;
  uint32_t picked = 0xABCDEF;
  EXPECT_EQ(PickColorThroughHost(0x00102030, &picked), ColorPick::kUnchanged);
  EXPECT_EQ(picked, 0xABCDEFu);
  EXPECT_EQ(seen.calls, 1);
}

TEST_F(HostColorPickerTest, WithoutColourServicesThePickerIsUnavailable) {
  record_.colorServices = nullptr;
  uint32_t picked = 7;
  EXPECT_EQ(PickColorThroughHost(0, &picked), ColorPick::kUnavailable);
  EXPECT_EQ(picked, 7u);
  HostCall.format = nullptr;
  EXPECT_EQ(PickColorThroughHost(0, &picked), ColorPick::kUnavailable);
  EXPECT_EQ(seen.calls, 0);
}

}  // namespace
