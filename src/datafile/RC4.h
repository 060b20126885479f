#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>

// The published RC4 stream cipher. Enciphering and deciphering are one
// operation. Key once, then apply over the buffer in one call or in parts,
// in order: the state keeps its counters, so each call continues the stream.

struct RC4State {
    std::array<std::uint8_t, 256> S;
    std::uint8_t i = 0;
    std::uint8_t j = 0;
};

class RC4Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// keyLength must lie in 1..256; otherwise throws RC4Error("RC4: Invalid key length").
void RC4KeySchedule(RC4State& state, const std::uint8_t* key, int keyLength);

// output[k] = input[k] XOR keystream[k]; input and output may be the same buffer.
// A length of 0 or less does nothing.
void RC4Apply(RC4State& state, const std::uint8_t* input, std::uint8_t* output, std::int64_t length);
