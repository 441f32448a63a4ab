// Fixed-point number text by a printf-like format such as "%10.8f", rounding
// half away from zero on a value first brought to 17 significant digits.
#pragma once

#include <string>
#include <string_view>

std::wstring FormatFixed(std::wstring_view format, double value);
