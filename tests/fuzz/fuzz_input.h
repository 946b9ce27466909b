// FuzzInput: reads a fuzz input as a stream of decisions. Every read
// succeeds; an exhausted input reads as zeros, so any byte string is a
// valid input and short inputs explore the simple paths first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

  bool Empty() const { return position >= size; }
  size_t Remaining() const { return Empty() ? 0 : size - position; }

  uint8_t Byte() { return Empty() ? 0 : data[position++]; }
  bool Bool() { return (Byte() & 1) != 0; }

  // A trivially copyable value from the next sizeof(T) bytes, little-endian.
  template <typename T>
  T Take() {
    static_assert(std::is_trivially_copyable<T>::value, "plain values only");
    unsigned char bytes[sizeof(T)] = {};
    for (auto& byte : bytes) byte = Byte();
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
  }

  // A value in [low, high], from as few bytes as the range needs.
  int64_t InRange(int64_t low, int64_t high) {
    if (high <= low) return low;
    uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low);
    uint64_t value = 0;
    for (uint64_t left = span; left != 0; left >>= 8) value = (value << 8) | Byte();
    if (span != UINT64_MAX) value %= span + 1;
    return static_cast<int64_t>(static_cast<uint64_t>(low) + value);
  }

  // Up to maxLength bytes, the length in front of them.
  std::string Bytes(size_t maxLength) {
    size_t length = static_cast<size_t>(InRange(0, static_cast<int64_t>(maxLength)));
    return Raw(length);
  }

  // Everything that is left.
  std::string Rest() { return Raw(Remaining()); }

  // The next length bytes, fewer when the input ends first.
  std::string Raw(size_t length) {
    if (length > Remaining()) length = Remaining();
    std::string bytes(reinterpret_cast<const char*>(data + position), length);
    position += length;
    return bytes;
  }

 private:
  const uint8_t* data;
  size_t size;
  size_t position = 0;
};

// FuzzOutput: writes the bytes that make FuzzInput read the given decisions,
// for seed inputs.
class FuzzOutput {
 public:
  FuzzOutput& Byte(uint8_t value) {
    bytes += static_cast<char>(value);
    return *this;
  }
  FuzzOutput& Bool(bool value) { return Byte(value ? 1 : 0); }

  template <typename T>
  FuzzOutput& Put(T value) {
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof raw);
    for (unsigned char byte : raw) Byte(byte);
    return *this;
  }

  FuzzOutput& InRange(int64_t low, int64_t high, int64_t value) {
    if (high <= low) return *this;
    uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low);
    uint64_t offset = static_cast<uint64_t>(value) - static_cast<uint64_t>(low);
    int count = 0;
    for (uint64_t left = span; left != 0; left >>= 8) ++count;
    for (int i = count - 1; i >= 0; --i) Byte(static_cast<uint8_t>(offset >> (8 * i)));
    return *this;
  }

  FuzzOutput& Bytes(size_t maxLength, const std::string& value) {
    InRange(0, static_cast<int64_t>(maxLength), static_cast<int64_t>(value.size()));
    bytes += value;
    return *this;
  }

  FuzzOutput& Raw(const std::string& value) {
    bytes += value;
    return *this;
  }

  std::string bytes;
};
