// The ini reader (GetPrivateProfileIntA, GetPrivateProfileStructA) on
// arbitrary file contents, sections, keys and sizes, and on generated files
// whose values it must read back exactly.
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>

#include "platform/win32.h"
#include "tests/common/stored_defaults.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_files.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_targets.h"

namespace fuzz_ini_reader {
namespace {

using test_ini::StructForm;

// A name the reader must find as written: letters, digits, inner spaces.
std::string PlainName(FuzzInput& in, const char* fallback) {
  std::string name;
  for (char c : in.Bytes(24))
    if (std::isalnum(static_cast<unsigned char>(c)) || (c == ' ' && !name.empty())) name += c;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name.empty() ? fallback : name;
}

// Reads a struct of size bytes into storage of exactly that size.
bool ReadStruct(const std::string& section, const std::string& key, UINT size, const std::string& path,
                std::string* bytes) {
  std::unique_ptr<unsigned char[]> data(new unsigned char[size]);
  BOOL found = GetPrivateProfileStructA(section.c_str(), key.c_str(), data.get(), size, path.c_str());
  if (found && bytes != nullptr) bytes->assign(reinterpret_cast<char*>(data.get()), size);
  return found != 0;
}

// Anything at all: the reader answers and touches nothing beyond the sizes.
void Arbitrary(FuzzInput& in, const std::string& path) {
  std::string section = in.Bytes(40);
  std::string key = in.Bytes(40);
  int defaultValue = in.Take<int>();
  UINT size = static_cast<UINT>(in.Bool() ? in.InRange(0, 64) : in.InRange(0, 70000));
  WriteScratchFile(path, in.Rest());
  GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path.c_str());
  ReadStruct(section, key, size, path, nullptr);
}

// A file holding one known integer and one known struct among other lines.
void Generated(FuzzInput& in, const std::string& path) {
  std::string section = PlainName(in, "libsndfile sink defaults");
  std::string key = PlainName(in, "default");
  std::string numberKey = PlainName(in, "default_size");
  if (strcasecmp(numberKey.c_str(), key.c_str()) == 0) numberKey += "n";  // names match in any case
  int number = static_cast<int>(in.InRange(0, INT_MAX));
  std::string block = in.Bytes(80);
  std::string newline = in.Bool() ? "\r\n" : "\n";
  // Lines of another section before ours, which must not be read.
  std::string other = "[" + section + "x]" + newline + key + "=" + StructForm(in.Bytes(8)) + newline +
                      numberKey + "=" + std::to_string(in.InRange(0, 1000)) + newline;
  WriteScratchFile(path, other + "[" + section + "]" + newline + numberKey + "=" + std::to_string(number) +
                             newline + key + "=" + StructForm(block) + newline);

  FUZZ_CHECK(GetPrivateProfileIntA(section.c_str(), numberKey.c_str(), -7, path.c_str()) ==
             static_cast<UINT>(number));
  std::string read;
  FUZZ_CHECK(ReadStruct(section, key, static_cast<UINT>(block.size()), path, &read));
  FUZZ_CHECK(read == block);
  // Any other size is a mismatch of the digit count.
  UINT wrongSize = static_cast<UINT>(in.InRange(0, 100));
  if (wrongSize != block.size()) FUZZ_CHECK(!ReadStruct(section, key, wrongSize, path, nullptr));
  // A key that is not there gives the default.
  FUZZ_CHECK(GetPrivateProfileIntA(section.c_str(), (key + numberKey).c_str(), -7, path.c_str()) ==
             static_cast<UINT>(-7));
  FUZZ_CHECK(!ReadStruct(section, key + numberKey, static_cast<UINT>(block.size()), path, nullptr));
}

// No readable file: the default, and no struct.
void Unreadable(FuzzInput& in, const std::string& path) {
  std::string target = in.Bool() ? ScratchDirectory() : path + ".missing";
  int defaultValue = in.Take<int>();
  FUZZ_CHECK(GetPrivateProfileIntA("section", "key", defaultValue, target.c_str()) ==
             static_cast<UINT>(defaultValue));
  FUZZ_CHECK(!ReadStruct("section", "key", static_cast<UINT>(in.InRange(0, 40)), target, nullptr));
}

}  // namespace

int FuzzOne(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  static const std::string path = ScratchPath("host.ini");
  switch (in.InRange(0, 3)) {
    case 0: Generated(in, path); break;
    case 1: Unreadable(in, path); break;
    default: Arbitrary(in, path); break;
  }
  std::remove(path.c_str());
  return 0;
}

}  // namespace fuzz_ini_reader

PEXO_FUZZ_TARGET("ini_reader", fuzz_ini_reader::FuzzOne);
