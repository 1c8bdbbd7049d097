// Arbitrary bytes as texts of a list to sort: the input split at line feeds into up to 16 texts. Every pair
// must compare the same both ways round, and every triple consistently, or a sorted list would depend on the
// order its rows came in.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "config/controls/NaturalCompare.h"

namespace {

constexpr size_t kMaxTexts = 16;

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> texts;
    for (size_t start = 0; texts.size() < kMaxTexts;) {
        const size_t end = bytes.find('\n', start);
        texts.push_back(bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    const size_t n = texts.size();
    std::vector<int> order(n * n);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) order[i * n + j] = Sign(NaturalCompare(texts[i], texts[j]));
    }
    for (size_t i = 0; i < n; ++i) {
        if (order[i * n + i] != 0) std::abort();  // a text equals itself
        for (size_t j = 0; j < n; ++j) {
            if (order[i * n + j] != -order[j * n + i]) std::abort();  // antisymmetric
            for (size_t k = 0; k < n; ++k) {
                const int ij = order[i * n + j];
                const int jk = order[j * n + k];
                const int ik = order[i * n + k];
                // Transitive, equality included: a <= b <= c gives a <= c, strictly when either step is.
                if (ij <= 0 && jk <= 0 && ik != (ij < 0 || jk < 0 ? -1 : 0)) std::abort();
            }
        }
    }
    return 0;
}
