// Turning command-line choices into a configuration block by acting on the
// panel as a user would: pick the format, the encoding and the byte order
// from the panel's own lists, move the slider, then ask for the block. So a
// command offers exactly what the panel offers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "abi/host_interface.h"
#include "host/panel_driver.h"

namespace pexo_host {

struct ConfigRequest {
  std::string format;     // extension or format name; empty: keep the panel's
  std::string encoding;   // encoding name; empty: keep the panel's
  std::string byteOrder;  // "default", "little", "big"; empty: keep
  bool haveQuality = false;
  double quality = 0.0;   // 0.0 to 1.0
};

// A format entry's parts: ".ext  ( name )".
struct FormatEntry {
  std::string extension;
  std::string name;
  std::string key;  // what --format takes for it: the extension, or for a
                    // later format of a taken extension a word of its name
  int32_t formatWord = 0;
};
std::vector<FormatEntry> FormatEntries(const PanelDriver& panel);

// "default", "little" or "big" for a byte-order entry's format word.
const char* ByteOrderKey(int32_t formatWord);

// Names compare without regard to case, spaces, dashes and underscores.
bool SameEncodingName(const std::string& a, const std::string& b);

// Index of the format entry the text names, or -1.
int FindFormat(const std::vector<FormatEntry>& formats, const std::string& text);

// The format an output's extension names, from the panel's extensions and
// keys and the common aliases (aif, aifc, snd, wave, opus, mp3, ...); some
// name an encoding too (opus: Opus). False when the extension names none.
struct InferredFormat {
  std::string format;    // for ConfigRequest::format
  std::string encoding;  // "" when the extension names no encoding
};
bool FormatForExtension(const std::vector<FormatEntry>& formats, const std::string& extension,
                        InferredFormat* inferred);
// Every extension FormatForExtension knows, for messages.
std::vector<std::string> KnownExtensions(const std::vector<FormatEntry>& formats);

// Applies the request. False with a message that lists the valid choices
// when the panel offers no such entry. A new format without an encoding
// keeps the encoding of the same name when it offers one, else the panel
// gives its first.
bool ApplyRequest(PanelDriver& panel, const ConfigRequest& request, std::string* error);

// What the panel shows now, for messages: "FLAC, Signed 16 bit PCM".
std::string DescribeChoice(const PanelDriver& panel);

// The block the panel answers, checked: false with a reason when the panel
// has no complete choice (an empty byte-order list, for one).
bool QueryBlock(const PanelDriver& panel, std::vector<unsigned char>* block, std::string* error);

// Format words the loaded libsndfile lists, and passes its format check,
// but cannot write: it encodes MPEG audio as Layer III only, and only in
// its own container (not in WAV). SD2 is refused as well: libsndfile writes
// its resource fork as a separate "._NAME" file that would not follow the
// output's name.
bool CannotWrite(int32_t formatWord);
// Why, for messages: "libsndfile cannot write MPEG Layer I".
std::string WhyCannotWrite(int32_t formatWord);

// What the quality value does for the encoding of a format word, one line:
// libsndfile turns it into a compression level of 1 - quality, so for FLAC
// it works backwards (1.0 is the fastest and largest file, 0.0 the smallest).
const char* QualityMeaning(int32_t formatWord);

// What a write needs of the panel's choice.
struct WriterSettings {
  std::vector<unsigned char> block;
  std::string choice;     // DescribeChoice, for messages
  std::string extension;  // the writer's extension for the block
};
// The panel's current choice: the checked block, its description and the
// extension the writer gives it. False with a reason, as QueryBlock.
bool ReadSettings(const PanelDriver& panel, const SinkRegistration* sink, WriterSettings* settings,
                  std::string* error);

}  // namespace pexo_host
