// Save, load, compare: the preset writer and reader over the filter's 21 parameters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tellora_fuzz {

// Sets every value of the filter's parameter list from the bytes (finite numbers of any size,
// indices of the enumeration's values, texts of any bytes and length up to what the bytes
// hold), writes the list as a preset text, reads it into a fresh list and compares all 21
// values: integers, indices, booleans and texts exactly, numbers as the writer's six
// significant digits give them back.
// Returns an empty string when everything came back, else what differed.
std::string CheckPresetRoundTrip(const std::uint8_t* data, std::size_t size);

}  // namespace tellora_fuzz
