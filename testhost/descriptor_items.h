#pragma once
// Scripting parameters as the test host keeps them: integer items in a descriptor handle, and the read and
// write tokens a plug-in works through.
#include <cstdint>
#include <vector>

#include "host/host_abi.h"

struct DescriptorItem {
  DescriptorKeyID key = 0;
  int32_t value = 0;
};
using DescriptorItems = std::vector<DescriptorItem>;

// The bytes a descriptor handle carries: per item its key, then its value, 4 bytes each in machine order.
std::vector<char> EncodeDescriptor(const DescriptorItems& items);
// Whole items only; a trailing partial item is ignored.
DescriptorItems DecodeDescriptor(const std::vector<char>& bytes);

// A read token: yields the items in order, each as type 'long', and zeroes each delivered key in the
// plug-in's key list (whose length is fixed at open, by its zero terminator).
class DescriptorReader {
 public:
  DescriptorReader(DescriptorItems items, DescriptorKeyID* keys);
  // False when no items are left.
  bool NextKey(DescriptorKeyID* key, DescriptorTypeID* type, int32_t* flags);
  OSErr GetInteger(int32_t* value);
  // Clamped into min..max; kCoercedParamErr when clamped.
  OSErr GetPinnedInteger(int32_t min, int32_t max, int32_t* value);
  // Any getter but the integer ones: the items are all integers.
  OSErr WrongType();
  // The most serious error seen (errors are sticky); 0 when every get succeeded.
  OSErr Error() const { return error_; }
  // The entries of the plug-in's key list that were never delivered.
  std::vector<DescriptorKeyID> UndeliveredKeys() const;

 private:
  OSErr Note(OSErr error);
  DescriptorItems items_;
  size_t next_ = 0;
  const DescriptorItem* current_ = nullptr;
  DescriptorKeyID* keys_;
  size_t keyCount_ = 0;
  OSErr error_ = kNoErr;
};

// A write token: records every integer put, in order.
class DescriptorWriter {
 public:
  void PutInteger(DescriptorKeyID key, int32_t value) { items_.push_back({key, value}); }
  const DescriptorItems& Items() const { return items_; }

 private:
  DescriptorItems items_;
};
