#pragma once

#include <cstdint>

namespace celdo {

// Every engine operation that can fail returns one of these 16-bit codes; 0 is
// success.  The numbers are part of the program's behaviour (they select the
// message the user sees), so they never change.
using Status = std::int16_t;

namespace status {
inline constexpr Status Ok = 0;
inline constexpr Status OutOfMemory = 8;
inline constexpr Status FormatError = 11;
inline constexpr Status CannotWrite = 13;
inline constexpr Status SeekError = 25;
inline constexpr Status OpenError = 0x4001;
inline constexpr Status ReadError = 0x4002;
inline constexpr Status WriteError = 0x4003;
inline constexpr Status PrintError = 0x4004;
inline constexpr Status AlreadyOpen = -1;
inline constexpr Status Unsupported = -2;
inline constexpr Status DepthNotSavable = -3;
inline constexpr Status SizeNotSavable = -4;
inline constexpr Status BadImage = -5;
inline constexpr Status PluginNotLoadable = -6;
} // namespace status

} // namespace celdo
