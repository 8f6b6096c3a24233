#include "editor/EditorCommandSupport.h"

// Letter case: upper, lower, toggled and title case of the selection or of the
// word at the caret.

#include <utility>
#include <vector>

#include "text/Utf8.h"

namespace editorcommands {
namespace {

// ---- letter case --------------------------------------------------------

enum class TCaseChange { Upper, Lower, Toggle, Title };

// The editor's text is UTF-8: characters change case one by one. One whose
// other case is written with another number of bytes (or is two letters,
// as the capital of "\u00DF") stays as it is, so every position keeps its
// place; so does a byte that is no character.
char32_t ToCase(char32_t c, bool upper)
{
  return upper ? QChar::toUpper(c) : QChar::toLower(c);
}

bool IsASCIILetterOrDigit(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// An ASCII character in the new case; as ToCase for it.
char ChangeASCIICase(char c, TCaseChange change, bool inWord)
{
  const bool lower = c >= 'a' && c <= 'z';
  const bool upper = c >= 'A' && c <= 'Z';
  bool toUpper = false;
  switch (change) {
    case TCaseChange::Upper: toUpper = true; break;
    case TCaseChange::Lower: toUpper = false; break;
    case TCaseChange::Toggle: toUpper = !upper; break;
    case TCaseChange::Title: toUpper = !inWord; break;
  }
  if (toUpper && lower) return static_cast<char>(c - 'a' + 'A');
  if (!toUpper && upper) return static_cast<char>(c - 'A' + 'a');
  return c;
}

std::string ChangeCase(const std::string& text, TCaseChange change, bool wordBefore)
{
  std::string result;
  result.reserve(text.size());
  bool inWord = wordBefore;
  for (std::size_t i = 0; i < text.size();) {
    // ASCII, most of any text, without decoding and encoding.
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      result += ChangeASCIICase(text[i], change, inWord);
      inWord = IsASCIILetterOrDigit(text[i++]);
      continue;
    }
    std::size_t length = Utf8SequenceLength(text.data() + i, text.size() - i);
    if (length == 0) {
      result += text[i++];
      inWord = false;
      continue;
    }
    char32_t c = DecodeUtf8(text.data() + i, length);
    char32_t changed = c;
    switch (change) {
      case TCaseChange::Upper: changed = ToCase(c, true); break;
      case TCaseChange::Lower: changed = ToCase(c, false); break;
      case TCaseChange::Toggle: changed = ToCase(c, !QChar::isUpper(c)); break;
      case TCaseChange::Title: changed = ToCase(c, !inWord); break;
    }
    std::string encoded = EncodeUtf8(changed);
    if (encoded.size() == length)
      result += encoded;
    else
      result.append(text, i, length);
    inWord = QChar::isLetterOrNumber(c);
    i += length;
  }
  return result;
}

// Whether the character before pos is a letter or digit.
bool WordBefore(QsciScintilla& e, long pos)
{
  if (pos <= 0) return false;
  long before = Send(e, B::SCI_POSITIONBEFORE, pos);
  std::string text = TextRange(e, before, pos);
  std::size_t length = Utf8SequenceLength(text.data(), text.size());
  return length > 0 && QChar::isLetterOrNumber(DecodeUtf8(text.data(), length));
}

// The word at the caret, else the word before it.
bool WordAtCaret(QsciScintilla& e, long& start, long& end)
{
  long pos = Caret(e);
  start = Send(e, B::SCI_WORDSTARTPOSITION, pos, 1);
  end = Send(e, B::SCI_WORDENDPOSITION, pos, 1);
  if (start < end) return true;
  long p = pos;
  while (p > 0 && Send(e, B::SCI_WORDSTARTPOSITION, p, 1) == p) --p;
  if (p == 0) return false;
  start = Send(e, B::SCI_WORDSTARTPOSITION, p, 1);
  end = Send(e, B::SCI_WORDENDPOSITION, p, 1);
  return start < end;
}

template <TCaseChange Change>
void CaseHandler(TEditorCommandArgs& a)
{
  QsciScintilla& e = a.Editor;
  std::vector<std::pair<long, long>> ranges;
  long selections = Send(e, B::SCI_GETSELECTIONS);
  for (long i = 0; i < selections; ++i) {
    long start = Send(e, B::SCI_GETSELECTIONNSTART, i);
    long end = Send(e, B::SCI_GETSELECTIONNEND, i);
    if (start < end) ranges.emplace_back(start, end);
  }
  long start = 0;
  long end = 0;
  if (ranges.empty() && WordAtCaret(e, start, end)) ranges.emplace_back(start, end);
  if (ranges.empty()) return;

  bool rectangular = IsRectangular(e);
  long anchor = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONANCHOR) : Anchor(e);
  long caret = rectangular ? Send(e, B::SCI_GETRECTANGULARSELECTIONCARET) : Caret(e);
  Send(e, B::SCI_BEGINUNDOACTION);
  for (const auto& [from, to] : ranges) {
    std::string text = TextRange(e, from, to);
    bool wordBefore = WordBefore(e, from);
    std::string changed = ChangeCase(text, Change, wordBefore);
    if (changed == text) continue;
    Send(e, B::SCI_SETTARGETRANGE, from, to);
    e.SendScintilla(B::SCI_REPLACETARGET, static_cast<uintptr_t>(changed.size()), changed.data());
  }
  Send(e, B::SCI_ENDUNDOACTION);
  if (rectangular) {
    Send(e, B::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
    Send(e, B::SCI_SETRECTANGULARSELECTIONCARET, caret);
  } else {
    Send(e, B::SCI_SETSEL, anchor, caret);
  }
}

const TEntry Entries[] = {
    {ecUpperCase, CaseHandler<TCaseChange::Upper>},
    {ecLowerCase, CaseHandler<TCaseChange::Lower>},
    {ecToggleCase, CaseHandler<TCaseChange::Toggle>},
    {ecTitleCase, CaseHandler<TCaseChange::Title>},
};

}  // namespace

TGroup CaseCommands()
{
  return Group(Entries);
}

}  // namespace editorcommands
