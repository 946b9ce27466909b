// The quality between block and slider: every position survives a store,
// an open and a query, and damaged values neither crash nor wrap.
#include <cmath>
#include <cstdio>
#include <limits>

#include "tests/panel/panel_fixture.h"

namespace {

using namespace panel_test;

std::string TwoDecimals(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

TEST_F(PanelTest, EverySliderPositionSurvivesStoreOpenAndQuery) {
  for (int position = 0; position <= 100; ++position) {
    float stored = static_cast<float>(position) / 100.0f;  // as a query writes it
    auto block = MakeBlock(0x010002, stored);
    PanelDriver panel = Open(block);
    EXPECT_EQ(panel.SliderPosition(), position);
    EXPECT_EQ(panel.Label(), TwoDecimals(stored));
    EXPECT_EQ(panel.Query().quality, stored) << "position " << position;
    DestroyWindow(panel.Handle());
  }
}

TEST_F(PanelTest, DamagedQualitiesAreLimitedToTheSliderAndShownAsTheyAre) {
  const float kInfinity = std::numeric_limits<float>::infinity();
  const struct {
    float quality;
    int position;
  } kCases[] = {
      {1.5f, 100},
      {-0.2f, 0},
      {std::numeric_limits<float>::quiet_NaN(), 0},
      {kInfinity, 100},
      {-kInfinity, 0},
      {3e38f, 100},
      {-3e38f, 0},
      {0.004f, 0},
      {0.996f, 100},
  };
  for (const auto& c : kCases) {
    auto block = MakeBlock(0x010002, c.quality);
    PanelDriver panel = Open(block);
    EXPECT_EQ(panel.SliderPosition(), c.position) << c.quality;
    EXPECT_EQ(panel.Label(), TwoDecimals(c.quality)) << "until the slider moves";
    EXPECT_EQ(panel.Query().quality, static_cast<float>(c.position) / 100.0f) << c.quality;
    DestroyWindow(panel.Handle());
  }
}

}  // namespace
