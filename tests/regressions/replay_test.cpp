// Replays the fuzz targets' seeds and every kept finding through the same
// entry functions the libFuzzer programs run, compiled without libFuzzer.
// A kept input lives in tests/regressions/inputs/<target>/; a broken
// property aborts the run, which fails the case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_targets.h"

namespace {

struct ReplayCase {
  std::string target;
  std::string kind;  // "seed" or "kept"
  std::filesystem::path file;
};

void PrintTo(const ReplayCase& replay, std::ostream* out) { *out << replay.file.string(); }

std::vector<ReplayCase> Cases() {
  std::vector<ReplayCase> cases;
  const std::pair<const char*, const char*> folders[] = {{"seed", PEXO_FUZZ_SEEDS_DIR},
                                                         {"kept", PEXO_KEPT_INPUTS_DIR}};
  for (const FuzzTarget& target : FuzzTargets()) {
    for (const auto& folder : folders) {
      std::filesystem::path dir = std::filesystem::path(folder.second) / target.name;
      if (!std::filesystem::is_directory(dir)) continue;
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& file : files) cases.push_back({target.name, folder.first, file});
    }
  }
  return cases;
}

std::string CaseName(const testing::TestParamInfo<ReplayCase>& info) {
  std::string name = info.param.target + "_" + info.param.kind + "_" + info.param.file.filename().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class Replay : public testing::TestWithParam<ReplayCase> {};

TEST_P(Replay, KeepsEveryProperty) {
  const ReplayCase& replay = GetParam();
  std::ifstream in(replay.file, std::ios::binary);
  ASSERT_TRUE(in) << replay.file;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto target = std::find_if(FuzzTargets().begin(), FuzzTargets().end(),
                             [&](const FuzzTarget& t) { return replay.target == t.name; });
  ASSERT_NE(target, FuzzTargets().end());
  EXPECT_EQ(target->entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Replay, testing::ValuesIn(Cases()), CaseName);

}  // namespace
