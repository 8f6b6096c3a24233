#include "editor/TTagCompleter.h"

#include <Qsci/qsciscintilla.h>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <vector>

#include "editor/TAutoCompleteForm.h"
#include "editor/TEditFrame.h"
#include "model/TFileType.h"
#include "text/EncodingDetection.h"

namespace {

using B = QsciScintillaBase;

// The pop-up opens this far right of and below the caret.
constexpr int PopupDistance = 8;

bool IsAsciiLetter(char c)
{
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

long MainCaretVirtualSpace(QsciScintilla& editor)
{
  long main = editor.SendScintilla(B::SCI_GETMAINSELECTION);
  return editor.SendScintilla(B::SCI_GETSELECTIONNCARETVIRTUALSPACE, static_cast<unsigned long>(main));
}

}  // namespace

TTagCompleter& TTagCompleter::Attach(TEditFrame& frame)
{
  if (TTagCompleter* existing = Of(frame)) return *existing;
  auto* completer = new TTagCompleter(frame);
  frame.OnKeyPress = [completer](TEditFrame&, char& key) { completer->SynEditKeyPress(key); };
  frame.OnTextEdit = [completer](TEditFrame&, long position) { completer->FScanCache.Edited(position); };
  return *completer;
}

TTagCompleter* TTagCompleter::Of(const TEditFrame& frame)
{
  return frame.findChild<TTagCompleter*>(QString(), Qt::FindDirectChildrenOnly);
}

TTagCompleter::TTagCompleter(TEditFrame& frame) : QObject(&frame), FFrame(frame) {}

bool TTagCompleter::Enabled() const
{
  return FFrame.FFileType && FFrame.FFileType->AutoComplete && !FFrame.SynEdit->isReadOnly();
}

// ---- the editor's lines and caret ---------------------------------------------------

std::string_view TTagCompleter::Line(long index) const
{
  QsciScintilla& e = *FFrame.SynEdit;
  if (index < 0 || index >= e.SendScintilla(B::SCI_GETLINECOUNT)) return {};
  long start = e.SendScintilla(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(index));
  long end = e.SendScintilla(B::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(index));
  if (end <= start) return {};
  // The component answers with a pointer into its buffer (a long holds it).
  const auto* text = reinterpret_cast<const char*>(
      e.SendScintilla(B::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
  return text ? std::string_view(text, static_cast<std::size_t>(end - start)) : std::string_view();
}

long TTagCompleter::CaretY() const
{
  QsciScintilla& e = *FFrame.SynEdit;
  long pos = e.SendScintilla(B::SCI_GETCURRENTPOS);
  return e.SendScintilla(B::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)) + 1;
}

long TTagCompleter::CaretX() const
{
  QsciScintilla& e = *FFrame.SynEdit;
  long pos = e.SendScintilla(B::SCI_GETCURRENTPOS);
  long line = e.SendScintilla(B::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
  long start = e.SendScintilla(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  return pos - start + MainCaretVirtualSpace(e) + 1;
}

void TTagCompleter::InsertInCaretLine(const std::string& text, long column)
{
  QsciScintilla& e = *FFrame.SynEdit;
  long line = CaretY() - 1;
  long start = e.SendScintilla(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  long length = e.SendScintilla(B::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line)) - start;
  long at = std::min(column - 1, length);
  // The same as replacing the line by InsertInLine(text, line, column), as
  // one small edit: the padding up to the column, then the text.
  std::string inserted = PadLine("", column - 1 - at) + text;
  e.SendScintilla(B::SCI_SETTARGETRANGE, static_cast<unsigned long>(start + at), start + at);
  e.SendScintilla(B::SCI_REPLACETARGET, static_cast<unsigned long>(inserted.size()), inserted.c_str());
  FFrame.MarkModified();
}

void TTagCompleter::SetCaretAt(long column, long offset)
{
  QsciScintilla& e = *FFrame.SynEdit;
  long line = CaretY() - 1;
  long start = e.SendScintilla(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
  e.SendScintilla(B::SCI_GOTOPOS, static_cast<unsigned long>(start + column - 1 + offset));
  e.SendScintilla(B::SCI_CHOOSECARETX);
}

TAutoCompleteForm* TTagCompleter::Popup() const
{
  return AutoCompleteForm;
}

// ---- key press -------------------------------------------------------------------

void TTagCompleter::SynEditKeyPress(char& key)
{
  if (!Enabled()) return;
  if (key == '>' && CharBeforeCaret(CaretLine(), CaretX()) != '/') {
    TTagContext context = GetTagContext();
    const std::string& name = context.TagName;
    if (context.InTag && !name.empty() && name[0] != '/' && name[0] != '?' && name[0] != '!') {
      long column = CaretX();
      bool inVirtualSpace = MainCaretVirtualSpace(*FFrame.SynEdit) > 0;
      InsertInCaretLine("</" + name + ">", column);
      // The editor types ">" at the caret, before the end tag; a caret that
      // stood beyond the line's end now stands on the padding.
      if (inVirtualSpace) SetCaretAt(column, 0);
    }
  } else if (key == '=') {
    TTagContext context = GetTagContext();
    if (context.InTag && !context.TagName.empty() && context.TagName[0] != '!') {
      long column = CaretX();
      InsertInCaretLine("=\"\"", column);
      SetCaretAt(column, 2);
      key = 0;
    }
  }
  AutoComplete(key);
}

TTagScanCache::TText TTagCompleter::ScanText() const
{
  QsciScintilla* e = FFrame.SynEdit;
  return TTagScanCache::TText{
      [this](long index) { return Line(index); },
      [e](long index) { return e->SendScintilla(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(index)); },
      [e](long position) { return e->SendScintilla(B::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position)); }};
}

TTagContext TTagCompleter::GetTagContext()
{
  return FScanCache.GetTagContext(ScanText(), CaretX(), CaretY());
}

std::string TTagCompleter::GetEnclosingElement()
{
  return FScanCache.GetEnclosingElement(ScanText(), CaretX(), CaretY());
}

void TTagCompleter::AutoComplete(char& key)
{
  TAutoCompleteForm* popup = Popup();
  if (!popup || !FFrame.FFileType) return;
  TAutoCompleteSchema& schema = *FFrame.FFileType->Schema;
  std::vector<std::string> items;
  if (key == '&') {
    popup->SetListCaption("Entities");
    items = schema.GetEntities();
  } else if (key == '<') {
    popup->SetListCaption("Elements");
    items = schema.GetChildren(GetEnclosingElement());
  } else if (IsAsciiLetter(key)) {
    TTagContext context = GetTagContext();
    const std::string& name = context.TagName;
    if (!context.InTag || name.empty() || name[0] == '/' || name[0] == '!') return;
    long column = CaretX();
    if (column != 1 && CharBeforeCaret(CaretLine(), column) != ' ') return;
    popup->SetListCaption("Attributes");
    items = schema.GetAttributes(name);
  } else {
    return;
  }
  if (items.empty()) return;
  // The schema's texts are bytes of its file; the pop-up offers them as the
  // editor's text.
  for (std::string& item : items) item = UnlabelledText(item);
  popup->GetItems().Assign(items);
  ShowCompletion(key);
}

void TTagCompleter::ShowCompletion(char& key)
{
  TAutoCompleteForm* popup = Popup();
  if (!popup) return;
  QsciScintilla& e = *FFrame.SynEdit;
  long pos = e.SendScintilla(B::SCI_GETCURRENTPOS);
  long x = e.SendScintilla(B::SCI_POINTXFROMPOSITION, 0UL, pos);
  long y = e.SendScintilla(B::SCI_POINTYFROMPOSITION, 0UL, pos);
  long virtualSpace = MainCaretVirtualSpace(e);
  if (virtualSpace > 0)
    x += virtualSpace * e.SendScintilla(B::SCI_TEXTWIDTH, static_cast<unsigned long>(B::STYLE_DEFAULT), " ");
  QPoint point = e.viewport()->mapToGlobal(QPoint(static_cast<int>(x) + PopupDistance,
                                                  static_cast<int>(y) + PopupDistance));
  QScreen* screen = QGuiApplication::screenAt(point);
  if (!screen) screen = e.screen();
  if (screen) {
    // Near the right or bottom edge of the work area the pop-up opens to the
    // left of, or above, the caret.
    QRect area = screen->availableGeometry();
    if (area.x() + area.width() < point.x() + popup->width()) point.rx() -= popup->width();
    if (area.y() + area.height() < point.y() + popup->height()) point.ry() -= popup->height();
  }

  std::string text(1, key);
  int offset = 0;
  QPointer<TEditFrame> frame(&FFrame);
  bool accepted = popup->Execute(point.x(), point.y(), offset, text);
  if (!frame || !accepted) return;
  long column = CaretX();
  if (!text.empty()) {
    InsertInCaretLine(text, column);
    SetCaretAt(column, offset);
  }
  key = 0;
}
