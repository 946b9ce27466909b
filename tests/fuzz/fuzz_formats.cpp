// Format words from libsndfile's enumeration.
#include "tests/fuzz/fuzz_formats.h"

#include <sndfile.h>

#include "binding/sndfile_api.h"
#include "tests/fuzz/fuzz_plugin.h"

namespace {

SndfileFormats Enumerate() {
  StartPlugin();
  SndfileFormats formats;
  int count = 0;
  SndfileApi.sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    if (SndfileApi.sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0)
      formats.majors.push_back(info.format);
  }
  SndfileApi.sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    if (SndfileApi.sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &info, sizeof info) == 0)
      formats.subtypes.push_back(info.format);
  }
  for (int32_t major : formats.majors)
    for (int32_t subtype : formats.subtypes)
      if (FormatPasses(major | subtype, 1)) formats.writable.push_back(major | subtype);
  return formats;
}

}  // namespace

const SndfileFormats& Formats() {
  static const SndfileFormats formats = Enumerate();
  return formats;
}

int32_t ChooseFormatWord(FuzzInput& in) {
  const SndfileFormats& formats = Formats();
  int choice = static_cast<int>(in.InRange(0, 7));
  if (choice == 0 || formats.writable.empty()) return in.Take<int32_t>();
  int32_t byteOrder = static_cast<int32_t>(in.InRange(0, 3)) << 28;
  if (choice > 2)
    return formats.writable[static_cast<size_t>(in.InRange(0, static_cast<int64_t>(formats.writable.size()) - 1))] |
           byteOrder;
  int32_t major = formats.majors[static_cast<size_t>(in.InRange(0, static_cast<int64_t>(formats.majors.size()) - 1))];
  int32_t subtype =
      formats.subtypes[static_cast<size_t>(in.InRange(0, static_cast<int64_t>(formats.subtypes.size()) - 1))];
  return major | subtype | byteOrder;
}

bool FormatPasses(int32_t formatWord, int channels) {
  SF_INFO info{};
  info.format = formatWord;
  info.channels = channels;
  info.samplerate = 44100;
  return SndfileApi.sf_format_check(&info) != 0;
}
