#pragma once
// Tag closing and autocompletion for one editor frame. It sees every typed
// ASCII character before the editor inserts it (TEditFrame::OnKeyPress) and,
// while the frame's document type has AutoComplete on:
//   ">" after a start-tag name    inserts the end tag after the caret: '<b' >
//                                 gives '<b>' caret '</b>';
//   "=" after a name inside a tag types '=""' with the caret between the quotes;
//   "&"                           offers the schema's entities;
//   "<"                           offers the children of the enclosing element;
//   a letter after a blank inside a start tag offers the tag's attributes.
// The offers open the pop-up AutoCompleteForm at the caret; its accepted text
// takes the place of the typed key, Escape lets the key through as typed.
//
// Caret columns count from 1 in bytes of the editor's UTF-8 text, virtual
// space (beyond the end of the line) included; the markup characters looked
// for are ASCII, which never occur inside another character's bytes.

#include <QObject>
#include <string>
#include <string_view>

#include "editor/TTagScanCache.h"
#include "editor/TagScanning.h"

class TAutoCompleteForm;
class TEditFrame;

class TTagCompleter : public QObject {
  Q_OBJECT
public:
  // Gives the frame its completer (one per frame, owned by the frame) and
  // routes the frame's typed keys to it. The frame's type is read at every
  // key, so a type switched on or off later takes effect at once.
  static TTagCompleter& Attach(TEditFrame& frame);
  // The frame's completer, nullptr before Attach.
  static TTagCompleter* Of(const TEditFrame& frame);

  explicit TTagCompleter(TEditFrame& frame);

  // The typed key K: unchanged lets the editor type it, 0 drops it.
  void SynEditKeyPress(char& key);

  // The searches of TagScanning at the caret; what they learnt about the
  // text well before the caret is kept until an edit reaches it.
  TTagContext GetTagContext();
  std::string GetEnclosingElement();
  // Offers the entities, children or attributes for K.
  void AutoComplete(char& key);
  // Runs the pop-up at the caret and inserts what it returns.
  void ShowCompletion(char& key);

  long CaretX() const;
  long CaretY() const;

private:
  bool Enabled() const;
  std::string_view Line(long index) const;
  std::string_view CaretLine() const { return Line(CaretY() - 1); }
  // Inserts text on the caret line so that it begins at column (the line
  // padded with blanks up to there); the document becomes modified.
  void InsertInCaretLine(const std::string& text, long column);
  // Puts the caret at that byte offset from column of the caret line.
  void SetCaretAt(long column, long offset);
  TAutoCompleteForm* Popup() const;
  TTagScanCache::TText ScanText() const;

  TEditFrame& FFrame;
  TTagScanCache FScanCache;
};
