// The results drawn as an SVG chart: the side-by-side ratios with their
// middle halves against the goal, the start-up and panel times against
// theirs, and the allocation counts.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "bench/results.h"

namespace bench {
namespace {

const int kWidth = 1080;
const int kLabelWidth = 330;
const int kPlotLeft = kLabelWidth + 10;
const int kPlotWidth = 470;
const int kValueLeft = kPlotLeft + kPlotWidth + 14;
const int kRowHeight = 20;
const char* const kGood = "#2e7d32";
const char* const kBad = "#c62828";

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Number(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void Text(std::ostream& svg, double x, double y, const std::string& text, const char* extra = "") {
  svg << "<text x=\"" << Number(x, 1) << "\" y=\"" << Number(y, 1) << "\" " << extra << ">" << Escaped(text)
      << "</text>\n";
}

void Line(std::ostream& svg, double x1, double y1, double x2, double y2, const char* style) {
  svg << "<line x1=\"" << Number(x1, 1) << "\" y1=\"" << Number(y1, 1) << "\" x2=\"" << Number(x2, 1)
      << "\" y2=\"" << Number(y2, 1) << "\" " << style << "/>\n";
}

void Stripe(std::ostream& svg, int y, size_t index) {
  if (index % 2 == 0) {
    svg << "<rect x=\"0\" y=\"" << y << "\" width=\"" << kWidth << "\" height=\"" << kRowHeight
        << "\" fill=\"#f3f3f3\"/>\n";
  }
}

std::string Heading(const ResultRow& row) { return row.group + ": " + row.name; }

// The ratio rows: one dot per case at its median, a bar over the middle
// half of its pairs, a line at 1 (no cost) and a dashed line at the goal.
int DrawRatios(std::ostream& svg, const std::vector<const ResultRow*>& rows, int top) {
  double low = 0.95, high = 1.05, goal = 0.99;
  for (const ResultRow* row : rows) {
    low = std::min(low, row->ratioLow - 0.01);
    high = std::max(high, row->ratioHigh + 0.01);
    goal = row->goal;
  }
  low = std::max(low, 0.5);
  high = std::min(high, 1.5);
  auto x = [&](double value) {
    const double clamped = std::clamp(value, low, high);
    return kPlotLeft + (clamped - low) / (high - low) * kPlotWidth;
  };
  Text(svg, 10, top + 14,
       "Ratio direct / plug-in, median of A/B pairs (1.00: the plug-in costs nothing; above 1: faster than direct)",
       "font-weight=\"bold\"");
  top += 34;
  const int plotTop = top;
  for (size_t i = 0; i < rows.size(); ++i) {
    const ResultRow& row = *rows[i];
    const int y = top + static_cast<int>(i) * kRowHeight;
    Stripe(svg, y, i);
    Text(svg, 10, y + 14, Heading(row));
    const char* colour = row.Met() ? kGood : kBad;
    svg << "<rect x=\"" << Number(x(row.ratioLow), 1) << "\" y=\"" << y + 7 << "\" width=\""
        << Number(std::max(1.0, x(row.ratioHigh) - x(row.ratioLow)), 1) << "\" height=\"6\" fill=\"" << colour
        << "\" fill-opacity=\"0.35\"/>\n";
    svg << "<circle cx=\"" << Number(x(row.ratio), 1) << "\" cy=\"" << y + 10 << "\" r=\"4\" fill=\"" << colour
        << "\"/>\n";
    Text(svg, kValueLeft, y + 14, Number(row.ratio, 3) + "  (" + FormatSeconds(row.plugin) + " / " +
                                      FormatSeconds(row.direct) + ")");
  }
  const int plotBottom = top + static_cast<int>(rows.size()) * kRowHeight;
  Line(svg, x(1.0), plotTop, x(1.0), plotBottom, "stroke=\"#555\" stroke-width=\"1\"");
  Line(svg, x(goal), plotTop, x(goal), plotBottom, "stroke=\"#c62828\" stroke-width=\"1\" stroke-dasharray=\"4 3\"");
  Line(svg, kPlotLeft, plotBottom, kPlotLeft + kPlotWidth, plotBottom, "stroke=\"#555\"");
  double step = 0.005;
  for (double candidate : {0.01, 0.02, 0.05, 0.1, 0.2}) {
    if ((high - low) / step > 12) step = candidate;
  }
  for (double tick = std::ceil(low / step - 1e-9) * step; tick <= high + 1e-9; tick += step) {
    Line(svg, x(tick), plotBottom, x(tick), plotBottom + 4, "stroke=\"#555\"");
    Text(svg, x(tick), plotBottom + 16, Number(tick, step < 0.01 ? 3 : 2), "text-anchor=\"middle\" font-size=\"11\"");
  }
  Text(svg, x(goal) - 3, plotTop - 4, "goal " + Number(goal, 2), "text-anchor=\"end\" font-size=\"11\" fill=\"#c62828\"");
  Text(svg, x(1.0) + 3, plotTop - 4, "no cost", "font-size=\"11\" fill=\"#555\"");
  Text(svg, kValueLeft, plotTop - 3, "ratio  (plug-in time / direct time)", "font-size=\"11\" fill=\"#555\"");
  return plotBottom + 30;
}

// The timed rows with an absolute goal: a bar for the plug-in's median, a
// grey tick for the direct baseline, a dashed line at the goal.
int DrawTimes(std::ostream& svg, const std::vector<const ResultRow*>& rows, int top) {
  Text(svg, 10, top + 14, "Median time: plug-in (bar), direct baseline (grey tick), goal (dashed)",
       "font-weight=\"bold\"");
  top += 24;
  for (size_t i = 0; i < rows.size(); ++i) {
    const ResultRow& row = *rows[i];
    const double scale = std::max({row.goal * 1.25, row.plugin * 1.05, row.direct * 1.05});
    auto x = [&](double value) { return kPlotLeft + std::min(value, scale) / scale * kPlotWidth; };
    const int y = top + static_cast<int>(i) * kRowHeight;
    Stripe(svg, y, i);
    Text(svg, 10, y + 14, Heading(row));
    svg << "<rect x=\"" << kPlotLeft << "\" y=\"" << y + 4 << "\" width=\""
        << Number(x(row.plugin) - kPlotLeft, 1) << "\" height=\"12\" fill=\"" << (row.Met() ? kGood : kBad)
        << "\"/>\n";
    Line(svg, x(row.direct), y + 1, x(row.direct), y + 19, "stroke=\"#777\" stroke-width=\"3\"");
    Line(svg, x(row.goal), y, x(row.goal), y + kRowHeight,
         "stroke=\"#c62828\" stroke-width=\"1\" stroke-dasharray=\"4 3\"");
    Text(svg, kValueLeft, y + 14,
         FormatSeconds(row.plugin) + "  (direct " + FormatSeconds(row.direct) + ", goal " + row.GoalText() + ")");
  }
  return top + static_cast<int>(rows.size()) * kRowHeight + 16;
}

int DrawCounts(std::ostream& svg, const std::vector<const ResultRow*>& rows, int top) {
  Text(svg, 10, top + 14, "Heap allocations per call, through the plug-in and directly (goal: the plug-in adds none)", "font-weight=\"bold\"");
  top += 24;
  for (size_t i = 0; i < rows.size(); ++i) {
    const ResultRow& row = *rows[i];
    const int y = top + static_cast<int>(i) * kRowHeight;
    Stripe(svg, y, i);
    Text(svg, 10, y + 14, row.name);
    std::ostringstream values;
    values << "plug-in " << row.plugin << "   direct " << row.direct;
    Text(svg, kPlotLeft, y + 14, values.str(),
         row.Met() ? "fill=\"#2e7d32\"" : "fill=\"#c62828\" font-weight=\"bold\"");
  }
  return top + static_cast<int>(rows.size()) * kRowHeight + 16;
}

}  // namespace

bool WriteSvgChart(const std::vector<ResultRow>& rows, const RunDescription& run, const std::string& path) {
  std::vector<const ResultRow*> ratios, times, counts;
  for (const ResultRow& row : rows) {
    (row.kind == RowKind::Ratio ? ratios : row.kind == RowKind::Time ? times : counts).push_back(&row);
  }
  std::ostringstream body;
  int y = 10;
  Text(body, 10, y + 16, "pexo plug-in against direct libsndfile (" + run.mode + " run)",
       "font-size=\"16\" font-weight=\"bold\"");
  y += 24;
  if (!run.label.empty()) Text(body, 10, y + 12, run.label, "font-size=\"11\" fill=\"#555\"");
  y += 16;
  if (!run.machine.empty()) Text(body, 10, y + 12, run.machine, "font-size=\"11\" fill=\"#555\"");
  y += 24;
  if (!ratios.empty()) y = DrawRatios(body, ratios, y);
  if (!times.empty()) y = DrawTimes(body, times, y);
  if (!counts.empty()) y = DrawCounts(body, counts, y);

  std::ofstream out(path);
  if (!out) return false;
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << y + 10
      << "\" viewBox=\"0 0 " << kWidth << ' ' << y + 10 << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      << body.str() << "</svg>\n";
  return static_cast<bool>(out);
}

}  // namespace bench
