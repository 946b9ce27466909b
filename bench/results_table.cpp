// The results as a Markdown table and as CSV.
#include <cmath>
#include <fstream>

#include "bench/results.h"

namespace bench {

bool ResultRow::Met() const {
  switch (kind) {
    case RowKind::Ratio: return ratio >= goal;
    case RowKind::Time: return plugin < goal;
    case RowKind::Count: return plugin - direct <= goal;
  }
  return false;
}

std::string ResultRow::GoalText() const {
  char text[64];
  switch (kind) {
    case RowKind::Ratio: std::snprintf(text, sizeof text, ">= %.2f", goal); break;
    case RowKind::Time: std::snprintf(text, sizeof text, "< %s", FormatSeconds(goal).c_str()); break;
    case RowKind::Count: std::snprintf(text, sizeof text, "%g added", goal); break;
  }
  return text;
}

std::string FormatSeconds(double seconds) {
  char text[32];
  const double magnitude = std::fabs(seconds);
  if (magnitude >= 1.0) {
    std::snprintf(text, sizeof text, "%.2f s", seconds);
  } else if (magnitude >= 1e-3) {
    std::snprintf(text, sizeof text, "%.*f ms", magnitude >= 0.1 ? 0 : magnitude >= 0.01 ? 1 : 2,
                  seconds * 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.*f us", magnitude >= 1e-4 ? 0 : magnitude >= 1e-5 ? 1 : 2,
                  seconds * 1e6);
  }
  return text;
}

namespace {

std::string Value(const ResultRow& row, double value) {
  if (row.kind == RowKind::Count) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
  }
  return FormatSeconds(value);
}

std::string RatioText(const ResultRow& row) {
  char text[64];
  if (row.kind == RowKind::Count) {
    std::snprintf(text, sizeof text, "added: %.4g", row.plugin - row.direct);
    return text;
  }
  std::snprintf(text, sizeof text, "%.3f (%.3f-%.3f)", row.ratio, row.ratioLow, row.ratioHigh);
  return text;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

const char* KindName(RowKind kind) {
  switch (kind) {
    case RowKind::Ratio: return "ratio";
    case RowKind::Time: return "time";
    case RowKind::Count: return "count";
  }
  return "";
}

}  // namespace

void PrintTable(const std::vector<ResultRow>& rows, std::FILE* out) {
  std::fprintf(out, "| case | plug-in | direct | ratio direct/plug-in (middle half) | pairs | goal | met |\n");
  std::fprintf(out, "|---|---:|---:|---:|---:|---|---|\n");
  for (const ResultRow& row : rows) {
    std::fprintf(out, "| %s: %s | %s | %s | %s | %s | %s | %s |\n", row.group.c_str(), row.name.c_str(),
                 Value(row, row.plugin).c_str(), Value(row, row.direct).c_str(), RatioText(row).c_str(),
                 row.kind == RowKind::Count ? "-" : std::to_string(row.pairs).c_str(),
                 row.GoalText().c_str(), row.Met() ? "yes" : "NO");
  }
  std::fflush(out);
}

bool WriteCsv(const std::vector<ResultRow>& rows, const std::string& path) {
  std::ofstream out(path);
  if (!out) return false;
  out << "group,case,kind,plugin,direct,unit,ratio,ratio_q1,ratio_q3,pairs,goal,met\n";
  char number[64];
  auto put = [&](double value) {
    std::snprintf(number, sizeof number, "%.6g", value);
    out << number;
  };
  for (const ResultRow& row : rows) {
    out << CsvField(row.group) << ',' << CsvField(row.name) << ',' << KindName(row.kind) << ',';
    put(row.plugin);
    out << ',';
    put(row.direct);
    out << ',' << (row.kind == RowKind::Count ? "allocations/call" : "s") << ',';
    if (row.kind != RowKind::Count) {
      put(row.ratio);
      out << ',';
      put(row.ratioLow);
      out << ',';
      put(row.ratioHigh);
      out << ',' << row.pairs;
    } else {
      out << ",,,";
    }
    out << ',' << CsvField(row.GoalText()) << ',' << (row.Met() ? "yes" : "no") << '\n';
  }
  return static_cast<bool>(out);
}

}  // namespace bench
