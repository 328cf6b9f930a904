#pragma once
// The test host's colour-space conversion: a plain formula, so expected pixels can be worked out by hand.
//
// CMYK -> RGB (spaces 2 -> 0), each 4-byte record in place, C,M,Y,K in and 0,R,G,B out, with C, M, Y, K as
// ink amounts (0 none, 255 full):
//   R = 255 - min(255, C + K)
//   G = 255 - min(255, M + K)
//   B = 255 - min(255, Y + K)
// The same space in and out leaves the records as they are. Every other pair answers kSPUnimplementedError
// and changes nothing; a negative count answers kSPBadParameterError. 8-bit records only: this host's 16-bit
// documents are gray or RGB, never CMYK, so it has no 16-bit conversion to offer.
#include <cstdint>

#include "host/host_abi.h"

SPErr ConvertColors8(int16_t inputSpace, int16_t outputSpace, Color8* colors, int16_t count);
