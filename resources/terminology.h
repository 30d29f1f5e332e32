// The scripting terminology bytes (type "AETE", id 16000).
#pragma once
#include <cstddef>

extern const unsigned char kTelloraTerminology[];
extern const std::size_t kTelloraTerminologySize;
