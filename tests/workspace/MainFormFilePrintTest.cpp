// File > Print: the print dialog's range, the header and footer of every
// page, the selection and page ranges, and the help pane's print.

#include <QAction>
#include <QPrintDialog>
#include <Qsci/qsciscintilla.h>
#include <map>
#include <regex>

#include "MainFormFixture.h"
#include "editor/TSynEditPrint.h"
#include "panes/THelpFrame.h"
#include "panes/TWebBrowser.h"

namespace {

using B = QsciScintillaBase;

class MainFormFilePrintTest : public MainFormFixture {
protected:
  struct TPage {
    QStringList Header;
    QStringList Footer;
  };
  std::map<int, TPage> Pages;  // what the last print put on each page
  int DialogMaxPage = 0;
  std::string Pdf;

  // Answers the print dialog: the job goes to a PDF file with the range given.
  void AnswerPrint(QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages, int from = 0,
                   int to = 0)
  {
    Pdf = Folder + "out.pdf";
    std::filesystem::remove(Pdf);
    Pages.clear();
    Form().OnPrintDialog = [=](QPrintDialog& dialog, QPrinter& printer) {
      EXPECT_EQ(dialog.minPage(), 1);
      EXPECT_EQ(dialog.fromPage(), 1);
      EXPECT_EQ(dialog.toPage(), dialog.maxPage());
      DialogMaxPage = dialog.maxPage();
      printer.setOutputFileName(QString::fromStdString(Pdf));
      dialog.setPrintRange(range);
      if (range == QAbstractPrintDialog::PageRange) dialog.setFromTo(from, to);
      static_cast<TSynEditPrint&>(printer).OnItemDrawn = [this](int page, bool header, const QString& text) {
        (header ? Pages[page].Header : Pages[page].Footer) << text;
      };
      return true;
    };
  }

  TEditFrame& OpenLines(int lines)
  {
    std::string text;
    for (int i = 1; i <= lines; ++i) text += "<line n=\"" + std::to_string(i) + "\"/>\r\n";
    TEditFrame* frame = Form().NewEditFrame("xml", TURL("file:" + Write("long.xml", text)), false);
    FocusEditor(*frame);
    return *frame;
  }

  static int PdfPageCount(const std::string& path)
  {
    std::string pdf = ReadTestFile(path);
    std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
  }
};

TEST_F(MainFormFilePrintTest, EveryPageHasTheURLHeaderAndThePageAndDateFooterOnceEachTime)
{
  TMainForm& form = Start();
  TEditFrame& frame = OpenLines(300);
  const QString header = QString::fromStdString("XML-Plivek - file:" + Folder + "long.xml");
  for (int run = 0; run < 2; ++run) {
    AnswerPrint();
    form.Action("MenuFilePrint")->trigger();
    ASSERT_GE(DialogMaxPage, 3);
    ASSERT_EQ(static_cast<int>(Pages.size()), DialogMaxPage);
    for (const auto& [number, page] : Pages) {
      EXPECT_EQ(page.Header, QStringList({header}));
      ASSERT_EQ(page.Footer.size(), 2);
      EXPECT_EQ(page.Footer[0], QString("%1 of %2").arg(number).arg(DialogMaxPage));
      EXPECT_FALSE(page.Footer[1].contains('$'));
      EXPECT_FALSE(page.Footer[1].isEmpty());
    }
    EXPECT_EQ(PdfPageCount(Pdf), DialogMaxPage);
  }
  (void)frame;
}

TEST_F(MainFormFilePrintTest, PageRangeAndSelectionPrintOnlyTheirPart)
{
  TMainForm& form = Start();
  TEditFrame& frame = OpenLines(300);
  AnswerPrint(QAbstractPrintDialog::PageRange, 2, 3);
  form.MenuFilePrintClick();
  ASSERT_EQ(Pages.size(), 2u);
  EXPECT_EQ(Pages[2].Footer.value(0), QString("2 of %1").arg(DialogMaxPage));
  EXPECT_EQ(Pages[3].Footer.value(0), QString("3 of %1").arg(DialogMaxPage));
  EXPECT_EQ(PdfPageCount(Pdf), 2);

  frame.SynEdit->setSelection(10, 0, 14, 0);
  AnswerPrint(QAbstractPrintDialog::Selection);
  form.MenuFilePrintClick();
  ASSERT_EQ(Pages.size(), 1u);
  EXPECT_EQ(Pages[1].Footer.value(0), "1 of 1");
}

TEST_F(MainFormFilePrintTest, PrintingLeavesTheEditorsMarginsAsTheyWere)
{
  TMainForm& form = Start();
  TEditFrame& frame = OpenLines(20);
  std::vector<long> widths;
  for (int i = 0; i < 3; ++i) widths.push_back(frame.SynEdit->SendScintilla(B::SCI_GETMARGINWIDTHN, i));
  AnswerPrint();
  form.MenuFilePrintClick();
  EXPECT_EQ(Pages.size(), 1u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(frame.SynEdit->SendScintilla(B::SCI_GETMARGINWIDTHN, i), widths[i]) << i;
}

TEST_F(MainFormFilePrintTest, MacrosAreExpandedInOnePassAndTheHeaderAddressIsNot)
{
  TSynEditPrint print;
  EXPECT_EQ(print.ExpandMacros("$PAGENUM$ of $PAGECOUNT$", 2, 7), "2 of 7");
  EXPECT_EQ(print.ExpandMacros("$title$ $$PAGENUM$", 3, 3), "XML-Plivek $3");
  EXPECT_EQ(print.ExpandMacros("no macro", 1, 1), "no macro");
}

TEST_F(MainFormFilePrintTest, AFileNamedLikeAMacroPrintsItsOwnName)
{
  TMainForm& form = Start();
  TEditFrame* frame = form.NewEditFrame("xml", TURL("file:" + Write("$PAGENUM$.xml", "<a/>\r\n")), false);
  FocusEditor(*frame);
  AnswerPrint();
  form.MenuFilePrintClick();
  EXPECT_EQ(Pages[1].Header.value(0).toStdString(), "XML-Plivek - file:" + Folder + "$PAGENUM$.xml");
}

TEST_F(MainFormFilePrintTest, TheHelpPanePrintsThroughItsBrowserWithThePrompt)
{
  TMainForm& form = Start();
  auto* help = qobject_cast<THelpFrame*>(form.FHelpFrame);
  ASSERT_NE(help, nullptr);
  int prompts = 0;
  help->WebBrowser->OnPrintSetup = [&prompts](QPrinter&) {
    ++prompts;
    return false;  // the user cancels
  };
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  help->WebBrowser->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(form.GetActiveFrame(), help);
  form.MenuFilePrintClick();
  EXPECT_EQ(prompts, 1);
}

TEST_F(MainFormFilePrintTest, AHelpPagePrintThatFailsIsReported)
{
  TMainForm& form = Start();
  auto* help = qobject_cast<THelpFrame*>(form.FHelpFrame);
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([help] { return !help->WebBrowser->Busy(); }, 20000));
  help->WebBrowser->OnPrintSetup = [](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/proc/xmlplivek-help.pdf");  // no file can be made there
    return true;
  };
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  help->WebBrowser->setFocus();
  QApplication::processEvents();
  form.MenuFilePrintClick();
  // The print runs on after the command; its end enables printing again.
  ASSERT_TRUE(QTest::qWaitFor(
      [help] { return help->WebBrowser->QueryStatus(OLECMDID_PRINT) & OLECMDF_ENABLED; }, 20000));
  EXPECT_EQ(Prompts->Messages, QStringList({"The help page could not be printed."}));
}

}  // namespace
