#include "model/KeyText.h"

#include <array>

#include "model/AttributeList.h"

namespace {

using TKeyNames = std::array<const char*, 256>;

// The keys named by the key text form itself.
void AddFixedNames(TKeyNames& names)
{
  names[0x08] = "BkSp";
  names[0x09] = "Tab";
  names[0x0D] = "Enter";
  names[0x1B] = "Esc";
  names[0x20] = "Space";
  names[0x21] = "PgUp";
  names[0x22] = "PgDn";
  names[0x23] = "End";
  names[0x24] = "Home";
  names[0x25] = "Left";
  names[0x26] = "Up";
  names[0x27] = "Right";
  names[0x28] = "Down";
  names[0x2D] = "Ins";
  names[0x2E] = "Del";
  static const char* const digits[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  for (int i = 0; i < 10; ++i) {
    names[0x30 + i] = digits[i];
    names[0x60 + i] = digits[i];  // numeric keypad digits
  }
  static const char* const letters[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                          "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
  for (int i = 0; i < 26; ++i) names[0x41 + i] = letters[i];
  static const char* const functionKeys[24] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                               "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                               "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
  for (int i = 0; i < 24; ++i) names[0x70 + i] = functionKeys[i];
}

// The other keys, with the names a US keyboard layout gives them. Codes 0 to 7
// (mouse buttons, Cancel) stay unnamed, so that reading a name never yields a
// code above 255.
void AddKeyboardNames(TKeyNames& names)
{
  names[0x0C] = "Num 5";  // Clear
  names[0x10] = "Shift";
  names[0x11] = "Ctrl";
  names[0x12] = "Alt";
  names[0x13] = "Pause";
  names[0x14] = "Caps Lock";
  names[0x2C] = "Prnt Scrn";
  names[0x5B] = "Left Windows";
  names[0x5C] = "Right Windows";
  names[0x5D] = "Application";
  names[0x6A] = "Num *";
  names[0x6B] = "Num +";
  names[0x6D] = "Num -";
  names[0x6E] = "Num Del";
  names[0x6F] = "Num /";
  names[0x90] = "Num Lock";
  names[0x91] = "Scroll Lock";
  names[0xBA] = ";";
  names[0xBB] = "=";
  names[0xBC] = ",";
  names[0xBD] = "-";
  names[0xBE] = ".";
  names[0xBF] = "/";
  names[0xC0] = "`";
  names[0xDB] = "[";
  names[0xDC] = "\\";
  names[0xDD] = "]";
  names[0xDE] = "'";
}

const TKeyNames& KeyNames()
{
  static const TKeyNames names = [] {
    TKeyNames table{};
    AddKeyboardNames(table);
    AddFixedNames(table);
    return table;
  }();
  return names;
}

// Removes prefix from the front of text when it stands there (ASCII case-blind).
bool StripPrefix(std::string& text, const char* prefix)
{
  std::string p(prefix);
  if (text.size() < p.size() || !SameTextAscii(text.substr(0, p.size()), p)) return false;
  text.erase(0, p.size());
  return true;
}

}  // namespace

std::string KeyName(unsigned code)
{
  const char* name = KeyNames()[code & 0xFF];
  return name ? std::string(name) : std::string();
}

std::string ShortCutToText(TShortCut key)
{
  std::string name = KeyName(key);
  if (name.empty()) return name;
  std::string text;
  if (key & scShift) text += "Shift+";
  if (key & scCtrl) text += "Ctrl+";
  if (key & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const std::string& text)
{
  std::string rest = text;
  TShortCut modifiers = 0;
  for (;;) {
    if (StripPrefix(rest, "Shift+")) modifiers |= scShift;
    else if (StripPrefix(rest, "^") || StripPrefix(rest, "Ctrl+")) modifiers |= scCtrl;
    else if (StripPrefix(rest, "Alt+")) modifiers |= scAlt;
    else break;
  }
  if (rest.empty()) return 0;
  for (unsigned code = 8; code <= 597; ++code) {
    if (SameTextAscii(KeyName(code), rest)) return static_cast<TShortCut>(code | modifiers);
  }
  return 0;
}
