#pragma once
// Key codes of key bindings and menu shortcuts, and their text form.
//
// A key code is 16 bits: the Windows virtual-key code in the low byte, Shift
// as 0x2000, Ctrl as 0x4000, Alt as 0x8000; 0 is no key. The text form is
// "Shift+", "Ctrl+", "Alt+" (in that order, as present) followed by the key
// name; the empty text is no key. Key names come from one fixed table (US
// keyboard names), never from the platform.

#include <cstdint>
#include <string>

using TShortCut = std::uint16_t;

constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// Windows virtual-key codes used by the program's own tables.
namespace vk {
constexpr std::uint8_t Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12,
                       Escape = 0x1B, Space = 0x20, Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24,
                       Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Insert = 0x2D, Delete = 0x2E,
                       Digit0 = 0x30, A = 0x41, Numpad0 = 0x60, F1 = 0x70;
// The letter keys "A" to "Z" and the digit keys "0" to "9" of the main keyboard.
constexpr std::uint8_t Letter(char c) { return static_cast<std::uint8_t>(A + (c - 'A')); }
constexpr std::uint8_t Digit(int d) { return static_cast<std::uint8_t>(Digit0 + d); }
// F1 to F24.
constexpr std::uint8_t F(int n) { return static_cast<std::uint8_t>(F1 + n - 1); }
}  // namespace vk

// A key code from a virtual key and modifier bits.
constexpr TShortCut ShortCut(std::uint8_t key, TShortCut modifiers = 0)
{
  return static_cast<TShortCut>(key | modifiers);
}

// The name of the key whose virtual-key code is the low byte of code; the
// empty text for a key without a name.
std::string KeyName(unsigned code);
// The text form of a key code; the empty text for 0 and for unnamed keys.
std::string ShortCutToText(TShortCut key);
// The key code of a text: modifier prefixes ("Shift+", "Ctrl+" or "^",
// "Alt+", any order, any letter case), then a key name (any letter case).
// 0 when nothing names a key.
TShortCut TextToShortCut(const std::string& text);
