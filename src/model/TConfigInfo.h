#pragma once
// The editor configuration of the whole program: gutter, colours, fonts, tab
// width, right edge, selection colours and the ordered key bindings; and the
// text of the configuration file that holds it.
//
// File text: 8-bit, every line ending in CR LF, no declaration:
//   <config>
//   <gutter visible=".." autosize=".." ... font-name=".." />
//   <editor background-color=".." tabwidth=".." ... selectedbackground=".." />
//   <shortcuts>
//     <shortcut key=".." key2=".." command=".."/>     (one per binding)
//   </shortcuts>
//   </config>
// Values are written with "&", "<" and quotes as entity references and read
// with the five predefined references resolved, so any value survives a write
// and a read; files without such characters are exactly as before.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ColorNames.h"
#include "model/TConfigFont.h"
#include "model/TShortcutItem.h"

class TXMLParser;

class TConfigInfo {
public:
  // Receives one malformed value: the element, the attribute and the reason.
  using TValueErrorEvent =
      std::function<void(const std::string& element, const std::string& attribute, const std::string& reason)>;

  TConfigInfo() = default;
  TConfigInfo(const TConfigInfo& source);
  TConfigInfo& operator=(const TConfigInfo& source);

  bool GutterVisible = false;
  bool GutterAutoSize = false;
  bool GutterLineNumbers = false;
  bool GutterStartAtZero = false;
  bool GutterLeadingZeros = false;
  TColor GutterColor = clBlack;
  TConfigFont GutterFont;
  TColor BackgroundColor = clBlack;
  TConfigFont EditorFont;
  std::int32_t TabWidth = 0;
  std::int32_t RightEdgeColumn = 0;
  TColor RightEdgeColor = clBlack;
  TColor SelectedColor = clBlack;
  TColor SelectedBackground = clBlack;
  std::vector<std::unique_ptr<TShortcutItem>> Shortcuts;

  // The configuration file text.
  std::string GetXML() const;
  // Reads a configuration file text; fields it does not mention keep their
  // values. A malformed colour raises EConvertError ("'v' is not a valid
  // integer value"), a "syn-" command that is not hexadecimal EConvertError
  // (with "$"), one above 65535 ERangeError; fields read before keep their
  // new values.
  void Parse(const std::string& text);
  // The same, but a malformed value goes to onError instead of ending the
  // reading: a colour keeps its current value, a "syn-" command stays as
  // written. Every other value is read as Parse reads it.
  void Parse(const std::string& text, const TValueErrorEvent& onError);

  // The binding at index, or nullptr outside the list.
  TShortcutItem* GetShortcut(int index) const;
  int ShortcutCount() const { return static_cast<int>(Shortcuts.size()); }
  void ClearShortcuts() { Shortcuts.clear(); }
  // Appends a new empty binding.
  TShortcutItem& AddShortcut();

  bool operator==(const TConfigInfo& other) const;
  bool operator!=(const TConfigInfo& other) const { return !(*this == other); }

private:
  class TReader;
};
