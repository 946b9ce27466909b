// Entry texts when libsndfile leaves a name or an extension out: the empty
// text stands in, never a null pointer handed to the formatter.
#include <cstring>

#include "tests/panel/panel_fixture.h"

namespace {

using namespace panel_test;

decltype(SndfileApi.sf_command) realCommand = nullptr;

// libsndfile's answers, with the texts of the first two major formats and
// of the first subtype taken out.
int CommandWithoutSomeNames(SNDFILE* file, int command, void* data, int size) {
  int index = command == SFC_GET_FORMAT_MAJOR || command == SFC_GET_FORMAT_SUBTYPE
                  ? static_cast<SF_FORMAT_INFO*>(data)->format
                  : -1;
  int result = realCommand(file, command, data, size);
  auto* info = static_cast<SF_FORMAT_INFO*>(data);
  if (command == SFC_GET_FORMAT_MAJOR && index == 0) info->extension = nullptr;
  if (command == SFC_GET_FORMAT_MAJOR && index == 1) info->name = nullptr;
  if (command == SFC_GET_FORMAT_SUBTYPE && index == 0) info->name = nullptr;
  return result;
}

TEST_F(PanelTest, AMissingNameOrExtensionIsTheEmptyText) {
  realCommand = SndfileApi.sf_command;
  SndfileApi.sf_command = &CommandWithoutSomeNames;
  const uint32_t tagOnly = kTag;
  HWND handle = openConfigPanel(&tagOnly, 4, parent);
  SndfileApi.sf_command = realCommand;
  ASSERT_NE(handle, nullptr);
  PanelDriver panel(handle);

  SF_FORMAT_INFO first = {0, nullptr, nullptr}, second = {1, nullptr, nullptr},
                 subtype = {0, nullptr, nullptr};
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &first, sizeof first);
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &second, sizeof second);
  sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &subtype, sizeof subtype);
  std::vector<Entry> shown = panel.Entries(kFormatList);
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown[0], (Entry{std::string(".  ( ") + first.name + " )", first.format}));
  EXPECT_EQ(shown[1], (Entry{std::string(".") + second.extension + "  (  )", second.format}));

  // The panel opened on the built-in default's format.
  std::vector<Entry> encodings = panel.Entries(kEncodingList);
  LRESULT index = IndexOf(encodings, 0x020000 | subtype.format);
  ASSERT_NE(index, CB_ERR) << "the default format writes the first subtype";
  EXPECT_EQ(encodings[static_cast<size_t>(index)].text, "");
}

}  // namespace
