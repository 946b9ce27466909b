// SampleBits for every kind of encoding: the sample width where the encoding
// names one (PCM, float, ALAC, DWVW, DPCM), 16 for the others; over short
// files that libsndfile writes.
#include <cmath>

#include "tests/decoder/decoder_test.h"

namespace {

struct BitsCase {
  const char* name;
  int format;
  int bits;
};
void PrintTo(const BitsCase& c, std::ostream* out) { *out << c.name; }

const BitsCase kBitsCases[] = {
    {"wav_pcm_u8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8},
    {"aiff_pcm_s8", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 8},
    {"wav_pcm_16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 16},
    {"wav_pcm_24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 24},
    {"wav_pcm_32", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 32},
    {"wav_float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 32},
    {"wav_double", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 64},
    {"caf_alac_16", SF_FORMAT_CAF | SF_FORMAT_ALAC_16, 16},
    {"caf_alac_20", SF_FORMAT_CAF | SF_FORMAT_ALAC_20, 20},
    {"caf_alac_24", SF_FORMAT_CAF | SF_FORMAT_ALAC_24, 24},
    {"caf_alac_32", SF_FORMAT_CAF | SF_FORMAT_ALAC_32, 32},
    // libsndfile 1.2.0 writes no samples in DWVW 12 (it takes none), but
    // the file it leaves opens with that encoding.
    {"aiff_dwvw_12", SF_FORMAT_AIFF | SF_FORMAT_DWVW_12, 12},
    {"aiff_dwvw_16", SF_FORMAT_AIFF | SF_FORMAT_DWVW_16, 16},
    {"aiff_dwvw_24", SF_FORMAT_AIFF | SF_FORMAT_DWVW_24, 24},
    {"xi_dpcm_8", SF_FORMAT_XI | SF_FORMAT_DPCM_8, 8},
    {"xi_dpcm_16", SF_FORMAT_XI | SF_FORMAT_DPCM_16, 16},
    {"flac_pcm_24", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 24},
    // No sample width of their own: 16.
    {"wav_ulaw", SF_FORMAT_WAV | SF_FORMAT_ULAW, 16},
    {"wav_alaw", SF_FORMAT_WAV | SF_FORMAT_ALAW, 16},
    {"wav_ima_adpcm", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 16},
    {"wav_ms_adpcm", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 16},
    {"wav_gsm610", SF_FORMAT_WAV | SF_FORMAT_GSM610, 16},
    {"au_g721_32", SF_FORMAT_AU | SF_FORMAT_G721_32, 16},
    {"ogg_vorbis", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 16},
    {"ogg_opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 16},
    {"mpeg_layer_iii", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 16},
};

class EncodingBits : public DecoderTest, public testing::WithParamInterface<BitsCase> {};

TEST_P(EncodingBits, SampleBitsIsTheEncodingsWidth) {
  const BitsCase& c = GetParam();
  std::string path = fixtures::ScratchPath(std::string("bits_") + c.name);
  SF_INFO info{};
  info.samplerate = 8000;  // a rate every encoding here takes (GSM 6.10 only this)
  info.channels = 1;       // XI holds mono only
  info.format = c.format;
  SNDFILE* handle = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(handle, nullptr) << sf_strerror(nullptr);
  std::vector<double> samples(2000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.7 * std::sin(static_cast<double>(i) * 0.05);
  sf_writef_double(handle, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(handle);

  PEXO_SimpleMediaDecoder decoder;
  decoder.OpenFile(path.c_str());
  ASSERT_TRUE(decoder.IsReady());
  EXPECT_EQ(decoder.SampleBits(), c.bits);
}

INSTANTIATE_TEST_SUITE_P(, EncodingBits, testing::ValuesIn(kBitsCases),
                         [](const testing::TestParamInfo<BitsCase>& info) { return info.param.name; });

}  // namespace
