// Method identifiers of the 7z coders and filters that the extractor decodes.
#pragma once
#include "7zTypes.h"

constexpr UInt32 kMethodCopy = 0;
constexpr UInt32 kMethodDelta = 3;
constexpr UInt32 kMethodArm64 = 0xA;
constexpr UInt32 kMethodRiscv = 0xB;
constexpr UInt32 kMethodLzma2 = 0x21;
constexpr UInt32 kMethodLzma = 0x30101;
constexpr UInt32 kMethodPpmd = 0x30401;
constexpr UInt32 kMethodBcj = 0x3030103;
constexpr UInt32 kMethodBcj2 = 0x303011B;
constexpr UInt32 kMethodPpc = 0x3030205;
constexpr UInt32 kMethodIa64 = 0x3030401;
constexpr UInt32 kMethodArm = 0x3030501;
constexpr UInt32 kMethodArmt = 0x3030701;
constexpr UInt32 kMethodSparc = 0x3030805;
