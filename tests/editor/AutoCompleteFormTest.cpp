// The autocompletion pop-up: caret markers, prefix selection and the keyboard
// and mouse rules while it runs.

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "editor/TAutoCompleteForm.h"

namespace {

class AutoCompleteFormTest : public ::testing::Test {
protected:
  std::unique_ptr<TAutoCompleteForm> Form = std::make_unique<TAutoCompleteForm>();
  std::string Text;
  int Offset = -1;

  void SetUp() override
  {
    Form->GetItems().Assign({"<div>|</div>", "<dl>|</dl>", "<b>|</b>", "<br />", "<body>|</body>"});
  }

  int Selected() const { return Form->ListBox->currentRow(); }
  void Keys(const char* text) { QTest::keyClicks(Form->ListBox, text); }
  void Key(Qt::Key key) { QTest::keyClick(Form->ListBox, key); }
  // Characters beyond ASCII, which QTest has no keys for.
  void Typed(const QString& text)
  {
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(Form->ListBox, &press);
    }
  }

  // Runs the pop-up opened by text; script runs once it shows.
  bool Run(const std::string& text, const std::function<void()>& script)
  {
    Text = text;
    QTimer::singleShot(0, Form.get(), [&] {
      EXPECT_TRUE(Form->FRunning && Form->isVisible());
      script();
    });
    bool accepted = Form->Execute(100, 120, Offset, Text);
    EXPECT_FALSE(Form->isVisible());
    return accepted;
  }
};

}  // namespace

TEST(AutoCompleteCaretMarker, MarkerGivesTheOffset)
{
  std::string text = "href=\"|\"";
  EXPECT_EQ(ExtractCaretMarker(text), 6);
  EXPECT_EQ(text, "href=\"\"");
  std::string plain = "&amp;";
  EXPECT_EQ(ExtractCaretMarker(plain), 5);
  std::string two = "a|b|c";
  EXPECT_EQ(ExtractCaretMarker(two), 1);
  EXPECT_EQ(two, "ab|c");
}

TEST_F(AutoCompleteFormTest, FormAndPrefixSelection)
{
  EXPECT_EQ(Form->findChild<QFrame*>("Panel"), Form->Panel);
  EXPECT_EQ(Form->findChild<QListWidget*>("ListBox"), Form->ListBox);
  EXPECT_EQ(Form->size(), QSize(232, 89));
  Form->SetListCaption("Entities");
  EXPECT_EQ(Form->windowTitle(), "Entities");

  EXPECT_TRUE(Form->SelectPrefix("<DI"));
  EXPECT_EQ(Selected(), 0);
  EXPECT_TRUE(Form->SelectPrefix("<b"));
  EXPECT_EQ(Selected(), 2);  // the first in list order
  EXPECT_FALSE(Form->SelectPrefix("<br />x"));  // longer than the item
  EXPECT_EQ(Selected(), 2);                     // selection unchanged
  Form->GetItems().Assign({"&eacute;", "\xC3\x89t\xC3\xA9", "\xE6\x97\xA5"});
  EXPECT_TRUE(Form->SelectPrefix("\xC3\xA9T"));  // letters beyond ASCII ignore case too
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Form->GetItems().Get(2), "\xE6\x97\xA5");
  EXPECT_TRUE(Form->SelectPrefix("\xC3\x89t\xC3\xA9"));
  EXPECT_EQ(Selected(), 1);
}

TEST_F(AutoCompleteFormTest, TypingNarrowsEnterAccepts)
{
  EXPECT_TRUE(Run("<", [&] {
    EXPECT_EQ(Selected(), 0);
    Keys("BO");
    EXPECT_TRUE(Form->FRunning);
    EXPECT_EQ(Selected(), 4);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
  }));
  EXPECT_EQ(Text, "<br />");
  EXPECT_EQ(Offset, 6);
}

TEST_F(AutoCompleteFormTest, CharacterMatchingNothingAcceptsTheTypedText)
{
  EXPECT_TRUE(Run("<", [&] { Keys("bq"); }));
  EXPECT_EQ(Text, "<bq");
  EXPECT_EQ(Offset, 3);
  EXPECT_TRUE(Run("<", [&] { Key(Qt::Key_Tab); }));
  EXPECT_EQ(Text, "<\t");
  // Any character: the text is the editor's UTF-8.
  EXPECT_TRUE(Run("<", [&] { Typed(QString::fromUtf8("b\u65E5")); }));
  EXPECT_EQ(Text, "<b\xE6\x97\xA5");
}

TEST_F(AutoCompleteFormTest, EscapeAndClickOutsideCancel)
{
  Offset = 42;
  EXPECT_FALSE(Run("<", [&] {
    Keys("d");
    Key(Qt::Key_Escape);
  }));
  EXPECT_EQ(Text, "<");
  EXPECT_EQ(Offset, 42);
  EXPECT_FALSE(Run("<", [&] { QTest::mouseClick(Form.get(), Qt::LeftButton, {}, QPoint(-20, -20)); }));
}

TEST_F(AutoCompleteFormTest, DoubleClickAcceptsLikeEnter)
{
  EXPECT_TRUE(Run("<", [&] {
    QPoint center = Form->ListBox->visualItemRect(Form->ListBox->item(2)).center();
    QTest::mouseClick(Form->ListBox->viewport(), Qt::LeftButton, {}, center);
    QTest::mouseDClick(Form->ListBox->viewport(), Qt::LeftButton, {}, center);
  }));
  EXPECT_EQ(Text, "<b></b>");
  EXPECT_EQ(Offset, 3);
}

// A backspace byte has no place in a document: Backspace takes back the
// last typed character instead of being appended.
TEST_F(AutoCompleteFormTest, BackspaceTakesBackTheLastCharacter)
{
  EXPECT_TRUE(Run("<", [&] {
    Keys("bo");
    Key(Qt::Key_Backspace);
    EXPECT_TRUE(Form->FRunning);
    EXPECT_EQ(Selected(), 2);
    QTest::keyClick(Form->ListBox, Qt::Key_Enter);
  }));
  EXPECT_EQ(Text, "<b></b>");
  // A character of several bytes goes back whole.
  Form->GetItems().Assign({"<\xC3\xA9t\xC3\xA9>", "<a>"});
  EXPECT_TRUE(Run("<", [&] {
    Typed(QString::fromUtf8("\u00E9"));
    EXPECT_EQ(Selected(), 0);
    Key(Qt::Key_Backspace);
    Keys("a");
    Key(Qt::Key_Return);
  }));
  EXPECT_EQ(Text, "<a>");
  // Over the opening character: nothing is inserted.
  EXPECT_TRUE(Run("&", [&] { Key(Qt::Key_Backspace); }));
  EXPECT_EQ(Text, "");
}

TEST_F(AutoCompleteFormTest, OpeningCharacterMatchingNothing)
{
  Form->GetItems().Assign({"href=\"|\"", "hreflang=\"|\""});
  // No selection: Enter accepts the typed text; Ctrl keys type nothing.
  EXPECT_TRUE(Run("x", [&] {
    EXPECT_TRUE(Form->ListBox->selectedItems().isEmpty());
    QTest::keyClick(Form->ListBox, Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Return);
  }));
  EXPECT_EQ(Text, "x");
  EXPECT_TRUE(Run("x", [&] {
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
  }));
  EXPECT_EQ(Text, "href=\"\"");
}

TEST_F(AutoCompleteFormTest, RunsAtThePointAndPumpsOtherEvents)
{
  int ticks = 0;
  QTimer other;
  QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
  other.start(1);
  QPoint position;
  Run("<", [&] {
    position = Form->pos();
    QTimer::singleShot(30, Form.get(), [&] { Key(Qt::Key_Escape); });
  });
  EXPECT_EQ(position, QPoint(100, 120));
  EXPECT_GT(ticks, 0);
}
