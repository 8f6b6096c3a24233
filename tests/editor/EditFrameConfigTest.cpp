// Highlighters and the editor configuration of the editor frame.

#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerxml.h>

#include "EditFrameFixture.h"
#include "model/TFileType.h"
#include "platform/ConfigValues.h"

namespace {

using B = QsciScintillaBase;

std::unique_ptr<TFileType> TypeWith(const std::string& highlighter)
{
  auto type = std::make_unique<TFileType>("test.config");
  type->Highlighter = highlighter;
  return type;
}

std::string MarginText(QsciScintilla& editor, int line)
{
  long size = editor.SendScintilla(B::SCI_MARGINGETTEXT, line, static_cast<long>(0));
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  editor.SendScintilla(B::SCI_MARGINGETTEXT, static_cast<unsigned long>(line), static_cast<void*>(text.data()));
  text.resize(static_cast<std::size_t>(size));
  return text;
}

long Bgr(int r, int g, int b) { return r + 256L * g + 65536L * b; }

}  // namespace

using EditFrameConfig = EditFrameFixture;

// ---- highlighters ---------------------------------------------------------------

TEST(Highlighters, OnlyTheThreeExactNamesMakeOne)
{
  EXPECT_TRUE(qobject_cast<QsciLexerXML*>(CreateHighlighter("XML").get()));
  EXPECT_TRUE(qobject_cast<QsciLexerCSS*>(CreateHighlighter("CSS").get()));
  auto php = CreateHighlighter("PHP");
  EXPECT_TRUE(qobject_cast<QsciLexerHTML*>(php.get()));
  EXPECT_FALSE(qobject_cast<QsciLexerXML*>(php.get()));
  for (const char* other : {"", "css", "xml", "Php", "HTML", "XML "}) EXPECT_EQ(CreateHighlighter(other), nullptr) << other;
}

TEST_F(EditFrameConfig, ChangingTheTypeReplacesAndFreesTheHighlighter)
{
  auto xml = TypeWith("XML");
  auto css = TypeWith("CSS");
  auto plain = TypeWith("css");
  Frame->SetFileType(xml.get());
  QsciLexer* first = Frame->Highlighter();
  ASSERT_TRUE(first);
  EXPECT_EQ(Frame->SynEdit->lexer(), first);
  bool firstFreed = false;
  QObject::connect(first, &QObject::destroyed, [&] { firstFreed = true; });
  Frame->SetFileType(css.get());
  EXPECT_TRUE(firstFreed);
  EXPECT_TRUE(qobject_cast<QsciLexerCSS*>(Frame->SynEdit->lexer()));
  EXPECT_EQ(Frame->FFileType, css.get());
  Frame->SetFileType(plain.get());
  EXPECT_EQ(Frame->Highlighter(), nullptr);
  EXPECT_EQ(Frame->SynEdit->lexer(), nullptr);
}

TEST_F(EditFrameConfig, ConfiguredFontDressesTheHighlighter)
{
  TConfigInfo config = ConfigWith({});
  config.EditorFont.SetName("DejaVu Sans Mono");
  config.EditorFont.Size = 15;
  Frame->ApplyConfig(config);
  auto xml = TypeWith("XML");
  Frame->SetFileType(xml.get());
  QsciLexer* lexer = Frame->Highlighter();
  EXPECT_EQ(lexer->font(QsciLexerXML::Tag).pointSize(), 15);
  EXPECT_EQ(lexer->paper(QsciLexerXML::Tag), QColor(Qt::white));
  EXPECT_EQ(lexer->font(QsciLexerXML::Default).family(), QFont("DejaVu Sans Mono").family());
}

// ---- key bindings ---------------------------------------------------------------------

TEST_F(EditFrameConfig, NoEditorItemsLeaveNoKeyBindingAtAll)
{
  Frame->SetText("abc\r\ndef");
  Frame->ApplyConfig(ConfigWith({{ShortCut(vk::Letter('S'), scCtrl), 0, "pvFileSave"}}));
  EXPECT_EQ(Frame->KeyBindings().Count(), 0);
  EXPECT_TRUE(Prompts->Messages.isEmpty());
  Frame->SynEdit->setFocus();
  QTest::keyClick(Frame->SynEdit, Qt::Key_Right);
  QTest::keyClick(Frame->SynEdit, Qt::Key_Down);
  QTest::keyClick(Frame->SynEdit, Qt::Key_Return);
  QTest::keyClick(Frame->SynEdit, Qt::Key_Delete);
  EXPECT_EQ(Caret(), 0);
  EXPECT_EQ(Frame->GetText(), "abc\r\ndef");
  QTest::keyClicks(Frame->SynEdit, "x");  // printable keys still type
  QTest::keyClick(Frame->SynEdit, Qt::Key_Z, Qt::ControlModifier);  // the component's undo is gone too
  EXPECT_EQ(Frame->GetText(), "xabc\r\ndef");
}

TEST_F(EditFrameConfig, RefusedBindingNamesItsCommandAndTheRestIsApplied)
{
  TShortCut ctrlK = ShortCut(vk::Letter('K'), scCtrl);
  Frame->ApplyConfig(ConfigWith({
      {ShortCut(vk::Right), 0, "ecRight"},
      {ShortCut(vk::Right), 0, "ecWordRight"},
      {ctrlK, ShortCut(vk::Letter('B')), "ecSetMarker1"},
      {ctrlK, ShortCut(vk::Letter('B')), "ecSetMarker2"},
      {ShortCut(vk::Left), 0, "ecLeft"},
      {0, 0, "ecUp"},
  }));
  EXPECT_EQ(Prompts->Messages,
            (QStringList{"Couldn't add editor shortcut: ecWordRight", "Couldn't add editor shortcut: ecSetMarker2"}));
  EXPECT_EQ(Frame->KeyBindings().Count(), 3);
  ASSERT_TRUE(Frame->KeyBindings().Find(ShortCut(vk::Right)));
  EXPECT_EQ(Frame->KeyBindings().Find(ShortCut(vk::Right))->Command, ecRight);
  EXPECT_EQ(Frame->KeyBindings().Find(ShortCut(vk::Left))->Command, ecLeft);
  EXPECT_EQ(Frame->SynEdit->tabWidth(), 8);  // the rest of the configuration still ran
}

TEST_F(EditFrameConfig, ApplyingTwiceRebuildsTheBindings)
{
  TConfigInfo config = ConfigWith({{ShortCut(vk::Right), 0, "ecRight"}, {ShortCut(vk::Left), 0, "ECLEFT"}});
  Frame->ApplyConfig(config);
  Frame->ApplyConfig(config);
  EXPECT_TRUE(Prompts->Messages.isEmpty());
  // "ECLEFT" is not an editor command (it does not begin with "ec").
  EXPECT_EQ(Frame->KeyBindings().Count(), 1);
}

TEST_F(EditFrameConfig, UnknownEditorCommandBindsToNothing)
{
  Frame->SetText("abc");
  Frame->ApplyConfig(ConfigWith({{ShortCut(vk::Right), 0, "ecNoSuchThing"}}));
  ASSERT_TRUE(Frame->KeyBindings().Find(ShortCut(vk::Right)));
  EXPECT_EQ(Frame->KeyBindings().Find(ShortCut(vk::Right))->Command, ecNone);
  Frame->SynEdit->setFocus();
  QTest::keyClick(Frame->SynEdit, Qt::Key_Right);
  EXPECT_EQ(Caret(), 0);
}

// ---- gutter and editor settings -----------------------------------------------------------

TEST_F(EditFrameConfig, GutterShowsOrHidesLineNumbersAndBookmarks)
{
  TConfigInfo config = ConfigWith({});
  Frame->ApplyConfig(config);
  QsciScintilla& e = *Frame->SynEdit;
  EXPECT_GT(e.SendScintilla(B::SCI_GETMARGINWIDTHN, 1), 0);
  EXPECT_GT(e.SendScintilla(B::SCI_GETMARGINWIDTHN, 0), 0);
  EXPECT_EQ(e.SendScintilla(B::SCI_GETMARGINTYPEN, 1), B::SC_MARGIN_NUMBER);
  config.GutterLineNumbers = false;
  Frame->ApplyConfig(config);
  EXPECT_EQ(e.SendScintilla(B::SCI_GETMARGINWIDTHN, 1), 0);
  EXPECT_GT(e.SendScintilla(B::SCI_GETMARGINWIDTHN, 0), 0);
  config.GutterVisible = false;
  config.GutterLineNumbers = true;
  Frame->ApplyConfig(config);
  EXPECT_EQ(e.SendScintilla(B::SCI_GETMARGINWIDTHN, 0), 0);
  EXPECT_EQ(e.SendScintilla(B::SCI_GETMARGINWIDTHN, 1), 0);
}

TEST_F(EditFrameConfig, LineNumbersFromZeroAndWithLeadingZeros)
{
  Frame->SetText("a\r\nb\r\nc");
  TConfigInfo config = ConfigWith({});
  config.GutterStartAtZero = true;
  Frame->ApplyConfig(config);
  QsciScintilla& e = *Frame->SynEdit;
  EXPECT_EQ(MarginText(e, 0), "0");
  EXPECT_EQ(MarginText(e, 2), "2");
  config.GutterStartAtZero = false;
  config.GutterLeadingZeros = true;
  Frame->ApplyConfig(config);
  EXPECT_EQ(MarginText(e, 0), "0001");
  EXPECT_EQ(MarginText(e, 2), "0003");
  // A new line at the top renumbers the lines below.
  e.SendScintilla(B::SCI_INSERTTEXT, 0UL, "new\r\n");
  QApplication::processEvents();
  EXPECT_EQ(MarginText(e, 3), "0004");
  // Lines replaced by as many lines, and a new text of as many lines, are
  // numbered again.
  e.SendScintilla(B::SCI_SETSEL, 0UL, e.SendScintilla(B::SCI_GETLENGTH));
  e.SendScintilla(B::SCI_REPLACESEL, 0UL, "1\r\n2\r\n3\r\n4");
  QApplication::processEvents();
  for (int line = 0; line < 4; ++line) EXPECT_EQ(MarginText(e, line), "000" + std::to_string(line + 1)) << line;
  Frame->SetText("x\r\ny\r\nz\r\nw");
  QApplication::processEvents();
  for (int line = 0; line < 4; ++line) EXPECT_EQ(MarginText(e, line), "000" + std::to_string(line + 1)) << line;
}

TEST_F(EditFrameConfig, AutoSizeWidensTheGutterWithTheLineCount)
{
  TConfigInfo config = ConfigWith({});
  config.GutterAutoSize = true;
  Frame->ApplyConfig(config);
  QsciScintilla& e = *Frame->SynEdit;
  long narrow = e.SendScintilla(B::SCI_GETMARGINWIDTHN, 1);
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "x\r\n";
  Frame->SetText(lines);
  EXPECT_GT(e.SendScintilla(B::SCI_GETMARGINWIDTHN, 1), narrow);
}

TEST_F(EditFrameConfig, EditorSettingsReachTheControl)
{
  TConfigInfo config = ConfigWith({});
  config.TabWidth = 4;
  config.RightEdgeColumn = 72;
  config.RightEdgeColor = clRed;
  config.BackgroundColor = RGBColor(1, 2, 3);
  config.EditorFont.Color = clNavy;
  config.EditorFont.Size = 14;
  config.SelectedBackground = clYellow;
  config.GutterColor = clSilver;
  Frame->ApplyConfig(config);
  QsciScintilla& e = *Frame->SynEdit;
  EXPECT_EQ(e.tabWidth(), 4);
  EXPECT_EQ(e.edgeColumn(), 72);
  EXPECT_EQ(e.edgeMode(), QsciScintilla::EdgeLine);
  EXPECT_EQ(e.edgeColor(), QColor(255, 0, 0));
  EXPECT_EQ(e.SendScintilla(B::SCI_STYLEGETBACK, B::STYLE_DEFAULT), Bgr(1, 2, 3));
  EXPECT_EQ(e.SendScintilla(B::SCI_STYLEGETFORE, B::STYLE_DEFAULT), Bgr(0, 0, 128));
  EXPECT_EQ(e.SendScintilla(B::SCI_STYLEGETSIZE, B::STYLE_DEFAULT), 14);
  EXPECT_EQ(e.SendScintilla(B::SCI_STYLEGETBACK, B::STYLE_LINENUMBER), Bgr(192, 192, 192));
}

// ---- configuration values ------------------------------------------------------------------

TEST(ConfigValues, ColoursArePlainSystemOrDefault)
{
  EXPECT_EQ(QColorFromConfig(RGBColor(10, 20, 30)), QColor(10, 20, 30));
  EXPECT_EQ(QColorFromConfig(clMoneyGreen), QColor(192, 220, 192));
  EXPECT_EQ(QColorFromConfig(clWindow), QApplication::palette().color(QPalette::Active, QPalette::Base));
  EXPECT_EQ(QColorFromConfig(clHighlight), QApplication::palette().color(QPalette::Active, QPalette::Highlight));
  EXPECT_FALSE(QColorFromConfig(clNone).isValid());
  EXPECT_FALSE(QColorFromConfig(clDefault).isValid());
  EXPECT_FALSE(QColorFromConfig(SystemColor(25)).isValid());  // no such system colour
  for (const auto& entry : ColorNameTable()) {
    if ((entry.Value & 0xFF000000u) == 0xFF000000u) {
      EXPECT_TRUE(QColorFromConfig(entry.Value).isValid()) << entry.Name;
    }
  }
}

TEST(ConfigValues, FontTakesNameSizeAndStyles)
{
  TConfigFont font;
  font.SetName("Courier New");
  font.Size = 11;
  font.Style.Bold = true;
  font.Style.StrikeOut = true;
  QFont qfont = QFontFromConfig(font);
  EXPECT_EQ(qfont.family(), "Courier New");
  EXPECT_EQ(qfont.pointSize(), 11);
  EXPECT_TRUE(qfont.bold());
  EXPECT_FALSE(qfont.italic());
  EXPECT_FALSE(qfont.underline());
  EXPECT_TRUE(qfont.strikeOut());
}
