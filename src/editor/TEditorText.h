#pragma once
// The document's text in an editor control: the text model (TDocumentText)
// applied to QScintilla.
//
// The editor runs in UTF-8 mode and holds the document decoded to UTF-8, its
// line ends untouched; bytes the encoding does not define stay as they are
// and show as small boxes. Text goes in and out through the SCI_ messages
// only (QsciScintilla::text() and setText() go through QString, which loses
// invalid bytes and everything after a NUL). Enter inserts the document's
// line end.
//
// Edits are seen without the component's accessibility support, which
// counts the characters from the start of the document on every insertion,
// deletion and caret move: editors get a plain accessible (no text
// interface), and the component notifies only that an insertion or deletion
// is about to happen (OnEdit), not the change itself.

#include <functional>
#include <string>
#include <string_view>

#include "text/TDocumentText.h"

class QsciScintilla;
class TScratchFile;

class TEditorText {
public:
  // Sets the editor up for UTF-8 text with LF line ends.
  explicit TEditorText(QsciScintilla& editor);

  // Raised before every insertion and deletion, typed, pasted, undone or
  // made by a command alike (loading excepted), with the position where it
  // begins (from 0).
  std::function<void(long position)> OnEdit;

  TDocumentText& Model() { return FModel; }
  const TDocumentText& Model() const { return FModel; }

  // A new document: UTF-8, LF. The editor's text is not touched.
  void Reset();
  // Replaces the editor's text by the document bytes decode to. Not an edit:
  // no undo history, no change notifications, the editor is unmodified.
  // Returns a warning for the user, or an empty text.
  std::string Load(const std::string& bytes);

  // The editor's text as it holds it (valid until the next edit).
  std::string_view Text() const;
  // The bytes Save writes, checked to open again as the text, with the
  // document's format once they are written. Raises ETextEncodingError.
  TSaveBytes SaveBytes() const;
  // The bytes alone.
  std::string Bytes() const;
  // Writes those bytes into a file as they are made; raises
  // ETextEncodingError (writing nothing) when they cannot be made.
  void WriteTo(TScratchFile& file) const;
  // The text as UTF-8 into a file, for a working copy of a text Save
  // refuses (TDocumentText::WriteAsUtf8).
  void WriteAsUtf8To(TScratchFile& file) const;
  // After the bytes were written: their format becomes the document's, and
  // the editor's save point is set (typing after it starts a new undo step).
  void Saved(const TSaveBytes& saved);

private:
  void ApplyLineEnd();

  QsciScintilla& FEditor;
  TDocumentText FModel;
};
