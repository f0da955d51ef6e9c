#pragma once
// Sample estimates for the report tests.

#include <string>
#include <vector>

#include "numfmt/numfmt.h"
#include "report/reportinput.h"

namespace reporttest {

// A temperature estimate at 41.9 N, 12.483 E, 17 m with three neighbours
// (the third without direction) and a gentle annual cycle.
tavisol::report::ReportInput SampleInput(tavisol::engine::Integer variable = 0);

// An estimate whose fitted cycle is the constant `mean` with the standard
// error `stdErr` in every month.
tavisol::report::ReportInput ConstantInput(tavisol::engine::Integer variable, float mean, float stdErr);

inline const tavisol::numfmt::Locale English = tavisol::numfmt::Locale::english();
inline const tavisol::numfmt::Locale Comma = tavisol::numfmt::Locale::decimalComma();

// n blanks, and s right-aligned in w columns, as the report's columns are filled.
inline std::string Pad(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
inline std::string R(int w, const std::string &s) { return tavisol::numfmt::rightAlign(s, w); }

// Index of the first line equal to `text`, or -1.
int Find(const std::vector<std::string> &lines, const std::string &text, int from = 0);

} // namespace reporttest
