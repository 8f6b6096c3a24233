#include "editor/TEditorText.h"

#include <Qsci/qsciscintilla.h>
#include <QAccessible>
#include <QAccessibleWidget>

#include "editor/TScratchFile.h"

namespace {

using B = QsciScintillaBase;

// Room left after a loaded text for what is typed and pasted: without it
// the first key typed has the editor copy the whole text into a larger
// buffer (60 ms at 50 MB).
constexpr std::size_t EditingRoom = 1 << 20;

// Decoded text goes straight to the end of the editor's text.
class TEditorSink : public TTextSink {
public:
  explicit TEditorSink(QsciScintilla& editor) : FEditor(editor) {}
  void Reserve(std::size_t size) override
  {
    FEditor.SendScintilla(B::SCI_ALLOCATE, static_cast<unsigned long>(size + 1 + EditingRoom));
  }
  void Append(const char* text, std::size_t size) override
  {
    FEditor.SendScintilla(B::SCI_APPENDTEXT, static_cast<uintptr_t>(size), text);
  }
  void Clear() override { FEditor.SendScintilla(B::SCI_CLEARALL); }

private:
  QsciScintilla& FEditor;
};

// Keeps the editor from recording and reporting the changes of loading.
class TQuietLoad {
public:
  explicit TQuietLoad(QsciScintilla& editor)
      : FEditor(editor), FReadOnly(editor.isReadOnly()), FEventMask(editor.SendScintilla(B::SCI_GETMODEVENTMASK))
  {
    FEditor.setReadOnly(false);
    FEditor.SendScintilla(B::SCI_SETUNDOCOLLECTION, 0L);
    // No change notifications: the component copies the text of each one
    // and handles it at a cost that grows with the document.
    FEditor.SendScintilla(B::SCI_SETMODEVENTMASK, 0L);
  }
  ~TQuietLoad()
  {
    FEditor.SendScintilla(B::SCI_SETMODEVENTMASK, FEventMask);
    FEditor.SendScintilla(B::SCI_SETUNDOCOLLECTION, 1L);
    FEditor.SendScintilla(B::SCI_EMPTYUNDOBUFFER);
    FEditor.SendScintilla(B::SCI_SETSAVEPOINT);
    FEditor.SendScintilla(B::SCI_GOTOPOS, 0L);
    FEditor.setReadOnly(FReadOnly);
  }
  TQuietLoad(const TQuietLoad&) = delete;
  TQuietLoad& operator=(const TQuietLoad&) = delete;

private:
  QsciScintilla& FEditor;
  bool FReadOnly;
  long FEventMask;
};

// The notifications of changes the editor sends: that an insertion or
// deletion is about to happen, folding and markers. Insertions and deletions
// themselves (and the undo and redo steps, which carry the same bits) would
// each have the component's accessibility support count characters from the
// start of the document.
constexpr long EditEventMask = B::SC_MOD_BEFOREINSERT | B::SC_MOD_BEFOREDELETE | B::SC_MOD_CHANGEFOLD |
                               B::SC_MOD_CHANGEMARKER | B::SC_MOD_CHANGEMARGIN;

QAccessibleInterface* PlainAccessible(const QString& className, QObject* object)
{
  if (className == QLatin1String("QsciScintillaBase") && object && object->isWidgetType())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
  return nullptr;
}

// The last factory installed is asked first: installed once the component
// has installed its own (with its first editor), it answers for every editor.
void InstallPlainAccessible()
{
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(PlainAccessible);
}

int EolMode(TLineEnd lineEnd)
{
  switch (lineEnd) {
    case TLineEnd::CRLF: return B::SC_EOL_CRLF;
    case TLineEnd::CR: return B::SC_EOL_CR;
    case TLineEnd::LF: break;
  }
  return B::SC_EOL_LF;
}

}  // namespace

TEditorText::TEditorText(QsciScintilla& editor) : FEditor(editor)
{
  InstallPlainAccessible();
  FEditor.SendScintilla(B::SCI_SETMODEVENTMASK, EditEventMask);
  QObject::connect(&FEditor, &QsciScintillaBase::SCN_MODIFIED, &FEditor,
                   [this](int position, int type, const char*, int, int, int, int, int, int, int) {
                     if ((type & (B::SC_MOD_BEFOREINSERT | B::SC_MOD_BEFOREDELETE)) && OnEdit) OnEdit(position);
                   });
  FEditor.setUtf8(true);
  FEditor.SendScintilla(B::SCI_SETCODEPAGE, static_cast<long>(B::SC_CP_UTF8));
  ApplyLineEnd();
}

void TEditorText::Reset()
{
  FModel.Reset();
  ApplyLineEnd();
}

std::string TEditorText::Load(const std::string& bytes)
{
  std::string warning;
  {
    TQuietLoad quiet(FEditor);
    FEditor.SendScintilla(B::SCI_CLEARALL);
    TEditorSink sink(FEditor);
    warning = FModel.Load(bytes, sink);
  }
  ApplyLineEnd();
  return warning;
}

std::string_view TEditorText::Text() const
{
  const auto* text = static_cast<const char*>(FEditor.SendScintillaPtrResult(B::SCI_GETCHARACTERPOINTER));
  auto size = static_cast<std::size_t>(FEditor.SendScintilla(B::SCI_GETLENGTH));
  return text ? std::string_view(text, size) : std::string_view();
}

TSaveBytes TEditorText::SaveBytes() const
{
  std::string_view text = Text();
  return FModel.SaveBytes(text.data(), text.size());
}

std::string TEditorText::Bytes() const
{
  return SaveBytes().Bytes;
}

void TEditorText::WriteTo(TScratchFile& file) const
{
  std::string_view text = Text();
  FModel.Write(text.data(), text.size(), [&file](const char* bytes, std::size_t size) { file.Write(bytes, size); });
}

void TEditorText::WriteAsUtf8To(TScratchFile& file) const
{
  std::string_view text = Text();
  FModel.WriteAsUtf8(text.data(), text.size(), [&file](const char* bytes, std::size_t size) { file.Write(bytes, size); });
}

void TEditorText::Saved(const TSaveBytes& saved)
{
  std::string_view text = Text();
  FModel.Saved(saved, text.data(), text.size());
  // What is typed after the save is an undo step of its own: one Undo does
  // not take back text the file holds.
  FEditor.SendScintilla(B::SCI_SETSAVEPOINT);
}

void TEditorText::ApplyLineEnd()
{
  FEditor.SendScintilla(B::SCI_SETEOLMODE, static_cast<long>(EolMode(FModel.Format().LineEnd)));
}
