#include "editor/TEditFrame.h"

// The editor frame's display: the editor control, its look and configuration,
// the highlighter, the editor's events and the line numbers. The document
// (reading, writing, working copy) is in TEditFrameDocument.cpp, the keyboard
// in TEditFrameKeys.cpp.

#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintilla.h>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/TTagCompleter.h"
#include "model/ModelModule.h"
#include "model/TConfigInfo.h"
#include "model/TFileType.h"
#include "platform/ConfigValues.h"
#include "platform/Prompter.h"
#include "platform/VirtualKeys.h"
#include "resource/ProgramFile.h"

namespace {

using B = QsciScintillaBase;

// Margins of the gutter: bookmarks, then line numbers.
constexpr int BookmarkMargin = 0;
constexpr int NumberMargin = 1;
constexpr int FoldMargin = 2;
constexpr int BookmarkMarginWidth = 16;
constexpr int NumberMarginPadding = 8;
// Digits the line-number margin has room for at least.
constexpr int MinNumberDigits = 4;

// The word characters among ASCII: letters, digits and "_"; CSS adds "-", so
// hyphenated words (font-size) are one word. Beyond ASCII the editor takes
// letters and digits of any script as word characters.
std::string WordCharacters(bool css)
{
  std::string chars = "_0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (css) chars += '-';
  return chars;
}

int DigitCount(long number)
{
  int digits = 1;
  while (number >= 10) {
    number /= 10;
    ++digits;
  }
  return digits;
}

class TFlagGuard {
public:
  explicit TFlagGuard(bool& flag) : Flag_(flag) { Flag_ = true; }
  ~TFlagGuard() { Flag_ = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& Flag_;
};

}  // namespace

// The configured look of the editor, kept to dress every new highlighter.
struct TEditFrame::TLook {
  QFont EditorFont;
  QColor FontColor;
  QColor Background;
  QFont GutterFont;
  QColor GutterFontColor;
  QColor GutterColor;
  bool GutterVisible = true;
  bool GutterAutoSize = false;
  bool GutterLineNumbers = true;
  bool GutterStartAtZero = false;
  bool GutterLeadingZeros = false;
  // What the line-number margin shows now.
  int NumberDigits = 0;
  long NumberedFirst = -1;
  long NumberedLast = -1;
  long NumberedLineCount = -1;

  bool CustomNumbers() const { return GutterStartAtZero || GutterLeadingZeros; }
};

std::unique_ptr<QsciLexer> CreateHighlighter(const std::string& name)
{
  if (name == "XML") return std::make_unique<QsciLexerXML>();
  if (name == "PHP") return std::make_unique<QsciLexerHTML>();
  if (name == "CSS") return std::make_unique<QsciLexerCSS>();
  return nullptr;
}

TEditFrame::TEditFrame(QWidget* parent)
    : TFrame(parent),
      SynEdit(new QsciScintilla(this)),
      FURL("file:" + ProgramFolder()),
      FLastBackup(Now()),
      FText(*SynEdit),
      FLook(std::make_unique<TLook>()),
      FWorkingCopy([this] { return FURL.Protocol == TURLProtocol::file ? FURL.GetNativeName() : std::string(); })
{
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(SynEdit);

  SynEdit->setFrameShape(QFrame::NoFrame);
  SynEdit->setIndentationsUseTabs(false);
  SynEdit->setAutoIndent(true);
  SynEdit->SendScintilla(B::SCI_SETTABINDENTS, 0L);
  SynEdit->SendScintilla(B::SCI_SETBACKSPACEUNINDENTS, 0L);
  SynEdit->SendScintilla(B::SCI_SETVIRTUALSPACEOPTIONS,
                         static_cast<long>(B::SCVS_RECTANGULARSELECTION | B::SCVS_USERACCESSIBLE));
  SynEdit->setContextMenuPolicy(Qt::NoContextMenu);

  FLook->EditorFont = QFont("Courier New");
  FLook->EditorFont.setStyleHint(QFont::TypeWriter);
  FLook->EditorFont.setPixelSize(13);
  FLook->GutterFont = QFont("Terminal");
  FLook->GutterFont.setStyleHint(QFont::TypeWriter);
  FLook->GutterFont.setPixelSize(11);
  DefineBookmarkMarkers(*SynEdit);
  ApplyLook();
  ApplyGutter();

  FText.OnEdit = [this](long position) { SynEditChange(position); };
  connect(SynEdit, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
    if (updated & (B::SC_UPDATE_SELECTION | B::SC_UPDATE_CONTENT)) SynEditStatusChange();
    UpdateLineNumbers();
  });
  connect(SynEdit, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (FPopupMenu) FPopupMenu->popup(SynEdit->mapToGlobal(pos));
  });
  FCommandState.OnContextHelp = [this] { SynEditContextHelp(); };
  FCommandState.OnModeChange = [this] { SynEditStatusChange(); };
  SynEdit->installEventFilter(this);
}

TEditFrame::~TEditFrame()
{
  SynEdit->removeEventFilter(this);
  SynEdit->setLexer(nullptr);
  DeleteBackup();
}

// ---- context menu ------------------------------------------------------------

void TEditFrame::SetPopupMenu(QMenu* menu)
{
  FPopupMenu = menu;
  SynEdit->setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::NoContextMenu);
}

// ---- text --------------------------------------------------------------------

void TEditFrame::SetText(const std::string& bytes)
{
  std::string warning;
  {
    TFlagGuard loading(FLoading);
    warning = FText.Load(bytes);
  }
  if (OnTextEdit) OnTextEdit(*this, 0);
  FCommandState.LineAnchor = -1;
  FLook->NumberedFirst = -1;
  UpdateLineNumbers();
  if (!warning.empty()) Prompter().ShowMessage(QString::fromStdString(GetTitle() + ": " + warning));
}

// ---- editor events -------------------------------------------------------------

void TEditFrame::SynEditChange(long position)
{
  // An edit over several lines drops the numbers the margin shows for them.
  FLook->NumberedFirst = -1;
  if (!FLoading) MarkModified();
  if (OnTextEdit) OnTextEdit(*this, position);
}

void TEditFrame::SynEditStatusChange()
{
  if (OnStatusChange) OnStatusChange(*this);
}

void TEditFrame::SynEditContextHelp()
{
  if (OnContextHelp) OnContextHelp(*this);
}

bool TEditFrame::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SynEdit) {
    switch (event->type()) {
      case QEvent::KeyPress:
        return SynEditKeyDown(*static_cast<QKeyEvent*>(event));
      case QEvent::ShortcutOverride:
        // The second stroke of a sequence belongs to the editor, whatever
        // menu shortcut it also is.
        if (FKeyReader.Pending() && !IsModifierKey(static_cast<QKeyEvent*>(event)->key())) {
          event->accept();
          return true;
        }
        break;
      case QEvent::Resize:
        FLook->NumberedFirst = -1;
        break;
      default:
        break;
    }
  }
  return TFrame::eventFilter(watched, event);
}

// ---- highlighter and configuration ------------------------------------------------

void TEditFrame::SetFileType(TFileType* fileType)
{
  FFileType = fileType;
  // Tag closing and autocompletion follow the type (its AutoComplete flag).
  if (fileType) TTagCompleter::Attach(*this);
  SynEdit->setLexer(nullptr);
  FHighlighter.reset();
  FHighlighter = CreateHighlighter(fileType ? fileType->Highlighter : std::string());
  if (FHighlighter) SynEdit->setLexer(FHighlighter.get());
  static const std::string plainWords = WordCharacters(false);
  static const std::string cssWords = WordCharacters(true);
  bool css = qobject_cast<QsciLexerCSS*>(FHighlighter.get()) != nullptr;
  SynEdit->SendScintilla(B::SCI_SETWORDCHARS, 0UL, (css ? cssWords : plainWords).c_str());
  FText.Model().SetMarkup(DocumentMarkup(fileType));
  ApplyLook();
  ApplyGutter();
}

void TEditFrame::ApplyConfig()
{
  ApplyConfig(ConfigInfo());
}

void TEditFrame::ApplyConfig(const TConfigInfo& config)
{
  SynEdit->SendScintilla(B::SCI_CLEARALLCMDKEYS);
  FConfigured = true;
  FKeyBindings.Clear();
  FKeyReader.Reset();
  for (int i = 0; i < config.ShortcutCount(); ++i) {
    const TShortcutItem* item = config.GetShortcut(i);
    if (!item->IsEditorCommand()) continue;
    if (!FKeyBindings.Add(item->Key, item->Key2, item->GetEditorCommand()))
      Prompter().ShowMessage("Couldn't add editor shortcut: " + QString::fromStdString(item->Command));
  }

  TLook& look = *FLook;
  look.GutterVisible = config.GutterVisible;
  look.GutterAutoSize = config.GutterAutoSize;
  look.GutterLineNumbers = config.GutterLineNumbers;
  look.GutterStartAtZero = config.GutterStartAtZero;
  look.GutterLeadingZeros = config.GutterLeadingZeros;
  look.GutterColor = QColorFromConfig(config.GutterColor);
  look.GutterFont = QFontFromConfig(config.GutterFont);
  look.GutterFontColor = QColorFromConfig(config.GutterFont.Color);
  look.Background = QColorFromConfig(config.BackgroundColor);
  look.EditorFont = QFontFromConfig(config.EditorFont);
  look.FontColor = QColorFromConfig(config.EditorFont.Color);

  SynEdit->setTabWidth(std::max(1, static_cast<int>(config.TabWidth)));
  SynEdit->setEdgeMode(config.RightEdgeColumn > 0 ? QsciScintilla::EdgeLine : QsciScintilla::EdgeNone);
  SynEdit->setEdgeColumn(std::max(0, static_cast<int>(config.RightEdgeColumn)));
  QColor edge = QColorFromConfig(config.RightEdgeColor);
  if (edge.isValid()) SynEdit->setEdgeColor(edge);
  QColor selectedText = QColorFromConfig(config.SelectedColor);
  if (selectedText.isValid())
    SynEdit->setSelectionForegroundColor(selectedText);
  else
    SynEdit->resetSelectionForegroundColor();
  QColor selectedBack = QColorFromConfig(config.SelectedBackground);
  if (selectedBack.isValid())
    SynEdit->setSelectionBackgroundColor(selectedBack);
  else
    SynEdit->resetSelectionBackgroundColor();
  ApplyLook();
  ApplyGutter();
}

// Font and colours of the text; a highlighter keeps its colours and the
// bold and italic of its styles.
void TEditFrame::ApplyLook()
{
  const TLook& look = *FLook;
  if (QsciLexer* lexer = FHighlighter.get()) {
    QColor defaultPaper = lexer->defaultPaper();
    for (int style = 0; style < 128; ++style) {
      if (lexer->description(style).isEmpty()) continue;
      QFont font = look.EditorFont;
      QFont styleFont = lexer->defaultFont(style);
      font.setBold(look.EditorFont.bold() || styleFont.bold());
      font.setItalic(look.EditorFont.italic() || styleFont.italic());
      lexer->setFont(font, style);
      if (look.Background.isValid() && lexer->defaultPaper(style) == defaultPaper)
        lexer->setPaper(look.Background, style);
    }
    lexer->setDefaultFont(look.EditorFont);
    if (look.Background.isValid()) lexer->setDefaultPaper(look.Background);
  } else {
    SynEdit->setFont(look.EditorFont);
    if (look.FontColor.isValid()) {
      SynEdit->setColor(look.FontColor);
      SynEdit->SendScintilla(B::SCI_STYLESETFORE, static_cast<unsigned long>(B::STYLE_DEFAULT), look.FontColor);
    }
    if (look.Background.isValid()) SynEdit->setPaper(look.Background);
  }
}

void TEditFrame::ApplyGutter()
{
  TLook& look = *FLook;
  QsciScintilla& e = *SynEdit;
  e.setMarginsFont(look.GutterFont);
  if (look.GutterFontColor.isValid()) e.setMarginsForegroundColor(look.GutterFontColor);
  if (look.GutterColor.isValid()) e.setMarginsBackgroundColor(look.GutterColor);

  e.SendScintilla(B::SCI_SETMARGINTYPEN, BookmarkMargin, static_cast<long>(B::SC_MARGIN_COLOUR));
  if (look.GutterColor.isValid()) e.SendScintilla(B::SCI_SETMARGINBACKN, BookmarkMargin, look.GutterColor);
  e.SendScintilla(B::SCI_SETMARGINMASKN, BookmarkMargin, static_cast<long>(BookmarkMarkerMask));
  e.SendScintilla(B::SCI_SETMARGINWIDTHN, BookmarkMargin, look.GutterVisible ? BookmarkMarginWidth : 0L);

  e.SendScintilla(B::SCI_MARGINTEXTCLEARALL);
  e.SendScintilla(B::SCI_SETMARGINTYPEN, NumberMargin,
                  static_cast<long>(look.CustomNumbers() ? B::SC_MARGIN_RTEXT : B::SC_MARGIN_NUMBER));
  e.SendScintilla(B::SCI_SETMARGINMASKN, NumberMargin, 0L);
  e.SendScintilla(B::SCI_SETMARGINWIDTHN, FoldMargin, 0L);
  look.NumberDigits = 0;
  look.NumberedFirst = -1;
  UpdateLineNumbers();
}

// Keeps the width of the line-number margin and, for numbers the editor
// cannot draw itself (counted from zero, leading zeros), the numbers of the
// lines in view.
void TEditFrame::UpdateLineNumbers()
{
  TLook& look = *FLook;
  QsciScintilla& e = *SynEdit;
  bool shown = look.GutterVisible && look.GutterLineNumbers;
  long lines = e.SendScintilla(B::SCI_GETLINECOUNT);
  long highest = look.GutterStartAtZero ? lines - 1 : lines;
  int digits = look.GutterAutoSize ? std::max(MinNumberDigits, DigitCount(highest)) : MinNumberDigits;
  if (digits != look.NumberDigits) {
    look.NumberDigits = digits;
    look.NumberedFirst = -1;
    long width = 0;
    if (shown) {
      std::string nines(static_cast<std::size_t>(digits), '9');
      width = e.SendScintilla(B::SCI_TEXTWIDTH, static_cast<unsigned long>(B::STYLE_LINENUMBER), nines.c_str()) +
              NumberMarginPadding;
    }
    e.SendScintilla(B::SCI_SETMARGINWIDTHN, NumberMargin, width);
  }
  if (!shown || !look.CustomNumbers()) return;

  long first = e.SendScintilla(B::SCI_DOCLINEFROMVISIBLE, e.SendScintilla(B::SCI_GETFIRSTVISIBLELINE));
  long last = std::min(lines - 1, first + e.SendScintilla(B::SCI_LINESONSCREEN) + 1);
  if (first == look.NumberedFirst && last == look.NumberedLast && lines == look.NumberedLineCount) return;
  look.NumberedFirst = first;
  look.NumberedLast = last;
  look.NumberedLineCount = lines;
  for (long line = first; line <= last; ++line) {
    std::string number = std::to_string(look.GutterStartAtZero ? line : line + 1);
    if (look.GutterLeadingZeros && number.size() < static_cast<std::size_t>(digits))
      number.insert(0, static_cast<std::size_t>(digits) - number.size(), '0');
    e.SendScintilla(B::SCI_MARGINSETTEXT, static_cast<uintptr_t>(line), number.c_str());
    e.SendScintilla(B::SCI_MARGINSETSTYLE, line, static_cast<long>(B::STYLE_LINENUMBER));
  }
}
