#pragma once
// Text scanning behind tag closing and autocompletion: where the caret stands
// in the markup, judged from the editor's lines around it. No parser is
// involved; everything works on bytes.
//
// Lines are addressed by index from 0; the caret by column CaretX and line
// CaretY, both counted from 1. The caret may stand beyond the end of its line.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The line with that index (0 = first line). An index past the last line
// gives an empty line.
using TLineAt = std::function<std::string_view(long index)>;

// What follows a "<":
//   0 exactly "?xml", 1 exactly "!DOCTYPE", 2 a comment ("!--..."),
//   3 any other processing instruction ("?..."), 4 a start tag,
//   5 an end tag ("/..."), 6 empty or any other "!..." text.
enum class TTagKind : std::uint8_t {
  XmlDecl = 0,
  DocType = 1,
  Comment = 2,
  PI = 3,
  StartTag = 4,
  EndTag = 5,
  Other = 6
};
TTagKind ClassifyTag(std::string_view tag);

// The line followed by blanks up to length; unchanged when already as long.
std::string PadLine(std::string_view line, long length);
// The line padded to column - 1 characters with text inserted before the
// character at column (from 1): the text begins exactly at that column.
std::string InsertInLine(std::string_view text, std::string_view line, long column);

// The character before the caret, from the caret line padded with blanks;
// 0 when the caret is in column 1.
char CharBeforeCaret(std::string_view caretLine, long caretX);

// Is the caret inside a tag, and which one.
struct TTagContext {
  bool InTag = false;
  std::string TagName; // up to the caret or the first blank or control character
};

// Walks back from the caret to the nearest "<" or ">", line by line up to
// the first line. Double quotes are counted on the way: an odd number between
// "<" and the caret means the caret is inside an attribute value, which is
// outside any tag.
TTagContext GetTagContext(const TLineAt& lines, long caretX, long caretY);
// One line of that walk, from position start (1-based) down to 1. Returns
// whether the line decided; quotes carries over from line to line.
bool ScanBackForTag(std::string_view line, long start, long& quotes, TTagContext& context);
// The steps of that walk for a part of a line: FindTagMark walks from start
// down to position stop (1-based), counting quotes, and gives the position of
// the "<" or ">" met, 0 when none; DecideTagContext judges that mark at p with
// the quotes counted up to it, start being where the walk on that line began.
long FindTagMark(std::string_view line, long start, long stop, long& quotes);
void DecideTagContext(std::string_view line, long p, long start, long quotes, TTagContext& context);

// The innermost element open at the caret: start tags are matched against the
// end tags met on the way back (exact names), empty-element tags skipped.
// Quotes, comments and character data are not considered. Empty when none.
std::string GetEnclosingElement(const TLineAt& lines, long caretX, long caretY);

// The tag-name stack of that search.
using TTagStack = std::vector<std::string>;
void StackPush(TTagStack& stack, const std::string& name);
std::string StackTop(const TTagStack& stack); // empty text when empty
void StackPop(TTagStack& stack);              // nothing when empty

// One line of that search; stack and emptyPending carry over from line to
// line. Returns whether the result was found.
bool ScanBackForOpenElement(std::string_view line, long start, TTagStack& stack, bool& emptyPending,
                            std::string& result);
// The step of that search for a part of a line: walks from position from
// down to position stop (1-based) and stops at the first start tag that does
// not pop the stack, giving its position and its text (tag); 0 when the walk
// reached stop without one. Tag texts end at start at the latest, the
// position where the walk on that line began.
long WalkBackToStartTag(std::string_view line, long from, long start, long stop, TTagStack& stack,
                        bool& emptyPending, std::string& tag);
