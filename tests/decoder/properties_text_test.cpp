// PropertiesText: bounded copies of the title and the text, the error text,
// and the seven lines of an opened file.
#include <cstring>

#include "binding/host_api.h"
#include "tests/common/sndfile_recorder.h"
#include "tests/decoder/decoder_test.h"

namespace {

const std::string kTitle = "libsndfile supported File Properties";
const std::string kErrorText = "Error: File not has been opened succesfully";
constexpr char kUntouched = '\x5A';

// A buffer of 128 bytes all kUntouched, so that bytes written show.
struct Buffer {
  Buffer() { std::memset(bytes, kUntouched, sizeof bytes); }
  // The first size bytes, as written, then whether the rest is untouched.
  std::string Head(int size) const { return std::string(bytes, static_cast<size_t>(size)); }
  bool UntouchedFrom(int offset) const {
    for (size_t i = static_cast<size_t>(offset); i < sizeof bytes; ++i) {
      if (bytes[i] != kUntouched) return false;
    }
    return true;
  }
  char bytes[128];
};

// The first size bytes of a bounded copy of text.
std::string Bounded(const std::string& text, int size) {
  std::string result = text.substr(0, static_cast<size_t>(size));
  result.resize(static_cast<size_t>(size), '\0');
  return result;
}

class TitleSizes : public DecoderTest, public testing::WithParamInterface<int> {};

TEST_P(TitleSizes, TitleIsCopiedWithinItsSize) {
  const int size = GetParam();
  for (bool open : {false, true}) {
    SCOPED_TRACE(open ? "open" : "not open");
    PEXO_SimpleMediaDecoder decoder;
    if (open) decoder.OpenFile(fixtures::PathOf("wav_pcm16.wav").c_str());
    Buffer title;
    char text[512];
    decoder.PropertiesText(text, sizeof text, title.bytes, size);
    EXPECT_EQ(title.Head(size), Bounded(kTitle, size));
    EXPECT_TRUE(title.UntouchedFrom(size));
  }
}

// 0: untouched; 10 and 36: cut, no terminator; 37: terminated; 64: padded.
INSTANTIATE_TEST_SUITE_P(, TitleSizes, testing::Values(0, 10, 36, 37, 64));

TEST_F(DecoderTest, ErrorTextIsBoundedLikeTheTitle) {
  PEXO_SimpleMediaDecoder decoder;
  for (int size : {-1, 0, 5, 43, 44, 100}) {
    SCOPED_TRACE(size);
    Buffer text;
    char title[64];
    decoder.PropertiesText(text.bytes, size, title, sizeof title);
    int written = size > 0 ? size : 0;
    EXPECT_EQ(text.Head(written), Bounded(kErrorText, written));
    EXPECT_TRUE(text.UntouchedFrom(written));
  }
}

class OpenedProperties : public DecoderTest {
 protected:
  void SetUp() override {
    DecoderTest::SetUp();
    decoder.OpenFile(fixtures::PathOf("wav_pcm16.wav").c_str());  // 4000 frames, 44100 Hz, stereo
    ASSERT_TRUE(decoder.IsReady());
  }
  // The text with the test host's time text and the given names.
  static std::string Expected(const char* container, const char* encoding) {
    return std::string("Length: 0.091 s:\r\nSamplerate: 44100\r\nChannels: 2\r\nBits/sample: 16\r\n") +
           "Format: " + container + "\r\nEncoding: " + encoding + "\r\nlibsndfile version: " +
           sf_version_string() + "\r\n";
  }
  PEXO_SimpleMediaDecoder decoder;
};

TEST_F(OpenedProperties, SevenLines) {
  char text[1024];
  char title[64];
  decoder.PropertiesText(text, sizeof text, title, sizeof title);
  EXPECT_EQ(std::string(text), Expected("WAV (Microsoft)", "Signed 16 bit PCM"));
}

TEST_F(OpenedProperties, AsksTheHostForTheTimeOfTheLength) {
  static double seconds;
  static int bufferSize;
  HostApi.format_timestr = [](double s, char* buffer, int size) {
    seconds = s;
    bufferSize = size;
    std::snprintf(buffer, static_cast<size_t>(size), "T");
  };
  char text[1024];
  decoder.PropertiesText(text, sizeof text, nullptr, 0);
  EXPECT_EQ(seconds, 4000.0 / 44100.0);
  EXPECT_EQ(bufferSize, 128);
  EXPECT_EQ(std::strncmp(text, "Length: T:\r\n", 12), 0) << text;
}

TEST_F(OpenedProperties, TextSmallerThanItsSizeIsCut) {
  const std::string full = Expected("WAV (Microsoft)", "Signed 16 bit PCM");
  const int length = static_cast<int>(full.size());
  for (int size : {0, 1, 20, length, length + 1}) {
    SCOPED_TRACE(size);
    std::vector<char> text(static_cast<size_t>(length) + 16, kUntouched);
    char title[64];
    decoder.PropertiesText(text.data(), size, title, sizeof title);
    EXPECT_EQ(std::string(text.data(), static_cast<size_t>(size)), Bounded(full, size));
    EXPECT_EQ(text[static_cast<size_t>(size)], kUntouched);
  }
}

// When libsndfile cannot name the container or the encoding, the text
// says "unknown" in its place.
TEST_F(OpenedProperties, UnnamedFormatsShowUnknown) {
  struct Case {
    int refusedFormat;
    const char* container;
    const char* encoding;
  };
  for (Case c : {Case{SF_FORMAT_WAV, "unknown", "Signed 16 bit PCM"},
                 Case{SF_FORMAT_PCM_16, "WAV (Microsoft)", "unknown"}}) {
    SndfileRecorder spy;
    spy.commandAnswer = [&c](SNDFILE* handle, int command, void* data, int size) {
      auto* formatInfo = static_cast<SF_FORMAT_INFO*>(data);
      if (command == SFC_GET_FORMAT_INFO && formatInfo->format == c.refusedFormat) {
        formatInfo->name = "left over";  // a refused call's record is not to be read
        return 1;
      }
      return sf_command(handle, command, data, size);
    };
    char text[1024];
    decoder.PropertiesText(text, sizeof text, nullptr, 0);
    EXPECT_EQ(std::string(text), Expected(c.container, c.encoding));
  }
}

}  // namespace
