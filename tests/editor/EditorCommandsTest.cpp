// Editor commands: the handler table, the key codes, the key-stroke reader
// and a sample of commands driven by key presses.

#include <QKeyEvent>

#include "EditFrameFixture.h"
#include "editor/EditorCommandHandlers.h"
#include "editor/TEditorKeyBindings.h"
#include "model/TFileType.h"
#include "platform/VirtualKeys.h"

namespace {

using B = QsciScintillaBase;

constexpr TShortCut Key(std::uint8_t virtualKey, TShortCut modifiers = 0) { return ShortCut(virtualKey, modifiers); }

}  // namespace

// ---- the table ------------------------------------------------------------------

TEST(EditorCommandTable, EveryNamedCommandHasAHandler)
{
  int count = 0;
  for (const auto& entry : EditorCommandTable()) {
    EXPECT_NE(FindEditorCommandHandler(entry.Number), nullptr) << entry.Ident;
    ++count;
  }
  EXPECT_EQ(count, 96);
  EXPECT_EQ(FindEditorCommandHandler(1000), nullptr);
}

// ---- key codes ---------------------------------------------------------------------

TEST(VirtualKeys, TableRoundTripsEveryNamedKey)
{
  for (unsigned code = 8; code < 256; ++code) {
    bool keypad = false;
    int qtKey = QtKeyFromVirtualKey(static_cast<std::uint8_t>(code), &keypad);
    if (qtKey == 0) continue;
    EXPECT_EQ(VirtualKeyFromQtKey(qtKey, keypad), code) << code;
  }
  EXPECT_EQ(QtKeyFromVirtualKey(vk::Letter('Q')), Qt::Key_Q);
  EXPECT_EQ(QtKeyFromVirtualKey(vk::F(24)), Qt::Key_F24);
  EXPECT_EQ(QtKeyFromVirtualKey(vk::Prior), Qt::Key_PageUp);
  EXPECT_EQ(QtKeyFromVirtualKey(0xBD), Qt::Key_Minus);
  // Every key the configuration names has a Qt key.
  for (unsigned code = 8; code < 256; ++code) {
    if (!KeyName(code).empty() && code < 0x88) {
      EXPECT_NE(QtKeyFromVirtualKey(static_cast<std::uint8_t>(code)), 0) << code;
    }
  }
}

TEST(VirtualKeys, KeyEventsBecomeKeyCodes)
{
  auto code = [](int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    return ShortCutFromKeyEvent(event);
  };
  EXPECT_EQ(code(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier), Key(vk::Letter('N'), scCtrl | scShift));
  EXPECT_EQ(code(Qt::Key_Left, Qt::AltModifier), Key(vk::Left, scAlt));
  EXPECT_EQ(code(Qt::Key_Exclam, Qt::ShiftModifier), Key(vk::Digit(1), scShift));
  EXPECT_EQ(code(Qt::Key_Backtab, Qt::ShiftModifier), Key(vk::Tab, scShift));
  EXPECT_EQ(code(Qt::Key_Backtab, Qt::NoModifier), Key(vk::Tab, scShift));
  EXPECT_EQ(code(Qt::Key_5, Qt::KeypadModifier), Key(vk::Numpad0 + 5));
  EXPECT_EQ(code(Qt::Key_Enter, Qt::KeypadModifier), Key(vk::Return));
  EXPECT_EQ(code(Qt::Key_Home, Qt::KeypadModifier), Key(vk::Home));
  EXPECT_EQ(code(Qt::Key_Shift, Qt::ShiftModifier), 0);
  EXPECT_EQ(code(Qt::Key_Exclam, Qt::NoModifier), 0);
}

TEST(VirtualKeys, KeyCodesBecomeKeySequences)
{
  EXPECT_EQ(KeySequenceFromShortCut(Key(vk::Letter('F'), scCtrl)), QKeySequence("Ctrl+F"));
  EXPECT_EQ(KeySequenceFromShortCut(Key(vk::F(3), scShift)), QKeySequence("Shift+F3"));
  EXPECT_TRUE(KeySequenceFromShortCut(0).isEmpty());
  EXPECT_TRUE(KeySequenceFromShortCut(scCtrl).isEmpty());
}

// ---- the key-stroke reader ---------------------------------------------------------

TEST(KeyStrokeReader, SinglesSequencesAndCancels)
{
  TEditorKeyBindings bindings;
  TShortCut ctrlK = Key(vk::Letter('K'), scCtrl);
  ASSERT_TRUE(bindings.Add(Key(vk::Left), 0, ecLeft));
  ASSERT_TRUE(bindings.Add(ctrlK, Key(vk::Digit(1)), ecSetMarker1));
  ASSERT_TRUE(bindings.Add(ctrlK, Key(vk::Digit(2)), ecSetMarker2));
  EXPECT_FALSE(bindings.Add(ctrlK, Key(vk::Digit(2)), ecUndo));
  EXPECT_TRUE(bindings.Add(0, 0, ecUndo));  // no key: nothing bound, nothing refused
  EXPECT_EQ(bindings.Count(), 3);

  TKeyStrokeReader reader;
  using K = TKeyStrokeReader::TKind;
  auto r = reader.Press(bindings, Key(vk::Left));
  EXPECT_EQ(r.Kind, K::Command);
  EXPECT_EQ(r.Command, ecLeft);
  EXPECT_EQ(reader.Press(bindings, ctrlK).Kind, K::Pending);
  EXPECT_TRUE(reader.Pending());
  r = reader.Press(bindings, Key(vk::Digit(2)));
  EXPECT_EQ(r.Kind, K::Command);
  EXPECT_EQ(r.Command, ecSetMarker2);
  EXPECT_FALSE(reader.Pending());
  // A second stroke that completes nothing cancels and counts on its own.
  reader.Press(bindings, ctrlK);
  r = reader.Press(bindings, Key(vk::Left));
  EXPECT_EQ(r.Kind, K::Command);
  EXPECT_EQ(r.Command, ecLeft);
  reader.Press(bindings, ctrlK);
  EXPECT_EQ(reader.Press(bindings, Key(vk::Letter('X'))).Kind, K::Unbound);
  EXPECT_FALSE(reader.Pending());
  EXPECT_EQ(reader.Press(bindings, Key(vk::Digit(1))).Kind, K::Unbound);
}

// ---- commands through key presses ------------------------------------------------------

class EditorCommands : public EditFrameFixture {
protected:
  void SetUp() override
  {
    EditFrameFixture::SetUp();
    TShortCut ctrl = scCtrl;
    TShortCut shift = scShift;
    Frame->ApplyConfig(ConfigWith({
        {Key(vk::Left), 0, "ecLeft"},
        {Key(vk::Right), 0, "ecRight"},
        {Key(vk::Up), 0, "ecUp"},
        {Key(vk::Down), 0, "ecDown"},
        {Key(vk::Home), 0, "ecLineStart"},
        {Key(vk::End), 0, "ecLineEnd"},
        {Key(vk::Left, ctrl), 0, "ecWordLeft"},
        {Key(vk::Right, ctrl), 0, "ecWordRight"},
        {Key(vk::Right, shift), 0, "ecSelRight"},
        {Key(vk::Down, shift), 0, "ecSelDown"},
        {Key(vk::Right, ctrl | shift), 0, "ecSelWordRight"},
        {Key(vk::Home, ctrl), 0, "ecEditorTop"},
        {Key(vk::End, ctrl), 0, "ecEditorBottom"},
        {Key(vk::Back), 0, "ecDeleteLastChar"},
        {Key(vk::Delete), 0, "ecDeleteChar"},
        {Key(vk::Return), 0, "ecLineBreak"},
        {Key(vk::Letter('Y'), ctrl), 0, "ecDeleteLine"},
        {Key(vk::Letter('Z'), ctrl), 0, "ecUndo"},
        {Key(vk::Letter('Z'), ctrl | shift), 0, "ecRedo"},
        {Key(vk::Letter('A'), ctrl), 0, "ecSelectAll"},
        {Key(vk::Tab), 0, "ecTab"},
        {Key(vk::Tab, shift), 0, "ecShiftTab"},
        {Key(vk::Insert), 0, "ecToggleMode"},
        {Key(vk::Letter('K'), ctrl), Key(vk::Digit(1)), "ecSetMarker1"},
        {Key(vk::Letter('Q'), ctrl), Key(vk::Digit(1)), "ecGotoMarker1"},
        {Key(vk::Letter('K'), ctrl), Key(vk::Letter('U')), "ecUpperCase"},
        {Key(vk::Letter('K'), ctrl), Key(vk::Letter('L')), "ecLowerCase"},
        {Key(vk::Letter('K'), ctrl), Key(vk::Letter('T')), "ecToggleCase"},
        {Key(vk::Letter('K'), ctrl), Key(vk::Letter('C')), "ecColumnSelect"},
        {Key(vk::Letter('K'), ctrl), Key(vk::Letter('N')), "ecNormalSelect"},
        {Key(vk::Letter('K'), ctrl), Key(vk::Letter('L'), ctrl), "ecLineSelect"},
        {Key(vk::Letter('B'), ctrl), 0, "ecMatchBracket"},
    }));
    ASSERT_TRUE(Prompts->Messages.isEmpty()) << Prompts->Messages.join("|").toStdString();
    Frame->SynEdit->setFocus();
  }

  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
  {
    QTest::keyClick(Frame->SynEdit, static_cast<Qt::Key>(key), modifiers);
  }
  void Type(const char* text) { QTest::keyClicks(Frame->SynEdit, text); }
  std::string Text() const { return EditorBytes(*Frame); }
  std::string Selected() const { return Frame->SynEdit->selectedText().toStdString(); }
};

TEST_F(EditorCommands, CaretMoves)
{
  Frame->SetText("one two\r\nthree");
  Press(Qt::Key_Right);
  Press(Qt::Key_Right);
  EXPECT_EQ(Caret(), 2);
  Press(Qt::Key_Down);
  EXPECT_EQ(Caret(), 11);
  Press(Qt::Key_End);
  EXPECT_EQ(Caret(), 14);
  Press(Qt::Key_Home);
  EXPECT_EQ(Caret(), 9);
  Press(Qt::Key_Up);
  EXPECT_EQ(Caret(), 0);
  Press(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 4);
  Press(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 14);
  Press(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 9);
  Press(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 0);
}

TEST_F(EditorCommands, SelectionUndoAndRedo)
{
  Frame->SetText("hello world");
  Press(Qt::Key_Right, Qt::ShiftModifier);
  Press(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "he");
  Press(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "hello ");
  Press(Qt::Key_Delete);
  EXPECT_EQ(Text(), "world");
  EXPECT_EQ(Frame->FStatus & esModified, esModified);
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(), "hello world");
  Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(), "world");
  Press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Selected(), "world");
}

TEST_F(EditorCommands, EditingKeys)
{
  Frame->SetText("ab\r\ncd\r\nef");
  Press(Qt::Key_End);
  Press(Qt::Key_Return);
  Type("x");
  EXPECT_EQ(Text(), "ab\r\nx\r\ncd\r\nef");
  Press(Qt::Key_Backspace);
  Press(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "ab\r\ncd\r\nef");
  Press(Qt::Key_Down);
  Press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Text(), "ab\r\nef");
  Press(Qt::Key_Insert);  // overwrite
  Press(Qt::Key_Home);
  Type("XY");
  EXPECT_EQ(Text(), "ab\r\nXY");
  Press(Qt::Key_Insert);  // insert again
  Type("z");
  EXPECT_EQ(Text(), "ab\r\nXYz");
}

TEST_F(EditorCommands, MarkersThroughTwoStrokeSequences)
{
  Frame->SetText("line0\r\nline1\r\nline2");
  Press(Qt::Key_Down);
  Press(Qt::Key_Right);
  Press(Qt::Key_Right);
  Press(Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 9);  // the first stroke alone does nothing
  Press(Qt::Key_1);
  EXPECT_EQ(Text(), "line0\r\nline1\r\nline2");  // "1" completed the sequence, nothing typed
  EXPECT_EQ(Frame->SynEdit->markersAtLine(1), 1 << 1);
  Press(Qt::Key_End, Qt::ControlModifier);
  Press(Qt::Key_Q, Qt::ControlModifier);
  Press(Qt::Key_1);
  EXPECT_EQ(Caret(), 9);
  // Set again on its own line: removed; goto then does nothing.
  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_1);
  EXPECT_EQ(Frame->SynEdit->markersAtLine(1), 0);
  Press(Qt::Key_Home, Qt::ControlModifier);
  Press(Qt::Key_Q, Qt::ControlModifier);
  Press(Qt::Key_1);
  EXPECT_EQ(Caret(), 0);
  // A sequence cancelled by an unbound key: the key types as usual.
  Press(Qt::Key_K, Qt::ControlModifier);
  Type("w");
  EXPECT_EQ(Text(), "wline0\r\nline1\r\nline2");
}

TEST_F(EditorCommands, CaseCommandsOnSelectionAndWord)
{
  // UTF-8: h e l l o _ W are bytes 0 to 6, the o umlaut 7 and 8, r at 9.
  Frame->SetText("hello W\xC3\xB6rld \xC3\xBF\xC3\x9F");
  Press(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_U);
  EXPECT_EQ(Text(), "HELLO W\xC3\xB6rld \xC3\xBF\xC3\x9F");
  EXPECT_EQ(Selected(), "HELLO ");
  Press(Qt::Key_End);
  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_U);  // previous word; the sharp s, whose capital is two letters, stays
  EXPECT_EQ(Text(), "HELLO W\xC3\xB6rld \xC5\xB8\xC3\x9F");
  Frame->SynEdit->SendScintilla(B::SCI_GOTOPOS, 9L);
  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_T);
  EXPECT_EQ(Text(), "HELLO w\xC3\x96RLD \xC5\xB8\xC3\x9F");
  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_L);
  EXPECT_EQ(Text(), "HELLO w\xC3\xB6rld \xC5\xB8\xC3\x9F");
  EXPECT_EQ(Caret(), 9);
  Frame->SynEdit->SendScintilla(B::SCI_SETSEL, 0L, 12L);
  Frame->ExecuteCommand(ecTitleCase);
  EXPECT_EQ(Text(), "Hello W\xC3\xB6rld \xC5\xB8\xC3\x9F");
  // A dotless i would become a one-byte I: it stays.
  Frame->SetText("\xC4\xB1x");
  Frame->SynEdit->SendScintilla(B::SCI_SETSEL, 0L, 3L);
  Frame->ExecuteCommand(ecUpperCase);
  EXPECT_EQ(Text(), "\xC4\xB1X");
}

TEST_F(EditorCommands, TabIndentsBlocksAndShiftTabUnindents)
{
  Frame->SetText("a\r\nb\r\nc");
  Press(Qt::Key_Tab);
  EXPECT_EQ(Text(), "        a\r\nb\r\nc");  // blanks up to the next tab stop
  Press(Qt::Key_Home);
  Press(Qt::Key_Down, Qt::ShiftModifier);
  Press(Qt::Key_Down, Qt::ShiftModifier);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Text(), "          a\r\n  b\r\nc");  // the line the selection ends at stays
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "        a\r\nb\r\nc");
  Press(Qt::Key_Home, Qt::ControlModifier);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Text(), "      a\r\nb\r\nc");
  Frame->SetText("\t\tx");
  Frame->ExecuteCommand(ecBlockUnindent);
  EXPECT_EQ(Text(), "\tx");
  Frame->ExecuteCommand(ecBlockIndent);
  EXPECT_EQ(Text(), "  \tx");
}

TEST_F(EditorCommands, SelectionModes)
{
  Frame->SetText("abcd\r\nefgh\r\nijkl");
  Press(Qt::Key_Right);
  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_C);
  EXPECT_EQ(Frame->CommandState().SelectionMode, TSelectionMode::Column);
  Press(Qt::Key_Right, Qt::ShiftModifier);
  Press(Qt::Key_Right, Qt::ShiftModifier);
  Press(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_TRUE(Frame->SynEdit->SendScintilla(B::SCI_SELECTIONISRECTANGLE));
  EXPECT_EQ(Frame->SynEdit->SendScintilla(B::SCI_GETSELECTIONS), 2);
  Press(Qt::Key_Delete);
  EXPECT_EQ(Text(), "ad\r\neh\r\nijkl");

  // Moves the editor has no rectangular form of are made rectangular here.
  Frame->SetText("ab cd\r\nef gh\r\nij kl");
  Press(Qt::Key_Down, Qt::ShiftModifier);
  Press(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Frame->SynEdit->SendScintilla(B::SCI_SELECTIONISRECTANGLE));
  Press(Qt::Key_Delete);
  EXPECT_EQ(Text(), "cd\r\ngh\r\nij kl");

  Frame->SetText("abcd\r\nefgh\r\nijkl");
  Press(Qt::Key_Right);
  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(Frame->CommandState().SelectionMode, TSelectionMode::Line);
  Press(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "abcd\r\nefgh\r\n");
  Press(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "abcd\r\nefgh\r\nijkl");

  Press(Qt::Key_K, Qt::ControlModifier);
  Press(Qt::Key_N);
  Press(Qt::Key_Home, Qt::ControlModifier);
  Press(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "a");
}

TEST_F(EditorCommands, MatchBracketJumpsBothWays)
{
  Frame->SetText("f(a[1], b)");
  GoTo(1);
  Press(Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 9);
  Press(Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 1);
  GoTo(7);  // after nothing bracketed: stays
  Press(Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 7);
}

TEST_F(EditorCommands, CssWordMovementStepsOverHyphenatedWords)
{
  Frame->SetText("font-size: 12px");
  TFileType css("css.config");
  css.Highlighter = "CSS";
  Frame->SetFileType(&css);
  GoTo(0);
  Press(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 9);
  Press(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 0);

  TFileType xml("xml.config");
  xml.Highlighter = "XML";
  Frame->SetFileType(&xml);
  Press(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Caret(), 4);
}

TEST_F(EditorCommands, TypedKeysPassTheKeyPressHook)
{
  Frame->SetText("");
  Frame->OnKeyPress = [](TEditFrame&, char& key) {
    if (key == 'x') key = 0;
    if (key == 'a') key = 'b';
  };
  Type("xa>x");
  EXPECT_EQ(Text(), "b>");
  EXPECT_EQ(Frame->FStatus & esModified, esModified);
}

TEST_F(EditorCommands, InsertLineAndPageCommands)
{
  Frame->SetText("ab");
  GoTo(1);
  Frame->ExecuteCommand(ecInsertLine);
  EXPECT_EQ(Text(), "a\nb");
  EXPECT_EQ(Caret(), 1);
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "line\r\n";
  Frame->SetText(lines);
  GoTo(2);
  Frame->ExecuteCommand(ecPageBottom);
  long bottom = Frame->SynEdit->SendScintilla(B::SCI_LINEFROMPOSITION, Caret());
  EXPECT_GT(bottom, 0);
  EXPECT_EQ(Frame->SynEdit->SendScintilla(B::SCI_GETCOLUMN, Caret()), 2);
  Frame->ExecuteCommand(ecSelPageTop);
  EXPECT_EQ(Caret(), 2);
  EXPECT_EQ(Anchor(), Frame->SynEdit->SendScintilla(B::SCI_POSITIONFROMLINE, bottom) + 2);
  Frame->ExecuteCommand(ecScrollDown);
  EXPECT_EQ(Frame->SynEdit->SendScintilla(B::SCI_GETFIRSTVISIBLELINE), 1);
}

TEST_F(EditorCommands, EveryCommandRunsSafelyInEveryStateAndMode)
{
  int helps = 0;
  Frame->OnContextHelp = [&](TEditFrame&) { ++helps; };
  Frame->CommandState().OnAutoCompletion = [] {};
  const char* texts[] = {"", "x", "ab (cd)\r\n\r\n  ef\r\n\tgh ij"};
  const TEditorCommand modes[] = {ecNormalSelect, ecColumnSelect, ecLineSelect};
  for (const char* text : texts) {
    for (TEditorCommand mode : modes) {
      for (const auto& entry : EditorCommandTable()) {
        for (long pos : {0L, 1L, 9L, 1000L}) {
          Frame->SetText(text);
          Frame->ExecuteCommand(mode);
          Frame->SynEdit->SendScintilla(B::SCI_GOTOPOS, pos);
          Frame->ExecuteCommand(ecSelRight);
          ASSERT_TRUE(Frame->ExecuteCommand(entry.Number, "t")) << entry.Ident;
          long length = Frame->SynEdit->SendScintilla(B::SCI_GETLENGTH);
          EXPECT_LE(Caret(), length) << entry.Ident;
          EXPECT_LE(Anchor(), length) << entry.Ident;
        }
      }
    }
  }
  EXPECT_GT(helps, 0);
}

TEST_F(EditorCommands, DeletionAndTextCommands)
{
  Frame->SetText("alpha beta gamma");
  GoTo(6);
  Frame->ExecuteCommand(ecDeleteWord);
  EXPECT_EQ(Text(), "alpha gamma");
  Frame->ExecuteCommand(ecDeleteLastWord);
  EXPECT_EQ(Text(), "gamma");
  Frame->SetText("alpha beta gamma");
  GoTo(6);
  Frame->ExecuteCommand(ecDeleteEOL);
  EXPECT_EQ(Text(), "alpha ");
  Frame->ExecuteCommand(ecDeleteBOL);
  EXPECT_EQ(Text(), "");
  Frame->ExecuteCommand(ecChar, "q");
  Frame->ExecuteCommand(ecString, QString::fromUtf8("\u00E4z\u65E5"));
  EXPECT_EQ(Text(), "q\xC3\xA4z\xE6\x97\xA5");
  Frame->ExecuteCommand(ecClearAll);
  EXPECT_EQ(Text(), "");
  Frame->ExecuteCommand(ecUndo);
  EXPECT_EQ(Text(), "q\xC3\xA4z\xE6\x97\xA5");
}

TEST_F(EditorCommands, HorizontalPagingMovesByAScreenWidth)
{
  Frame->SetText(std::string(2000, 'w'));
  GoTo(0);
  Frame->ExecuteCommand(ecPageRight);
  long page = Caret();
  EXPECT_GT(page, 10);
  EXPECT_GT(Frame->SynEdit->SendScintilla(B::SCI_GETXOFFSET), 0);
  Frame->ExecuteCommand(ecSelPageRight);
  EXPECT_EQ(Caret(), 2 * page);
  EXPECT_EQ(Anchor(), page);
  Frame->ExecuteCommand(ecPageLeft);
  Frame->ExecuteCommand(ecPageLeft);
  EXPECT_EQ(Caret(), 0);
}
