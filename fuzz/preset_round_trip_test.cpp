// A short, bounded run of the preset fuzzer's round trip: seeded random inputs and a few made
// to reach the long texts and the characters the writer escapes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "fuzz/preset_round_trip.h"

namespace {

std::string Check(const std::vector<std::uint8_t>& bytes) {
    return tellora_fuzz::CheckPresetRoundTrip(bytes.data(), bytes.size());
}

TEST(PresetRoundTrip, SeededRandomInputsComeBack) {
    std::mt19937 random(20261207);
    for (int run = 0; run < 3000; ++run) {
        std::vector<std::uint8_t> bytes(std::uniform_int_distribution<std::size_t>(0, 600)(random));
        for (auto& b : bytes) b = std::uint8_t(random());
        const std::string difference = Check(bytes);
        ASSERT_TRUE(difference.empty()) << "run " << run << ": " << difference;
    }
}

TEST(PresetRoundTrip, LongTextsAndEscapedCharactersComeBack) {
    // Texts lead the colour, number and text values in table order: fill every byte with the
    // characters the writer escapes or the reader trims, and make the texts long.
    for (const std::uint8_t fill : {std::uint8_t('"'), std::uint8_t('\\'), std::uint8_t('\n'), std::uint8_t('\r'),
                                    std::uint8_t(' '), std::uint8_t(0), std::uint8_t(255)}) {
        std::vector<std::uint8_t> bytes(200000, fill);
        const std::string difference = Check(bytes);
        EXPECT_TRUE(difference.empty()) << int(fill) << ": " << difference;
    }
}

}  // namespace
