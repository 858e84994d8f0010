#pragma once
// The fixed table that the scrambled (".avx") copy is combined with, repeated over the file.
#include <cstddef>

constexpr std::size_t kScrambleKeySize = 1024;
extern const unsigned char ScrambleKey[kScrambleKeySize];
