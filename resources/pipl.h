// The plug-in property list bytes (type "PIPL", ID 16000).
#pragma once
#include <cstddef>

extern const unsigned char kTelloraPipl[];
extern const std::size_t kTelloraPiplSize;
