#include "testhost/descriptor_items.h"

#include <algorithm>
#include <cstring>
#include <utility>

std::vector<char> EncodeDescriptor(const DescriptorItems& items) {
  std::vector<char> bytes(items.size() * 8);
  for (size_t i = 0; i < items.size(); ++i) {
    std::memcpy(&bytes[i * 8], &items[i].key, 4);
    std::memcpy(&bytes[i * 8 + 4], &items[i].value, 4);
  }
  return bytes;
}

DescriptorItems DecodeDescriptor(const std::vector<char>& bytes) {
  DescriptorItems items(bytes.size() / 8);
  for (size_t i = 0; i < items.size(); ++i) {
    std::memcpy(&items[i].key, &bytes[i * 8], 4);
    std::memcpy(&items[i].value, &bytes[i * 8 + 4], 4);
  }
  return items;
}

DescriptorReader::DescriptorReader(DescriptorItems items, DescriptorKeyID* keys)
    : items_(std::move(items)), keys_(keys) {
  while (keys_ != nullptr && keys_[keyCount_] != 0) ++keyCount_;
}

bool DescriptorReader::NextKey(DescriptorKeyID* key, DescriptorTypeID* type, int32_t* flags) {
  if (next_ >= items_.size()) {
    current_ = nullptr;
    return false;
  }
  current_ = &items_[next_++];
  if (key != nullptr) *key = current_->key;
  if (type != nullptr) *type = kDescriptorTypeInteger;
  if (flags != nullptr) *flags = 0;
  for (size_t i = 0; i < keyCount_; ++i) {
    if (keys_[i] == current_->key) {
      keys_[i] = 0;
      break;
    }
  }
  return true;
}

OSErr DescriptorReader::GetInteger(int32_t* value) {
  if (current_ == nullptr || value == nullptr) return Note(kParamErr);
  *value = current_->value;
  return kNoErr;
}

OSErr DescriptorReader::GetPinnedInteger(int32_t min, int32_t max, int32_t* value) {
  if (current_ == nullptr || value == nullptr || min > max) return Note(kParamErr);
  *value = std::clamp(current_->value, min, max);
  return *value == current_->value ? kNoErr : Note(kCoercedParamErr);
}

OSErr DescriptorReader::WrongType() { return Note(kParamErr); }

std::vector<DescriptorKeyID> DescriptorReader::UndeliveredKeys() const {
  std::vector<DescriptorKeyID> left;
  for (size_t i = 0; i < keyCount_; ++i) {
    if (keys_[i] != 0) left.push_back(keys_[i]);
  }
  return left;
}

OSErr DescriptorReader::Note(OSErr error) {
  // Errors are negative, coercions positive: any error outranks a coercion.
  if (error_ == kNoErr || (error < 0 && error_ > 0)) error_ = error;
  return error;
}
