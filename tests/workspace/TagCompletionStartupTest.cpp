// Tag closing and autocompletion in the running program: documents opened by
// the main window complete, and schema errors reach the user.

#include <Qsci/qsciscintilla.h>
#include <QListWidget>
#include <QTimer>

#include "MainFormFixture.h"
#include "editor/TAutoCompleteForm.h"
#include "model/TAutoCompleteSchema.h"

namespace {

using B = QsciScintillaBase;

class TagCompletionStartupTest : public MainFormFixture {
protected:
  TEditFrame& Open(const std::string& id, const std::string& name, const std::string& bytes)
  {
    TEditFrame* frame = Form().NewEditFrame(id, TURL("file:" + Write(name, bytes)), false);
    FocusEditor(*frame);
    frame->SynEdit->SendScintilla(B::SCI_DOCUMENTEND);
    return *frame;
  }

  static std::string Bytes(TEditFrame& frame) { return frame.GetText(); }
};

}  // namespace

TEST_F(TagCompletionStartupTest, OpenedDocumentsCloseTheirTags)
{
  Start();
  ASSERT_NE(AutoCompleteForm, nullptr);
  TEditFrame& xsl = Open("xsl", "a.xsl", "<xsl:template match=\"/\"");
  QTest::keyClick(xsl.SynEdit, '>');
  EXPECT_EQ(Bytes(xsl), "<xsl:template match=\"/\"></xsl:template>");
  EXPECT_TRUE(xsl.FStatus & esModified);

  TEditFrame& css = Open("css", "a.css", "<b");
  QTest::keyClick(css.SynEdit, '>');
  EXPECT_EQ(Bytes(css), "<b>");
}

TEST_F(TagCompletionStartupTest, SchemaErrorsAreShownAndTheListStillOpens)
{
  // A child without an element in the XML type's schema.
  std::string schema = ReadTestFile(Folder + "help/xml/xml.pvcs");
  std::string child = "<child name=\"?xml\"/>";
  ASSERT_NE(schema.find(child), std::string::npos);
  schema.insert(schema.find(child), "<child name=\"nowhere\"/>");
  Write("help/xml/xml.pvcs", schema);
  Start();

  TEditFrame& xml = Open("xml", "a.xml", "");
  int items = -1;
  QTimer::singleShot(0, AutoCompleteForm, [&] {
    items = AutoCompleteForm->GetItems().Count();
    QTest::keyClick(AutoCompleteForm->ListBox, Qt::Key_Return);
  });
  QTest::keyClick(xml.SynEdit, '<');
  EXPECT_TRUE(Prompts->Messages.contains("error in schema: nowhere not found."));
  EXPECT_EQ(items, 1);
  EXPECT_EQ(Bytes(xml), "<?xml version=\"1.0\"?>");
}
