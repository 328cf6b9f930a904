// Run-time companion to the layout checks in host_abi.h: place values at the byte offsets the host uses
// and read them back through our FormatRecord, the way the host's bytes reach us.
#include "host/host_abi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr bool kX86 = sizeof(void*) == 4;

// Copies a host-style byte image of the record into a FormatRecord.
FormatRecord FromBytes(const std::vector<unsigned char>& bytes) {
  FormatRecord record{};
  std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

template <typename T>
void Put(std::vector<unsigned char>& bytes, size_t offset, const T& value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

OSErr FakeAdvanceState() { return kUserCanceledErr; }

TEST(HostAbi, FourCharCodePutsFirstCharacterInTheTopByte) {
  EXPECT_EQ(FourCharCode("8BIM"), 0x3842494Du);
  EXPECT_EQ(FourCharCode("Left"), 0x4C656674u);
  EXPECT_EQ(kHostSignature, 0x3842494Du);
}

TEST(HostAbi, HostSigIsReadFromTheHostOffset) {
  std::vector<unsigned char> bytes(sizeof(FormatRecord), 0);
  Put(bytes, kX86 ? 896 : 920, FourCC{0x3842494D});
  const FormatRecord record = FromBytes(bytes);
  EXPECT_EQ(record.hostSig, kHostSignature);
  EXPECT_EQ(record.needTranspose, 0);  // the neighbours must not overlap the signature
  EXPECT_EQ(record.hostProc, nullptr);
}

TEST(HostAbi, AdvanceStateIsCalledThroughTheHostOffset) {
  std::vector<unsigned char> bytes(sizeof(FormatRecord), 0);
  Put(bytes, kX86 ? 1000 : 1072, &FakeAdvanceState);
  const FormatRecord record = FromBytes(bytes);
  ASSERT_EQ(record.advanceState, &FakeAdvanceState);
  EXPECT_EQ(record.advanceState(), kUserCanceledErr);
  EXPECT_EQ(record.colorServices, nullptr);
}

TEST(HostAbi, FileSpec2PathIsReachedThroughTheHostOffset) {
  uint16_t path[] = {'C', ':', '\\', 'a', '.', 'p', 'n', 'g', 0};
  SPPlatformFileSpecificationW destination{path};
  std::vector<unsigned char> bytes(sizeof(FormatRecord), 0);
  Put(bytes, kX86 ? 1184 : 1312, &destination);
  const FormatRecord record = FromBytes(bytes);
  ASSERT_EQ(record.fileSpec2, &destination);
  EXPECT_EQ(record.fileSpec2->mReference[3], 'a');
  EXPECT_EQ(record.layerData, 0u);
}

}  // namespace
