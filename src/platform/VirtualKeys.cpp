#include "platform/VirtualKeys.h"

#include <QKeyEvent>
#include <array>

namespace {

struct TKeyPair {
  std::uint8_t VirtualKey;
  int QtKey;
  bool Keypad;
};

// Virtual keys and Qt keys. Digits, letters and F-keys are ranges and are
// handled in code; every other key the configuration can name is here.
constexpr TKeyPair KeyTable[] = {
    {0x08, Qt::Key_Backspace, false},   {0x09, Qt::Key_Tab, false},
    {0x0C, Qt::Key_Clear, false},       {0x0D, Qt::Key_Return, false},
    {0x10, Qt::Key_Shift, false},       {0x11, Qt::Key_Control, false},
    {0x12, Qt::Key_Alt, false},         {0x13, Qt::Key_Pause, false},
    {0x14, Qt::Key_CapsLock, false},    {0x1B, Qt::Key_Escape, false},
    {0x20, Qt::Key_Space, false},       {0x21, Qt::Key_PageUp, false},
    {0x22, Qt::Key_PageDown, false},    {0x23, Qt::Key_End, false},
    {0x24, Qt::Key_Home, false},        {0x25, Qt::Key_Left, false},
    {0x26, Qt::Key_Up, false},          {0x27, Qt::Key_Right, false},
    {0x28, Qt::Key_Down, false},        {0x29, Qt::Key_Select, false},
    {0x2A, Qt::Key_Printer, false},     {0x2B, Qt::Key_Execute, false},
    {0x2C, Qt::Key_Print, false},       {0x2D, Qt::Key_Insert, false},
    {0x2E, Qt::Key_Delete, false},      {0x2F, Qt::Key_Help, false},
    {0x5B, Qt::Key_Super_L, false},     {0x5C, Qt::Key_Super_R, false},
    {0x5D, Qt::Key_Menu, false},        {0x5F, Qt::Key_Sleep, false},
    {0x6A, Qt::Key_Asterisk, true},     {0x6B, Qt::Key_Plus, true},
    {0x6C, Qt::Key_Comma, true},        {0x6D, Qt::Key_Minus, true},
    {0x6E, Qt::Key_Period, true},       {0x6F, Qt::Key_Slash, true},
    {0x90, Qt::Key_NumLock, false},     {0x91, Qt::Key_ScrollLock, false},
    {0xA6, Qt::Key_Back, false},        {0xA7, Qt::Key_Forward, false},
    {0xA8, Qt::Key_Refresh, false},     {0xA9, Qt::Key_Stop, false},
    {0xAA, Qt::Key_Search, false},      {0xAB, Qt::Key_Favorites, false},
    {0xAC, Qt::Key_HomePage, false},    {0xAD, Qt::Key_VolumeMute, false},
    {0xAE, Qt::Key_VolumeDown, false},  {0xAF, Qt::Key_VolumeUp, false},
    {0xB0, Qt::Key_MediaNext, false},   {0xB1, Qt::Key_MediaPrevious, false},
    {0xB2, Qt::Key_MediaStop, false},   {0xB3, Qt::Key_MediaTogglePlayPause, false},
    {0xB4, Qt::Key_LaunchMail, false},  {0xB5, Qt::Key_LaunchMedia, false},
    {0xB6, Qt::Key_Launch0, false},     {0xB7, Qt::Key_Launch1, false},
    {0xBA, Qt::Key_Semicolon, false},   {0xBB, Qt::Key_Equal, false},
    {0xBC, Qt::Key_Comma, false},       {0xBD, Qt::Key_Minus, false},
    {0xBE, Qt::Key_Period, false},      {0xBF, Qt::Key_Slash, false},
    {0xC0, Qt::Key_QuoteLeft, false},   {0xDB, Qt::Key_BracketLeft, false},
    {0xDC, Qt::Key_Backslash, false},   {0xDD, Qt::Key_BracketRight, false},
    {0xDE, Qt::Key_Apostrophe, false},
};

// The symbols a US keyboard gives with Shift, and the key that gives them.
constexpr std::pair<int, std::uint8_t> ShiftedSymbols[] = {
    {Qt::Key_Exclam, 0x31},      {Qt::Key_At, 0x32},          {Qt::Key_NumberSign, 0x33},
    {Qt::Key_Dollar, 0x34},      {Qt::Key_Percent, 0x35},     {Qt::Key_AsciiCircum, 0x36},
    {Qt::Key_Ampersand, 0x37},   {Qt::Key_Asterisk, 0x38},    {Qt::Key_ParenLeft, 0x39},
    {Qt::Key_ParenRight, 0x30},  {Qt::Key_Underscore, 0xBD},  {Qt::Key_Plus, 0xBB},
    {Qt::Key_BraceLeft, 0xDB},   {Qt::Key_BraceRight, 0xDD},  {Qt::Key_Bar, 0xDC},
    {Qt::Key_Colon, 0xBA},       {Qt::Key_QuoteDbl, 0xDE},    {Qt::Key_Less, 0xBC},
    {Qt::Key_Greater, 0xBE},     {Qt::Key_Question, 0xBF},    {Qt::Key_AsciiTilde, 0xC0},
};

constexpr std::uint8_t VkDigit0 = 0x30, VkLetterA = 0x41, VkNumpad0 = 0x60, VkF1 = 0x70;
constexpr int FunctionKeyCount = 24;

}  // namespace

int QtKeyFromVirtualKey(std::uint8_t virtualKey, bool* keypad)
{
  if (keypad) *keypad = false;
  if (virtualKey >= VkDigit0 && virtualKey <= VkDigit0 + 9) return Qt::Key_0 + (virtualKey - VkDigit0);
  if (virtualKey >= VkLetterA && virtualKey < VkLetterA + 26) return Qt::Key_A + (virtualKey - VkLetterA);
  if (virtualKey >= VkNumpad0 && virtualKey <= VkNumpad0 + 9) {
    if (keypad) *keypad = true;
    return Qt::Key_0 + (virtualKey - VkNumpad0);
  }
  if (virtualKey >= VkF1 && virtualKey < VkF1 + FunctionKeyCount) return Qt::Key_F1 + (virtualKey - VkF1);
  for (const auto& pair : KeyTable) {
    if (pair.VirtualKey == virtualKey) {
      if (keypad) *keypad = pair.Keypad;
      return pair.QtKey;
    }
  }
  return 0;
}

std::uint8_t VirtualKeyFromQtKey(int qtKey, bool keypad, bool shifted)
{
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return static_cast<std::uint8_t>((keypad ? VkNumpad0 : VkDigit0) + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::uint8_t>(VkLetterA + (qtKey - Qt::Key_A));
  if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + FunctionKeyCount)
    return static_cast<std::uint8_t>(VkF1 + (qtKey - Qt::Key_F1));
  if (qtKey == Qt::Key_Backtab) return 0x09;
  if (qtKey == Qt::Key_Enter) return 0x0D;
  for (const auto& pair : KeyTable)
    if (pair.QtKey == qtKey && pair.Keypad == keypad) return pair.VirtualKey;
  // A keypad key without a keypad entry (Home, arrows with NumLock off) is
  // the same key as on the main keyboard.
  if (keypad) {
    for (const auto& pair : KeyTable)
      if (pair.QtKey == qtKey && !pair.Keypad) return pair.VirtualKey;
  }
  if (shifted) {
    for (const auto& [symbol, virtualKey] : ShiftedSymbols)
      if (symbol == qtKey) return virtualKey;
  }
  return 0;
}

bool IsModifierKey(int qtKey)
{
  switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
      return true;
    default:
      return false;
  }
}

TShortCut ShortCutFromKeyEvent(const QKeyEvent& event)
{
  if (IsModifierKey(event.key())) return scNone;
  Qt::KeyboardModifiers modifiers = event.modifiers();
  bool shifted = modifiers.testFlag(Qt::ShiftModifier);
  std::uint8_t virtualKey = VirtualKeyFromQtKey(event.key(), modifiers.testFlag(Qt::KeypadModifier), shifted);
  if (virtualKey == 0) return scNone;
  TShortCut code = virtualKey;
  if (shifted || event.key() == Qt::Key_Backtab) code |= scShift;
  if (modifiers.testFlag(Qt::ControlModifier)) code |= scCtrl;
  if (modifiers.testFlag(Qt::AltModifier)) code |= scAlt;
  return code;
}

QKeySequence KeySequenceFromShortCut(TShortCut key)
{
  bool keypad = false;
  int qtKey = QtKeyFromVirtualKey(static_cast<std::uint8_t>(key & 0xFF), &keypad);
  if (key == scNone || qtKey == 0) return QKeySequence();
  Qt::KeyboardModifiers modifiers;
  if (key & scShift) modifiers |= Qt::ShiftModifier;
  if (key & scCtrl) modifiers |= Qt::ControlModifier;
  if (key & scAlt) modifiers |= Qt::AltModifier;
  if (keypad) modifiers |= Qt::KeypadModifier;
  return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(qtKey)));
}
