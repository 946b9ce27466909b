// ApplyRequest and the matching of names against the panel's lists.
#include "host/config_choice.h"

#include <sndfile.h>

#include <cctype>
#include <cmath>

#include "abi/sink_config.h"
#include "platform/win32.h"

namespace pexo_host {
namespace {

std::string Lower(const std::string& text) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string Compact(const std::string& text) {
  std::string compact;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) compact += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return compact;
}

std::string FirstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

struct Alias {
  const char* extension;
  const char* format;    // a key of the panel's formats
  const char* encoding;  // "" for none
};
const Alias kAliases[] = {
    {"aif", "aiff", ""},    {"aifc", "aiff", ""}, {"snd", "au", ""},          {"wave", "wav", ""},
    {"bwf", "wav", ""},     {"ogg", "oga", ""},   {"opus", "oga", "Opus"},    {"mp3", "m1a", "MPEG Layer III"},
    {"mp2", "m1a", "MPEG Layer II"},              {"sph", "nist", ""},        {"svx", "iff", ""},
    {"8svx", "iff", ""},    {"ircam", "sf", ""},
};

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

}  // namespace

std::vector<FormatEntry> FormatEntries(const PanelDriver& panel) {
  std::vector<FormatEntry> formats;
  for (const ListEntry& entry : panel.Entries(kFormatListId)) {
    FormatEntry format;
    format.formatWord = entry.formatWord;
    const std::string& text = entry.text;
    size_t open = text.find("  ( ");
    size_t start = !text.empty() && text[0] == '.' ? 1 : 0;
    if (open != std::string::npos) {
      format.extension = text.substr(start, open - start);
      std::string rest = text.substr(open + 4);
      if (rest.size() >= 2 && rest.compare(rest.size() - 2, 2, " )") == 0) rest.resize(rest.size() - 2);
      format.name = rest;
    } else {
      format.extension = text.substr(start);
      format.name = text.substr(start);
    }
    // The extension, else a word of the name that no earlier key took.
    size_t paren = format.name.find('(');
    std::vector<std::string> candidates = {Lower(format.extension), Lower(FirstWord(format.name))};
    if (paren != std::string::npos) candidates.push_back(Lower(FirstWord(format.name.substr(paren + 1))));
    candidates.push_back(Lower(format.extension) + "-" + std::to_string(formats.size()));
    for (const std::string& candidate : candidates) {
      bool taken = candidate.empty();
      for (const FormatEntry& earlier : formats) taken = taken || earlier.key == candidate;
      if (!taken) {
        format.key = candidate;
        break;
      }
    }
    formats.push_back(format);
  }
  return formats;
}

const char* ByteOrderKey(int32_t formatWord) {
  switch (formatWord & SF_FORMAT_ENDMASK) {
    case SF_ENDIAN_LITTLE:
      return "little";
    case SF_ENDIAN_BIG:
      return "big";
    case 0:
      return "default";
    default:
      return "cpu";
  }
}

bool SameEncodingName(const std::string& a, const std::string& b) { return Compact(a) == Compact(b); }

int FindFormat(const std::vector<FormatEntry>& formats, const std::string& text) {
  std::string wanted = Lower(!text.empty() && text[0] == '.' ? text.substr(1) : text);
  if (wanted.empty()) return -1;
  // The key first, so that "wav" is the first format of that extension.
  for (size_t i = 0; i < formats.size(); ++i) {
    if (formats[i].key == wanted) return static_cast<int>(i);
  }
  for (size_t i = 0; i < formats.size(); ++i) {
    if (Lower(formats[i].extension) == wanted || Lower(FirstWord(formats[i].name)) == wanted ||
        Lower(formats[i].name) == wanted) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool FormatForExtension(const std::vector<FormatEntry>& formats, const std::string& extension,
                        InferredFormat* inferred) {
  std::string wanted = Lower(extension);
  if (wanted.empty()) return false;
  for (const FormatEntry& format : formats) {
    if (format.key == wanted || Lower(format.extension) == wanted) {
      *inferred = {format.key, ""};
      return true;
    }
  }
  for (const Alias& alias : kAliases) {
    if (wanted == alias.extension && FindFormat(formats, alias.format) >= 0) {
      *inferred = {alias.format, alias.encoding};
      return true;
    }
  }
  return false;
}

std::vector<std::string> KnownExtensions(const std::vector<FormatEntry>& formats) {
  std::vector<std::string> known;
  auto add = [&known](const std::string& extension) {
    for (const std::string& seen : known) {
      if (seen == extension) return;
    }
    known.push_back(extension);
  };
  for (const FormatEntry& format : formats) {
    add(Lower(format.extension));
    add(format.key);
  }
  for (const Alias& alias : kAliases) {
    if (FindFormat(formats, alias.format) >= 0) add(alias.extension);
  }
  return known;
}

bool ApplyRequest(PanelDriver& panel, const ConfigRequest& request, std::string* error) {
  if (!request.format.empty()) {
    std::vector<FormatEntry> formats = FormatEntries(panel);
    int index = FindFormat(formats, request.format);
    if (index < 0) {
      std::vector<std::string> keys;
      for (const FormatEntry& format : formats) keys.push_back(format.key);
      *error = "no such format \"" + request.format + "\"; the formats are: " + Join(keys);
      return false;
    }
    // A user who finds the format already chosen leaves the list alone. One
    // who picks another format and says nothing of the encoding picks the
    // encoding of the same name again, when the new format offers it.
    if (panel.Selection(kFormatListId) != index) {
      std::string encoding;
      std::vector<ListEntry> encodings = panel.Entries(kEncodingListId);
      int selected = panel.Selection(kEncodingListId);
      if (selected >= 0 && static_cast<size_t>(selected) < encodings.size()) {
        encoding = encodings[static_cast<size_t>(selected)].text;
      }
      panel.Choose(kFormatListId, index);
      if (request.encoding.empty() && !encoding.empty()) {
        encodings = panel.Entries(kEncodingListId);
        for (size_t i = 0; i < encodings.size(); ++i) {
          if (encodings[i].text == encoding) {
            if (panel.Selection(kEncodingListId) != static_cast<int>(i)) panel.Choose(kEncodingListId, static_cast<int>(i));
            break;
          }
        }
      }
    }
  }
  if (!request.encoding.empty()) {
    std::vector<ListEntry> encodings = panel.Entries(kEncodingListId);
    int index = -1;
    for (size_t i = 0; i < encodings.size() && index < 0; ++i) {
      if (SameEncodingName(encodings[i].text, request.encoding)) index = static_cast<int>(i);
    }
    if (index < 0) {
      std::vector<std::string> names;
      for (const ListEntry& encoding : encodings) names.push_back("\"" + encoding.text + "\"");
      std::string choice = DescribeChoice(panel);
      *error = "no such encoding \"" + request.encoding + "\" for " + choice.substr(0, choice.rfind(", ")) +
               (names.empty() ? "; it offers none" : "; the encodings are: " + Join(names));
      return false;
    }
    if (panel.Selection(kEncodingListId) != index) panel.Choose(kEncodingListId, index);
  }
  if (!request.byteOrder.empty()) {
    std::vector<ListEntry> orders = panel.Entries(kByteOrderListId);
    int index = -1;
    std::vector<std::string> keys;
    for (size_t i = 0; i < orders.size(); ++i) {
      keys.push_back(ByteOrderKey(orders[i].formatWord));
      if (index < 0 && keys.back() == Lower(request.byteOrder)) index = static_cast<int>(i);
    }
    if (index < 0) {
      *error = "byte order \"" + request.byteOrder + "\" is not offered for " + DescribeChoice(panel) +
               (keys.empty() ? "; it offers none" : "; the byte orders are: " + Join(keys));
      return false;
    }
    if (panel.Selection(kByteOrderListId) != index) panel.Choose(kByteOrderListId, index);
  }
  if (request.haveQuality) {
    int position = static_cast<int>(std::lround(request.quality * 100.0));
    if (panel.SliderPosition() != position) panel.MoveSlider(position);
  }
  return true;
}

std::string DescribeChoice(const PanelDriver& panel) {
  std::string text;
  int format = panel.Selection(kFormatListId);
  std::vector<FormatEntry> formats = FormatEntries(panel);
  text += format >= 0 && static_cast<size_t>(format) < formats.size() ? formats[static_cast<size_t>(format)].name
                                                                       : "no format";
  int encoding = panel.Selection(kEncodingListId);
  std::vector<ListEntry> encodings = panel.Entries(kEncodingListId);
  text += ", ";
  text += encoding >= 0 && static_cast<size_t>(encoding) < encodings.size()
              ? encodings[static_cast<size_t>(encoding)].text
              : "no encoding";
  return text;
}

bool QueryBlock(const PanelDriver& panel, std::vector<unsigned char>* block, std::string* error) {
  std::vector<unsigned char> answer = panel.Query();
  if (answer.size() < static_cast<size_t>(kSinkConfigBlockSize) ||
      !HasSinkTag(answer.data(), static_cast<int>(answer.size()), kSinkConfigBlockSize)) {
    *error = "the configuration panel answered no usable block";
    return false;
  }
  // A list without a selection gives its item data as CB_ERR.
  if (BlockFormatWord(answer.data()) == static_cast<int32_t>(CB_ERR)) {
    *error = "the configuration panel has no byte order to offer for " + DescribeChoice(panel);
    return false;
  }
  *block = std::move(answer);
  return true;
}

bool CannotWrite(int32_t formatWord) {
  const int32_t major = formatWord & SF_FORMAT_TYPEMASK;
  const int32_t subtype = formatWord & SF_FORMAT_SUBMASK;
  if (major == SF_FORMAT_SD2) return true;
  if (subtype == SF_FORMAT_MPEG_LAYER_I || subtype == SF_FORMAT_MPEG_LAYER_II) return true;
  return subtype == SF_FORMAT_MPEG_LAYER_III && major != SF_FORMAT_MPEG;
}

std::string WhyCannotWrite(int32_t formatWord) {
  if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_SD2) {
    return "SD2 output is not offered: libsndfile writes its resource fork as a separate ._NAME file beside it";
  }
  return "libsndfile lists this encoding but cannot write it (it writes MPEG audio as Layer III, in MPEG files only)";
}

const char* QualityMeaning(int32_t formatWord) {
  if ((formatWord & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC) {
    return "FLAC compression, backwards: 1.0 is the fastest and largest file, 0.0 the smallest and slowest";
  }
  switch (formatWord & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_VORBIS:
      return "Vorbis sound quality: 1.0 is the best and largest, 0.0 the smallest";
    case SF_FORMAT_OPUS:
      return "Opus bit rate: 1.0 is the highest and largest, 0.0 the lowest";
    case SF_FORMAT_MPEG_LAYER_III:
      return "MP3 sound quality: 1.0 is the best and largest; libsndfile refuses 0.0";
    default:
      return "not used by this encoding";
  }
}

bool ReadSettings(const PanelDriver& panel, const SinkRegistration* sink, WriterSettings* settings,
                  std::string* error) {
  if (!QueryBlock(panel, &settings->block, error)) return false;
  settings->choice = DescribeChoice(panel);
  const char* extension = sink->extensionFor(settings->block.data(), static_cast<int>(settings->block.size()));
  settings->extension = extension != nullptr ? extension : "var";
  return true;
}

}  // namespace pexo_host
