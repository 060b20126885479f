#include "datafile/RC4.h"

#include <utility>

void RC4KeySchedule(RC4State& state, const std::uint8_t* key, int keyLength)
{
    if (keyLength < 1 || keyLength > 256)
        throw RC4Error("RC4: Invalid key length");

    auto& S = state.S;
    for (int n = 0; n < 256; ++n)
        S[n] = static_cast<std::uint8_t>(n);
    state.i = 0;
    state.j = 0;

    std::uint8_t j = 0;
    for (int n = 0; n < 256; ++n) {
        j = static_cast<std::uint8_t>(j + S[n] + key[n % keyLength]);
        std::swap(S[n], S[j]);
    }
}

void RC4Apply(RC4State& state, const std::uint8_t* input, std::uint8_t* output, std::int64_t length)
{
    auto& S = state.S;
    std::uint8_t i = state.i;
    std::uint8_t j = state.j;
    for (std::int64_t k = 0; k < length; ++k) {
        i = static_cast<std::uint8_t>(i + 1);
        const std::uint8_t si = S[i];
        j = static_cast<std::uint8_t>(j + si);
        const std::uint8_t sj = S[j];
        S[i] = sj;
        S[j] = si;
        output[k] = input[k] ^ S[static_cast<std::uint8_t>(si + sj)];
    }
    state.i = i;
    state.j = j;
}
