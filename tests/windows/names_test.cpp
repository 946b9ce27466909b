// Names in any script on Windows: the host passes UTF-8, and the plug-in
// must write, read and find its stored defaults under names that the ANSI
// calls cannot express (mixed scripts, characters outside the BMP), in
// folders named the same way. Checked against the file system's own
// UTF-16 calls and against libsndfile's wide open.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "abi/sink_config.h"
#include "platform/win32.h"
#include "tests/common/plugin_library.h"
#include "tests/common/process_id.h"
#include "tests/common/test_host.h"

namespace {

std::wstring Wide(const std::string& utf8) {
  int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, nullptr, 0);
  if (units <= 0) return L"";
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, wide.data(), units);
  wide.resize(static_cast<size_t>(units) - 1);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(bytes) - 1);
  return utf8;
}

bool Exists(const std::string& utf8) { return GetFileAttributesW(Wide(utf8).c_str()) != INVALID_FILE_ATTRIBUTES; }

struct NameCase {
  const char* folder;  // UTF-8
  const char* file;
  int32_t formatWord;
};

// Latin with sharp s, CJK, Greek, Hangul, Cyrillic, Hebrew, Arabic, and a
// character outside the BMP (a surrogate pair in UTF-16).
const NameCase kNameCases[] = {
    {"plain", "ascii name.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    {"plain", "Gru\xC3\x9F-\xE6\x97\xA5\xE6\x9C\xAC.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
    {"\xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0-\xE7\x9B\xAE\xE5\xBD\x95",
     "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC-\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4.flac",
     SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    {"\xD7\xA2\xD7\x91\xD7\xA8\xD7\x99\xD7\xAA", "\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A-\xF0\x9F\x8E\xB5.caf",
     SF_FORMAT_CAF | SF_FORMAT_FLOAT},
    {"\xF0\x9F\x8E\xB5 music", "\xD0\x9A\xD0\xB8\xD1\x80\xD0\xB8\xD0\xBB\xD0\xBB\xD0\xB8\xD1\x86\xD0\xB0.ogg",
     SF_FORMAT_OGG | SF_FORMAT_VORBIS},
};

constexpr int kRate = 44100;
constexpr int kFrames = 4410;

class WindowsNames : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library = test_host::LoadPlugin("sarnic_pexo.dll");
    entry = test_host::PluginEntry(library);
  }
  void SetUp() override {
    ASSERT_NE(entry, nullptr) << test_host::LoadError();
    test_host::Reset();
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    root = Utf8(temp) + "pexo-names-" + std::to_string(test_host::ProcessId());
    ASSERT_TRUE(CreateDirectoryW(Wide(root).c_str(), nullptr));
    test_host::IniPath() = root + "\\none.ini";
    PluginHostInfo info = test_host::HostInfo();
    ASSERT_EQ(entry(static_cast<HINSTANCE>(library), &info), 1);
    for (const auto& registration : test_host::Recorded().registrations) {
      if (registration.first == "pcmsrc") source = static_cast<SourceRegistration*>(registration.second);
      if (registration.first == "pcmsink") sink = static_cast<SinkRegistration*>(registration.second);
    }
    ASSERT_NE(source, nullptr);
    ASSERT_NE(sink, nullptr);
  }
  void TearDown() override {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
      if (!DeleteFileW(Wide(*it).c_str())) RemoveDirectoryW(Wide(*it).c_str());
    }
    RemoveDirectoryW(Wide(root).c_str());
  }

  std::string Folder(const char* name) {
    std::string path = root + "\\" + name;
    if (!Exists(path)) {
      CreateDirectoryW(Wide(path).c_str(), nullptr);
      made.push_back(path);
    }
    return path;
  }

  static std::vector<unsigned char> Block(int32_t formatWord, float quality) {
    std::vector<unsigned char> block(kSinkConfigBlockSize, 0);
    std::memcpy(block.data(), &kSinkTypeTag, 4);
    std::memcpy(block.data() + 4, &formatWord, 4);
    std::memcpy(block.data() + 8, &quality, 4);
    return block;
  }

  static void* library;
  static SarnicPluginEntryFn entry;
  SourceRegistration* source = nullptr;
  SinkRegistration* sink = nullptr;
  std::string root;
  std::vector<std::string> made;
};
void* WindowsNames::library = nullptr;
SarnicPluginEntryFn WindowsNames::entry = nullptr;

// The premise of these tests: the 8-bit calls cannot name these files. A
// system whose ANSI code page is UTF-8 would let a plug-in that never
// converts pass them all.
TEST(WindowsCodePage, TheAnsiCodePageIsNotUtf8) { EXPECT_NE(GetACP(), static_cast<UINT>(CP_UTF8)); }

TEST_F(WindowsNames, FilesNamedInAnyScriptAreWrittenAndReadUnderThatName) {
  std::vector<double> samples(kFrames);
  for (int i = 0; i < kFrames; ++i) samples[static_cast<size_t>(i)] = 0.5 * std::sin(0.05 * i);
  for (const NameCase& name : kNameCases) {
    std::string path = Folder(name.folder) + "\\" + name.file;
    SCOPED_TRACE(path);
    auto block = Block(name.formatWord, 0.7f);
    PCM_sink* writer = sink->makeSink(path.c_str(), block.data(), kSinkConfigBlockSize, 1, kRate, false);
    ASSERT_NE(writer, nullptr);
    made.push_back(path);
    EXPECT_EQ(std::string(writer->GetOutputFileName()), path);
    double* channels[] = {samples.data()};
    EXPECT_EQ(writer->WriteBlock(channels, kFrames, 1, 0, 0), kFrames);
    DestroyThroughTable(writer);
    ASSERT_TRUE(Exists(path)) << "no file under the UTF-16 form of the name";

    // libsndfile's own wide open sees what the plug-in wrote.
    SF_INFO info{};
    SNDFILE* direct = sf_wchar_open(Wide(path).c_str(), SFM_READ, &info);
    ASSERT_NE(direct, nullptr);
    std::vector<double> expected(kFrames);
    EXPECT_EQ(sf_readf_double(direct, expected.data(), kFrames), kFrames);
    sf_close(direct);

    HostSource* opened = source->makeFromFile(path.c_str(), 7);
    ASSERT_NE(opened, nullptr);
    ISimpleMediaDecoder* decoder = test_host::DecoderOf(opened);
    EXPECT_EQ(std::string(decoder->FileName()), path);
    EXPECT_EQ(decoder->LengthFrames(), kFrames);
    std::vector<double> read(kFrames);
    EXPECT_EQ(decoder->ReadFrames(read.data(), kFrames), kFrames);
    EXPECT_EQ(read, expected);
    DestroyThroughTable(opened);
  }
  EXPECT_EQ(test_host::Recorded().sourcesAlive, 0);
}

TEST_F(WindowsNames, AMissingFileInAnyScriptIsNotReadyAndCreatesNothing) {
  for (const NameCase& name : kNameCases) {
    std::string path = Folder(name.folder) + "\\missing-" + name.file;
    SCOPED_TRACE(path);
    EXPECT_EQ(source->makeFromFile(path.c_str(), 7), nullptr);
    EXPECT_FALSE(Exists(path));
  }
}

// The host's ini in folders and files named in several scripts, written by
// kernel32's own wide profile functions; the panel opened from a tag-only
// block starts with the stored defaults when the plug-in finds the file.
struct IniCase {
  const char* folder;
  const char* file;
};
const IniCase kIniCases[] = {
    {"plain", "host.ini"},
    {"\xE8\xA8\xAD\xE5\xAE\x9A-\xC3\x9F", "h\xC3\xB4st \xD0\xBA\xD0\xBE\xD0\xBD\xD1\x84\xD0\xB8\xD0\xB3.ini"},
    {"\xD7\xA2\xD7\x91\xD7\xA8\xD7\x99\xD7\xAA", "\xF0\x9F\x8E\xB5-\xE6\x97\xA5\xE6\x9C\xAC.ini"},
};

struct Chosen {
  int32_t formatWord;
  float quality;
};

Chosen QueryPanel(SinkRegistration* sink, HWND parent) {
  const uint32_t tagOnly = kSinkTypeTag;
  HWND panel = sink->openConfigPanel(&tagOnly, 4, parent);
  Chosen chosen{-1, -1.0f};
  if (panel == nullptr) return chosen;
  unsigned char block[kSinkConfigBlockSize] = {};
  int size = 0;
  SendMessageA(panel, kConfigQuery, reinterpret_cast<WPARAM>(&size), reinterpret_cast<LPARAM>(block));
  std::memcpy(&chosen.formatWord, block + 4, 4);
  std::memcpy(&chosen.quality, block + 8, 4);
  DestroyWindow(panel);
  return chosen;
}

TEST_F(WindowsNames, StoredDefaultsAreFoundInAnIniNamedInAnyScript) {
  HWND parent = CreateWindowExA(0, "STATIC", "host", 0, 0, 0, 600, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  const Chosen builtIn = QueryPanel(sink, parent);  // none.ini does not exist
  const int32_t stored = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  ASSERT_NE(builtIn.formatWord, stored);
  for (const IniCase& ini : kIniCases) {
    std::string path = Folder(ini.folder) + "\\" + ini.file;
    SCOPED_TRACE(path);
    std::wstring widePath = Wide(path);
    auto block = Block(stored, 0.8f);
    std::wstring section = Wide(kSinkDefaultsSection);
    ASSERT_TRUE(WritePrivateProfileStringW(section.c_str(), Wide(kSinkDefaultsSizeKey).c_str(), L"32",
                                           widePath.c_str()));
    ASSERT_TRUE(WritePrivateProfileStructW(section.c_str(), Wide(kSinkDefaultsBlockKey).c_str(), block.data(),
                                           kSinkConfigBlockSize, widePath.c_str()));
    made.push_back(path);
    test_host::IniPath() = path;
    Chosen chosen = QueryPanel(sink, parent);
    EXPECT_EQ(chosen.formatWord, stored);
    EXPECT_FLOAT_EQ(chosen.quality, 0.8f);
  }
  DestroyWindow(parent);
}

}  // namespace
