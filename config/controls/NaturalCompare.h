#pragma once
// The natural order in which the configuration program's lists stand: digit runs compare as numbers (host9
// before host10), white space anywhere is ignored, and everything else compares byte by byte as signed 8-bit
// values, without case folding (B before a; bytes from 0x80 up before every ASCII character). Texts are 8-bit
// (the ANSI code page); a text ends at its end or at its first NUL, and an ended text reads as NUL from there.
#include <string_view>

// Negative when `a` comes first, positive when `b` does, 0 when they are equal in this order. When both runs
// at the current place are digits and either starts with '0', the runs are compared as digit strings
// (CompareDigitRunsAsDigits: 007 before 07, a01 before a1), otherwise as numbers (CompareDigitRunsAsNumbers).
int NaturalCompare(std::string_view a, std::string_view b);

// The digit runs that start `a` and `b` aligned on the right, as numbers: the longer run is the greater; runs
// of equal length are decided by their first differing digit; 0 when they are equal.
int CompareDigitRunsAsNumbers(std::string_view a, std::string_view b);

// The digit runs that start `a` and `b` aligned on the left: the first differing digit decides, and a run that
// ends first is the smaller; 0 when they are equal.
int CompareDigitRunsAsDigits(std::string_view a, std::string_view b);
