// Documents in their own encoding and line ends, in an editor frame: every
// fixture opens in the encoding its bytes give, saves back byte for byte,
// and takes typed characters in that encoding, or refuses them clearly when
// the encoding cannot hold them.

#include <QKeyEvent>
#include <functional>

#include "EditFrameFixture.h"
#include "model/TFileType.h"
#include "text/ETextEncodingError.h"

namespace {

const std::string Fixtures = std::string(TEST_DATA_DIR) + "/encodings/";

// "é€日本" as typed, and in the encodings that can hold it.
const QString TypedText = QString::fromUtf8("\u00E9\u20AC\u65E5\u672C");
const std::string InUTF8 = "\xC3\xA9\xE2\x82\xAC\xE6\x97\xA5\xE6\x9C\xAC";
const std::string InUTF16LE("\xE9\x00\xAC\x20\xE5\x65\x2C\x67", 8);
const std::string InUTF16BE("\x00\xE9\x20\xAC\x65\xE5\x67\x2C", 8);

enum class TKind { XML, HTML, CSS };

struct TEncodingCase {
  const char* File;
  TKind Kind;
  const char* Encoding;
  QsciScintilla::EolMode LineEnd;
  std::string Typed;     // the typed text as saved; empty when refused
  const char* Refused;   // the first typed character the encoding cannot hold
  bool Warned;           // opened as Windows-1252 with a warning
};

const QsciScintilla::EolMode LF = QsciScintilla::EolUnix;
const QsciScintilla::EolMode CRLF = QsciScintilla::EolWindows;
const QsciScintilla::EolMode CR = QsciScintilla::EolMac;

const TEncodingCase Cases[] = {
    {"utf8.xml", TKind::XML, "UTF-8", LF, InUTF8, nullptr, false},
    {"utf8-bom.xml", TKind::XML, "UTF-8", CRLF, InUTF8, nullptr, false},
    {"utf8-undeclared.xml", TKind::XML, "UTF-8", LF, InUTF8, nullptr, false},
    {"utf16le.xml", TKind::XML, "UTF-16LE", CRLF, InUTF16LE, nullptr, false},
    {"utf16be.xml", TKind::XML, "UTF-16BE", LF, InUTF16BE, nullptr, false},
    {"invalid-utf16.xml", TKind::XML, "WINDOWS-1252", LF, "", "\xE6\x97\xA5", true},
    {"iso-8859-1.xml", TKind::XML, "ISO-8859-1", LF, "", "\xE2\x82\xAC", false},
    {"windows-1252.xml", TKind::XML, "WINDOWS-1252", CRLF, "", "\xE6\x97\xA5", false},
    {"latin1-undeclared.xml", TKind::XML, "WINDOWS-1252", LF, "", "\xE6\x97\xA5", false},
    {"invalid-utf8.xml", TKind::XML, "UTF-8", LF, InUTF8, nullptr, false},
    {"nul.xml", TKind::XML, "UTF-8", LF, InUTF8, nullptr, false},
    {"cr.xml", TKind::XML, "UTF-8", CR, InUTF8, nullptr, false},
    {"mixed.xml", TKind::XML, "UTF-8", CRLF, InUTF8, nullptr, false},
    {"page.html", TKind::HTML, "WINDOWS-1252", CRLF, "", "\xE6\x97\xA5", false},
    {"style.css", TKind::CSS, "ISO-8859-15", LF, "", "\xE6\x97\xA5", false},
};

class EditFrameEncoding : public EditFrameFixture {
protected:
  TFileType XMLType{"xml.config"};
  TFileType HTMLType{"html.config"};
  TFileType CSSType{"css.config"};

  void SetUp() override
  {
    EditFrameFixture::SetUp();
    XMLType.MimeType = "text/xml";
    XMLType.Highlighter = "XML";
    HTMLType.MimeType = "text/html";
    HTMLType.Highlighter = "XML";
    CSSType.MimeType = "text/css";
    CSSType.Highlighter = "CSS";
  }

  TFileType* TypeOf(TKind kind)
  {
    switch (kind) {
      case TKind::HTML: return &HTMLType;
      case TKind::CSS: return &CSSType;
      case TKind::XML: break;
    }
    return &XMLType;
  }

  // Types text at the end of the document, as key events.
  static void TypeAtEnd(TEditFrame& frame, const QString& text)
  {
    frame.SynEdit->setFocus();
    frame.SynEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(frame.SynEdit, &press);
    }
  }

  static long CaretLine(TEditFrame& frame)
  {
    int line = 0, index = 0;
    frame.SynEdit->getCursorPosition(&line, &index);
    return line + 1;
  }
};

}  // namespace

TEST_F(EditFrameEncoding, EveryFixtureOpensInItsEncodingSavesBackUnchangedAndTakesTypedText)
{
  for (const TEncodingCase& c : Cases) {
    SCOPED_TRACE(c.File);
    const std::string original = ReadTestFile(Fixtures + c.File);
    const std::string path = Write(c.File, original);
    TEditFrame* frame = AddFrame();
    frame->SetFileType(TypeOf(c.Kind));
    Prompts->Messages.clear();
    frame->OpenDocument(Local(path));
    EXPECT_EQ(frame->Text().Model().Format().Encoding, c.Encoding);
    EXPECT_EQ(frame->SynEdit->eolMode(), c.LineEnd);
    ASSERT_EQ(Prompts->Messages.size(), c.Warned ? 1 : 0);
    if (c.Warned) {
      EXPECT_TRUE(Prompts->Messages[0].contains("not valid UTF-16")) << Prompts->Messages[0].toStdString();
    }

    // Opened and saved without an edit: the very same bytes everywhere.
    EXPECT_EQ(ReadTestFile(frame->FBackupFileName), original);
    EXPECT_EQ(frame->GetText(), original);
    frame->Save();
    EXPECT_EQ(ReadTestFile(path), original);

    TypeAtEnd(*frame, TypedText);
    ASSERT_TRUE(frame->FStatus & esModified);
    if (!c.Refused) {
      frame->Save();
      EXPECT_EQ(ReadTestFile(path), original + c.Typed);
      frame->Backup();
      EXPECT_EQ(ReadTestFile(frame->FBackupFileName), original + c.Typed);
      continue;
    }
    // Refused: the message names the character and its line; nothing is
    // written, the document stays modified, the working copy stays too.
    const std::string expected = "The character \"" + std::string(c.Refused) + "\"";
    const std::string line = "in line " + std::to_string(CaretLine(*frame)) + " ";
    try {
      frame->Save();
      ADD_FAILURE() << "saved";
    } catch (const ETextEncodingError& error) {
      EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(line), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(c.Encoding), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadTestFile(path), original);
    EXPECT_TRUE(frame->FStatus & esModified);
    EXPECT_THROW(frame->Backup(), ETextEncodingError);
    EXPECT_EQ(ReadTestFile(frame->FBackupFileName), original);
  }
}

TEST_F(EditFrameEncoding, EnterInsertsTheDocumentsLineEndAndNewDocumentsUseLf)
{
  Frame->SetFileType(&XMLType);
  for (const auto& [bytes, lineEnd] : {std::pair<std::string, std::string>{"<r>\r<a/>\n</r>", "\r"},
                                       {"<r>\r\n<a/>\r</r>", "\r\n"},
                                       {"<r/>", "\n"}}) {
    Frame->OpenDocument(Local(Write("enter.xml", bytes)));
    Frame->SynEdit->setFocus();
    Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QTest::keyClick(Frame->SynEdit, Qt::Key_Return);
    EXPECT_EQ(Frame->GetText(), bytes + lineEnd);
  }
  Frame->NewDocument(Local(Folder + "new.xml"));
  Frame->SetText("");
  Frame->SynEdit->setFocus();
  QTest::keyClicks(Frame->SynEdit, "<r/>");
  QTest::keyClick(Frame->SynEdit, Qt::Key_Return);
  EXPECT_EQ(Frame->GetText(), "<r/>\n");
}

TEST_F(EditFrameEncoding, SaveWritesTheEncodingTheChangedDeclarationNames)
{
  Frame->SetFileType(&XMLType);
  std::string path = Write("d.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>Caf\xC3\xA9</r>\n");
  Frame->OpenDocument(Local(path));
  Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, 30UL, 35L);
  Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, 10UL, "ISO-8859-1");
  Frame->Save();
  EXPECT_EQ(ReadTestFile(path), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r>Caf\xE9</r>\n");
  EXPECT_EQ(Frame->Text().Model().Format().Encoding, "ISO-8859-1");
  // Opened again, the file is read in the encoding it now names.
  TEditFrame* again = AddFrame();
  again->SetFileType(&XMLType);
  again->OpenDocument(Local(path));
  EXPECT_EQ(EditorBytes(*again), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r>Caf\xC3\xA9</r>\n");
}

TEST_F(EditFrameEncoding, EverySaveReadsBackWhatItWritesBeforeWritingIt)
{
  // Typed "\" in Shift_JIS would open again as the yen sign: Save, Save As
  // (to a new file and over another) and the bytes for the tools refuse it
  // with the same message, writing nothing; the working copy keeps the text.
  Frame->SetFileType(&XMLType);
  const std::string bytes = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<r>\x93\xFA</r>\n";
  const std::string path = Write("sjis.xml", bytes);
  const std::string other = Write("other.xml", "<other/>");
  Frame->OpenDocument(Local(path));
  TypeAtEnd(*Frame, "\\");
  const std::string message = "The character \"\\\" (U+005C) in line 3 cannot be written in SHIFT_JIS, the "
                              "document's encoding: it would come back as \"\xC2\xA5\" (U+00A5).";
  auto expectRefused = [&](const std::function<void()>& save) {
    try {
      save();
      ADD_FAILURE() << "saved";
    } catch (const ETextEncodingError& error) {
      EXPECT_EQ(std::string(error.what()).substr(0, message.size()), message);
    }
  };
  expectRefused([&] { Frame->Save(); });
  expectRefused([&] { Frame->SaveAs(Local(Folder + "new.xml")); });
  expectRefused([&] { Frame->SaveAs(Local(other)); });
  expectRefused([&] { Frame->GetText(); });
  expectRefused([&] { Frame->Backup(); });
  EXPECT_EQ(ReadTestFile(path), bytes);
  EXPECT_EQ(ReadTestFile(other), "<other/>");
  EXPECT_FALSE(std::filesystem::exists(Folder + "new.xml"));
  EXPECT_EQ(Frame->FURL.GetNativeName(), path);
  EXPECT_TRUE(Frame->FStatus & esModified);
  Clock += 1;
  Frame->CheckBackup(0);
  EXPECT_EQ(ReadTestFile(Frame->FBackupFileName),
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<r>\xE6\x97\xA5</r>\n\\");

  // What can be written is written, as it opens again.
  Frame->SynEdit->SendScintilla(QsciScintillaBase::SCI_DELETEBACK);
  TypeAtEnd(*Frame, QString::fromUtf8("\u00A5"));
  Frame->Save();
  EXPECT_EQ(ReadTestFile(path), bytes + "\\");
  TEditFrame* again = AddFrame();
  again->SetFileType(&XMLType);
  again->OpenDocument(Local(path));
  EXPECT_EQ(EditorBytes(*again), EditorBytes(*Frame));
}
