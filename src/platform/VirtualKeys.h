#pragma once
// Key codes of the configuration (Windows virtual-key code in the low byte,
// Shift 0x2000, Ctrl 0x4000, Alt 0x8000; model/KeyText.h) and the keys of Qt.
// One table pairs virtual keys with Qt keys; it serves both directions.

#include <QKeySequence>
#include <Qt>
#include <cstdint>

#include "model/KeyText.h"

class QKeyEvent;

// The Qt key of a virtual key; 0 when the table has none. Keypad keys
// (0x60 to 0x6F) set keypad to true.
int QtKeyFromVirtualKey(std::uint8_t virtualKey, bool* keypad = nullptr);
// The virtual key of a Qt key; 0 when the table has none. keypad tells a key
// of the numeric keypad (Qt::KeypadModifier); shifted tells that Shift is held,
// so that the shifted symbols of a US keyboard ("!" is Shift+1) name their key.
std::uint8_t VirtualKeyFromQtKey(int qtKey, bool keypad = false, bool shifted = false);

// True for keys that only modify others (Shift, Ctrl, Alt, Meta, the locks).
bool IsModifierKey(int qtKey);
// The key code of a key press; 0 for modifier keys and keys without a
// virtual key.
TShortCut ShortCutFromKeyEvent(const QKeyEvent& event);
// The key code as a Qt key sequence (menu shortcuts); empty for 0 and for
// keys without a Qt key.
QKeySequence KeySequenceFromShortCut(TShortCut key);
