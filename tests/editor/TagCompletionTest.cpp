// Tag closing and autocompletion in an editor frame: keys typed with QTest
// into documents of the shipped XSL, XHTML and CSS types, the pop-up answered
// by a script, the exact text and caret afterwards ("|" marks the caret).

#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <map>

#include "EditFrameFixture.h"
#include "editor/TAutoCompleteForm.h"
#include "editor/TTagCompleter.h"
#include "model/TFileType.h"

namespace {

using B = QsciScintillaBase;

const char* const Esc = "\x1b";

// One typed key: the document before (caret at its end), the key, what is
// typed into the pop-up before Enter (nullptr: it must not open; Esc: Escape)
// and the text with "|" at the caret after.
struct TTyping {
  const char* Type;
  std::string Before;
  char Key;
  const char* PopupKeys;
  std::string After;
};

class TagCompletionTest : public EditFrameFixture {
protected:
  std::map<std::string, std::unique_ptr<TFileType>> Types;
  std::unique_ptr<TAutoCompleteForm> Popup = std::make_unique<TAutoCompleteForm>();
  bool Opened = false;
  std::vector<std::string> Items;
  QPoint Position;

  void SetUp() override
  {
    EditFrameFixture::SetUp();
    for (const char* id : {"xsl", "html", "css"}) {
      std::string family = std::string(id) == "xsl" ? "xml" : id;
      Types[id] = std::make_unique<TFileType>(std::string(TEST_SOURCE_ROOT) + "/data/help/" + family + "/" + id +
                                              ".config");
      Types[id]->LoadFromFile();
    }
    AutoCompleteForm = Popup.get();
  }

  void TearDown() override
  {
    AutoCompleteForm = nullptr;
    EditFrameFixture::TearDown();
  }

  TAutoCompleteSchema& Schema(const char* id) { return *Types[id]->Schema; }

  void Start(TFileType& type, const std::string& text)
  {
    Frame->SetFileType(&type);
    Frame->SetText(text);
    Frame->SetStatus(0);
    GoTo(static_cast<long>(EditorBytes(*Frame).size()));
  }

  // Types key; popupKeys answer the pop-up when it opens.
  void Type(char key, const std::string& popupKeys = Esc)
  {
    Opened = false;
    Items.clear();
    QTimer::singleShot(0, Popup.get(), [this, popupKeys] {
      if (!Popup->FRunning) return;
      Opened = true;
      for (int i = 0; i < Popup->GetItems().Count(); ++i) Items.push_back(Popup->GetItems().Get(i));
      Position = Popup->pos();
      if (popupKeys == Esc) {
        QTest::keyClick(Popup->ListBox, Qt::Key_Escape);
        return;
      }
      QTest::keyClicks(Popup->ListBox, QString::fromLatin1(popupKeys.c_str()));
      if (Popup->FRunning) QTest::keyClick(Popup->ListBox, Qt::Key_Return);
    });
    // QTest knows no keys beyond ASCII: a bare text event for those.
    QString text(QChar(static_cast<ushort>(static_cast<unsigned char>(key))));
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(Frame->SynEdit, &press);
    QApplication::processEvents();  // the timer of a pop-up that never opened
  }

  // The text with "|" at the caret, line ends as "\n".
  std::string Shown()
  {
    std::string text = EditorBytes(*Frame);
    text.insert(static_cast<std::size_t>(Caret()), "|");
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n")) text.erase(at, 1);
    return text;
  }

  void Check(const std::vector<TTyping>& cases)
  {
    for (const TTyping& typing : cases) {
      Start(*Types[typing.Type], typing.Before);
      Type(typing.Key, typing.PopupKeys ? typing.PopupKeys : Esc);
      EXPECT_EQ(Shown(), typing.After) << typing.Type << ": " << typing.Before << " + " << typing.Key;
      EXPECT_EQ(Opened, typing.PopupKeys != nullptr) << typing.Before << " + " << typing.Key;
      EXPECT_TRUE(Frame->FStatus & esModified) << typing.Before;
    }
  }
};

}  // namespace

TEST_F(TagCompletionTest, ClosingTagsAndQuotedValues)
{
  Check({
      {"xsl", "<b", '>', nullptr, "<b>|</b>"},
      {"html", "<p>\n<xsl:value-of select=\"a\"", '>', nullptr, "<p>\n<xsl:value-of select=\"a\">|</xsl:value-of>"},
      {"xsl", "<li\n", '>', nullptr, "<li\n>|</li>"},
      {"xsl", "<br/", '>', nullptr, "<br/>|"},
      {"xsl", "</b", '>', nullptr, "</b>|"},
      {"xsl", "<?xml version=\"1.0\"?", '>', nullptr, "<?xml version=\"1.0\"?>|"},
      {"xsl", "<!--", '>', nullptr, "<!-->|"},
      {"xsl", "<p>some text", '>', nullptr, "<p>some text>|"},
      {"xsl", "<", '>', nullptr, "<>|"},
      {"html", "<a href", '=', nullptr, "<a href=\"|\""},
      {"html", "<img\nsrc", '=', nullptr, "<img\nsrc=\"|\""},
      {"html", "<a title=\"x", '=', nullptr, "<a title=\"x=|"},
      {"html", "< ", '=', nullptr, "< =|"},
      {"html", "<!DOCTYPE", '=', nullptr, "<!DOCTYPE=|"},
  });
}

TEST_F(TagCompletionTest, ClosingBeyondTheEndOfTheLinePadsIt)
{
  Start(*Types["xsl"], "<b\r\nnext");
  Frame->SynEdit->SendScintilla(B::SCI_SETEMPTYSELECTION, 2UL);
  Frame->SynEdit->SendScintilla(B::SCI_SETSELECTIONNCARETVIRTUALSPACE, 0UL, 3L);
  Frame->SynEdit->SendScintilla(B::SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0UL, 3L);
  ASSERT_EQ(TTagCompleter::Of(*Frame)->CaretX(), 6);
  Type('>');
  EXPECT_EQ(Shown(), "<b   >|</b>\nnext");
}

TEST_F(TagCompletionTest, ElementsAttributesAndEntities)
{
  Check({
      {"html", "<ul><li>one</li>", '<', "", "<ul><li>one</li><li>|</li>"},
      {"xsl", "<xsl:template match=\"/\">\n  ", '<', "xsl:va", "<xsl:template match=\"/\">\n  <xsl:value-of select=\"|\"/>"},
      {"xsl", "", '<', "?", "<?xml version=\"1.0\"|?>"},
      {"xsl", "", '<', "q", "<q|"},  // no item begins with "<q"
      {"html", "<a ", 'h', "r", "<a href=\"|\""},
      {"html", "<a\n", 'c', "", "<a\ncharset=\"|\""},
      {"xsl", "<?xml ", 'v', "", "<?xml version=\"|\""},
      {"html", "<p>", '&', "cop", "<p>&copy;|"},
      {"xsl", "a ", '&', Esc, "a &|"},  // Escape: the key as typed
  });
  // The lists shown: children of the right element, attributes, entities.
  for (auto [before, element] : {std::pair{"<ul><li>one</li>", "ul"}, {"<p><br/>", "p"}, {"<a><b></c>", "b"}}) {
    Start(*Types["html"], before);
    Type('<');
    EXPECT_EQ(Items, Schema("html").GetChildren(element)) << before;
  }
  Start(*Types["html"], "<a ");
  Type('h');
  EXPECT_EQ(Items, Schema("html").GetAttributes("a"));
  Type('&');
  EXPECT_EQ(Items, Schema("html").GetEntities());
}

TEST_F(TagCompletionTest, NothingOpensWhereNothingIsOffered)
{
  Check({
      {"html", "<a", 'h', nullptr, "<ah|"},      // no blank before the caret
      {"html", "<a\t", 'h', nullptr, "<a\th|"},  // a tab is no blank
      {"html", "</a ", 'h', nullptr, "</a h|"},
      {"html", "<a title=\"x ", 'h', nullptr, "<a title=\"x h|"},
      {"html", "<a ", '1', nullptr, "<a 1|"},
      {"html", "<a ", '\xE9', nullptr, "<a \xC3\xA9|"},
      {"css", "<b", '>', nullptr, "<b>|"},  // a type without autocompletion
      {"css", "<a href", '=', nullptr, "<a href=|"},
      {"css", "<a ", 'h', nullptr, "<a h|"},
  });

  // A schema without an element for the empty name offers nothing at the top.
  TFileType bare(Folder + "bare.config");
  bare.AutoComplete = true;
  bare.Schema->Parse("<schema><element name=\"p\" insert-text=\"&lt;p&gt;\"><child name=\"p\"/></element></schema>");
  Start(bare, "");
  Type('<');
  EXPECT_FALSE(Opened);
  EXPECT_EQ(Shown(), "<|");
}

TEST_F(TagCompletionTest, BackspaceOverTheOpeningKeyInsertsNothing)
{
  Start(*Types["xsl"], "a ");
  Type('&', "\b");
  EXPECT_TRUE(Opened);
  EXPECT_EQ(Shown(), "a |");
  EXPECT_FALSE(Frame->FStatus & esModified);
}

TEST_F(TagCompletionTest, TheTypesFlagIsReadAtEveryKey)
{
  Types["html"]->AutoComplete = false;
  Start(*Types["html"], "<b");
  Type('>');
  EXPECT_EQ(Shown(), "<b>|");
  Types["html"]->AutoComplete = true;  // as the configuration dialog does
  Type('<');
  EXPECT_TRUE(Opened);
  EXPECT_EQ(Frame->findChildren<TTagCompleter*>().size(), 1);
}

TEST_F(TagCompletionTest, PopupOpensBesideTheCaretOrFlipsAtTheEdges)
{
  QRect area = Pages->screen()->availableGeometry();
  auto caretPoint = [this] {
    long x = Frame->SynEdit->SendScintilla(B::SCI_POINTXFROMPOSITION, 0UL, Caret());
    long y = Frame->SynEdit->SendScintilla(B::SCI_POINTYFROMPOSITION, 0UL, Caret());
    return Frame->SynEdit->viewport()->mapToGlobal(QPoint(static_cast<int>(x) + 8, static_cast<int>(y) + 8));
  };
  Pages->move(area.topLeft());
  QApplication::processEvents();
  Start(*Types["html"], "<p>");
  QPoint point = caretPoint();
  Type('&');
  EXPECT_EQ(Position, point);

  // Reaching past the bottom right corner of the work area.
  Pages->move(area.right() - 100, area.bottom() - 50);
  QApplication::processEvents();
  Start(*Types["html"], "<p>");
  point = caretPoint();
  ASSERT_GT(point.x() + Popup->width(), area.right() + 1);
  ASSERT_GT(point.y() + Popup->height(), area.bottom() + 1);
  Type('&');
  EXPECT_EQ(Position, QPoint(point.x() - Popup->width(), point.y() - Popup->height()));
}

TEST_F(TagCompletionTest, FrameClosedWhileThePopupIsOpenIsLeftAlone)
{
  // File > Close clicked while the pop-up waits: the frame goes during the
  // pop-up's event loop, and nothing may reach its editor afterwards.
  Start(*Types["html"], "<p>");
  QPointer<TEditFrame> frame(Frame);
  QTimer::singleShot(0, Popup.get(), [this] {
    if (!Popup->FRunning) return;
    Opened = true;
    delete Frame;
    QTest::keyClicks(Popup->ListBox, "cop");
    QTest::keyClick(Popup->ListBox, Qt::Key_Return);
  });
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, "&");
  EXPECT_TRUE(QApplication::sendEvent(Frame->SynEdit, &press));
  Frame = nullptr;
  EXPECT_TRUE(Opened);
  EXPECT_TRUE(frame.isNull());
  EXPECT_EQ(Pages->PageCount(), 0);
  EXPECT_FALSE(Popup->isVisible());
}

TEST_F(TagCompletionTest, KeysTypedWhileThePopupClosesReachTheDocument)
{
  // Typed fast, the keys after the one that closes the pop-up are already
  // queued for it when it closes; they belong to the document, in order.
  Start(*Types["xsl"], "");
  Pages->activateWindow();
  Frame->SynEdit->setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Pages.get()));
  ASSERT_EQ(QApplication::focusWidget(), Frame->SynEdit);
  QTimer::singleShot(0, Popup.get(), [this] {
    if (!Popup->FRunning) return;
    Opened = true;
    for (char key : std::string("zz>q"))
      QCoreApplication::postEvent(Popup->ListBox, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(key)));
  });
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, "<");
  QApplication::sendEvent(Frame->SynEdit, &press);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_TRUE(Opened);
  EXPECT_EQ(Shown(), "<zz>q|</zz>");
}

TEST_F(TagCompletionTest, SearchesInALongDocumentSeeEveryEdit)
{
  // Far from the caret the searches keep what they found; an edit there, an
  // undo or a new text must still be seen.
  std::string records;
  for (int i = 0; i < 4000; ++i) records += "  <a n=\"" + std::to_string(i) + "\"></a><b/>text\n";
  Start(*Types["xsl"], "<r>\n" + records);
  TTagCompleter& completer = *TTagCompleter::Of(*Frame);
  QsciScintilla& e = *Frame->SynEdit;
  EXPECT_EQ(completer.GetEnclosingElement(), "r");
  e.SendScintilla(B::SCI_SETTARGETRANGE, 1UL, 2L);
  e.SendScintilla(B::SCI_REPLACETARGET, 1UL, "s");
  GoTo(e.SendScintilla(B::SCI_GETLENGTH));
  EXPECT_EQ(completer.GetEnclosingElement(), "s");
  e.SendScintilla(B::SCI_UNDO);
  GoTo(e.SendScintilla(B::SCI_GETLENGTH));
  EXPECT_EQ(completer.GetEnclosingElement(), "r");
  Frame->SetText("<t>\n" + records);
  GoTo(e.SendScintilla(B::SCI_GETLENGTH));
  EXPECT_EQ(completer.GetEnclosingElement(), "t");
  e.SendScintilla(B::SCI_ADDTEXT, 4UL, "</t>");
  EXPECT_EQ(completer.GetEnclosingElement(), "");
  // An attribute value opened near the start: the caret far below is in it.
  EXPECT_FALSE(completer.GetTagContext().InTag);
  Frame->SetText("<t a=\"\n" + records);
  GoTo(e.SendScintilla(B::SCI_GETLENGTH));
  e.SendScintilla(B::SCI_ADDTEXT, 2UL, "<c");
  EXPECT_EQ(completer.GetTagContext().TagName, "c");
}
