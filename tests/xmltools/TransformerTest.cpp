// The XSLT transformer on real stylesheets: includes and document() relative
// to the stylesheet, the three output methods with indent and encoding, EXSLT
// functions, and its error reports.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "CancelledWork.h"
#include "FileOpenWatch.h"
#include "TypesTestSupport.h"
#include "XMLToolsTestSupport.h"
#include "resource/EResourceError.h"
#include "xmltools/pvtools.h"

namespace {

std::string Catalog()
{
  return ReadTestFile(TransformData("catalog.xml"));
}

// The result of the stylesheet file name applied to input; the current
// folder is restored afterwards.
std::string TransformWith(const std::string& name, const std::string& input)
{
  CurrentFolderScope scope(CurrentFolderName());
  TXMLTransformer transformer;
  transformer.LoadStyleSheet(TransformData(name));
  std::string output = "stale";
  transformer.Transform(input, output);
  return output;
}

const char* const kIdentity =
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
    "<xsl:output method=\"xml\" omit-xml-declaration=\"yes\"/>\n"
    "<xsl:template match=\"/\"><xsl:copy-of select=\".\"/></xsl:template>\n"
    "</xsl:stylesheet>\n";

}  // namespace

TEST(TransformerOutput, XmlIndentedInIsoLatin1WithIncludeAndDocument)
{
  EXPECT_EQ(TransformWith("report.xsl", Catalog()),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
            "<report>\n"
            "  <line group=\"office\">Pencil: 0.80</line>\n"
            "  <line group=\"office\">Eraser: 1.20</line>\n"
            "  <line group=\"caf\xE9\">Coffee: 3.50</line>\n"
            "</report>\n");
}

TEST(TransformerOutput, Html)
{
  EXPECT_EQ(TransformWith("page.xsl", Catalog()),
            "<html><body>\n<h1>Catalogue</h1>Pencil<br>Eraser<br>Coffee<br>\n</body></html>\n");
}

TEST(TransformerOutput, Text)
{
  EXPECT_EQ(TransformWith("list.xsl", Catalog()), "p1=Pencil\ne1=Eraser\nc1=Coffee\n");
}

TEST(TransformerOutput, ExsltFunctions)
{
  EXPECT_EQ(TransformWith("exslt.xsl", Catalog()),
            "max=17\ngroups=office;caf\xC3\xA9;\ntokens=a|b|c|\npadded=***\n");
}

TEST(TransformerOutput, InputEncodingIsHonoured)
{
  std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<catalog><item code=\"x\">Caf\xE9</item></catalog>";
  EXPECT_EQ(TransformWith("list.xsl", latin1), "x=Caf\xC3\xA9\n");
}

TEST(TransformerLifecycle, TransformBeforeAnyStylesheetRaises)
{
  TXMLTransformer transformer;
  std::string output = "stale";
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "No stylesheet has been set: set or load a stylesheet before transforming.");
  EXPECT_EQ(output, "");
}

TEST(TransformerLifecycle, TwoTransformsInARowAreIndependent)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(kIdentity);
  std::string output;
  transformer.Transform("<first><x/></first>", output);
  EXPECT_EQ(output, "<first><x/></first>\n");
  transformer.Transform("<second/>", output);
  EXPECT_EQ(output, "<second/>\n");
}

TEST(TransformerLifecycle, LoadStyleSheetLeavesItsFolderCurrent)
{
  CurrentFolderScope scope(MakeTempFolder());
  TXMLTransformer transformer;
  transformer.LoadStyleSheet(TransformData("lib/common.xsl"));
  EXPECT_EQ(CurrentFolderName() + "/", TransformData("lib/"));
  EXPECT_EQ(transformer.XSLFile, TransformData("lib/common.xsl"));
  EXPECT_EQ(transformer.XSLText, ReadTestFile(TransformData("lib/common.xsl")));
}

TEST(TransformerLifecycle, RelativeNamesInATextStylesheetUseTheCurrentFolder)
{
  std::string text =
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:output method=\"text\"/>\n"
      "<xsl:template match=\"/\"><xsl:value-of select=\"count(document('prices.xml')//price)\"/></xsl:template>\n"
      "</xsl:stylesheet>\n";
  CurrentFolderScope scope(TransformData());
  TXMLTransformer transformer;
  transformer.SetStyleSheet(text);
  std::string output;
  transformer.Transform("<a/>", output);
  EXPECT_EQ(output, "3");
}

TEST(TransformerLifecycle, MissingStylesheetFileRaisesTheOpenError)
{
  TXMLTransformer transformer;
  EXPECT_THROW(transformer.LoadStyleSheet(TransformData("no-such.xsl")), EFOpenError);
  EXPECT_FALSE(transformer.HasStyleSheet());
}

TEST(TransformerErrors, InputThatIsNotWellFormedRaisesItsParseError)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(kIdentity);
  std::string output = "stale";
  // Lines end where the user sees them end: libxml2 counts LF only.
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    EXPECT_EQ(MessageOf<EXMLParseError>(
                  [&] { transformer.Transform("<catalog>" + end + "  <item>" + end + "</catalog>", output); }),
              "Opening and ending tag mismatch: item line 2 and catalog\r\nLine: 3\r\n</catalog>");
    EXPECT_EQ(output, "");
    EXPECT_EQ(MessageOf<EXMLParseError>([&] {
                TXMLTransformer broken;
                broken.SetStyleSheet("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">" +
                                     end + "<xsl:template match=\"/\"><out>" + end + "</xsl:template>" + end +
                                     "</xsl:stylesheet>");
              }),
              "Opening and ending tag mismatch: out line 2 and xsl:template\r\nLine: 3\r\n</xsl:template>");
  }
  EXPECT_EQ(MessageOf<EXMLParseError>([&] { transformer.Transform("", output); }).substr(0, 17), "Document is empty");
}

TEST(TransformerErrors, StylesheetThatIsNotWellFormedRaisesItsOwnParseErrorAndLeavesNone)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(kIdentity);
  EXPECT_EQ(MessageOf<EXMLParseError>([&] { transformer.LoadStyleSheet(TransformData("not-well-formed.xsl")); }),
            "Opening and ending tag mismatch: out line 4 and xsl:template\r\nLine: 5\r\n  </xsl:template>");
  EXPECT_FALSE(transformer.HasStyleSheet());
  std::string output;
  EXPECT_THROW(transformer.Transform("<a/>", output), EXSLTError);
}

TEST(TransformerErrors, CompilationErrorNamesTheStylesheetLine)
{
  TXMLTransformer transformer;
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.LoadStyleSheet(TransformData("bad-xpath.xsl")); }),
            "xsl:value-of : could not compile select expression 'count(item[@code ='\r\nLine: 5\r\n"
            "      <xsl:value-of select=\"count(item[@");
  EXPECT_FALSE(transformer.HasStyleSheet());
}

TEST(TransformerErrors, ADocumentThatIsNoStylesheet)
{
  TXMLTransformer transformer;
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.SetStyleSheet("<html><body/></html>"); }),
            "xsltParseStylesheetProcess : document is not a stylesheet\r\nLine: 1\r\n<html><body/></html>");
  EXPECT_FALSE(transformer.HasStyleSheet());
}

TEST(TransformerErrors, RuntimeErrorAndTerminatingMessage)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:template match=\"/\">\n"
      "<xsl:message>working</xsl:message>\n"
      "<xsl:message terminate=\"yes\">no items</xsl:message>\n"
      "</xsl:template>\n"
      "</xsl:stylesheet>\n");
  std::string output;
  std::string message = MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); });
  EXPECT_EQ(message, "The stylesheet stopped the transformation: no items\r\nLine: 4\r\n"
                     "<xsl:message terminate=\"yes\">no items</x");
  EXPECT_EQ(output, "");

  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:template match=\"/\">\n"
      "<xsl:value-of select=\"$undefined\"/>\n"
      "</xsl:template>\n"
      "</xsl:stylesheet>\n");
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "Variable 'undefined' has not been declared.\r\nLine: 3\r\n<xsl:value-of select=\"$undefined\"/>");
}

TEST(TransformerErrors, EndlessRecursionNamesTheLimit)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:template match=\"/\"><xsl:call-template name=\"r\"/></xsl:template>\n"
      "<xsl:template name=\"r\"><xsl:call-template name=\"r\"/></xsl:template>\n"
      "</xsl:stylesheet>\n");
  std::string output;
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "The transformation exceeds the XSLT processor's limit of 3,000 levels of nested template calls and "
            "variables (is a recursion endless?)\r\nLine: 3\r\n<xsl:template name=\"r\"><xsl:call-templat");
}

// Messages go to the log at a level the log pane always shows; they are no
// errors unless they terminate the transformation.
TEST(TransformerErrors, MessagesOfASuccessfulTransformAreNoErrors)
{
  LogCapture log;
  TXMLTransformer transformer;
  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:output method=\"text\"/>\n"
      "<xsl:template match=\"/\"><xsl:message>note</xsl:message>done<xsl:apply-templates/></xsl:template>\n"
      "<xsl:template match=\"b\">\n<xsl:message>two\nlines for <xsl:value-of select=\".\"/></xsl:message>\n"
      "</xsl:template>\n"
      "</xsl:stylesheet>\n");
  std::string output;
  transformer.Transform("<a><b>x</b><b>y</b></a>", output);
  EXPECT_EQ(output, "done");
  EXPECT_EQ(transformer.MessagesLogged(), 3);
  ASSERT_EQ(log.Messages.size(), 3u);
  EXPECT_EQ(log.Count(2, "xsl:message (line 3): note"), 1);
  EXPECT_EQ(log.Count(2, "xsl:message (line 5): two\nlines for x"), 1);
  EXPECT_EQ(log.Count(2, "xsl:message (line 5): two\nlines for y"), 1);
  // From a file, the line names the file; a terminating message is logged too.
  transformer.LoadStyleSheet(TransformData("stop.xsl"));
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "The stylesheet stopped the transformation: nothing to do\r\nLine: 3\r\n"
            "  <xsl:message terminate=\"yes\">nothing t");
  EXPECT_EQ(log.Count(2, "xsl:message (line 3 of stop.xsl): nothing to do"), 1);
  EXPECT_EQ(transformer.MessagesLogged(), 1);
  // A log that cannot be written fails the transformation with its error.
  AppLog().FileName = MakeTempFolder();
  EXPECT_THROW(transformer.Transform("<a/>", output), EInOutError);
}

// Every error libxslt reports fails the transformation, also those it counts
// as warnings or reports without stopping, and so does a document that
// document() cannot load.
TEST(TransformerErrors, EveryReportedErrorFails)
{
  const std::string head = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n";
  const std::string tail = "</xsl:stylesheet>\n";
  TXMLTransformer transformer;
  EXPECT_EQ(MessageOf<EXSLTError>([&] {
              transformer.SetStyleSheet(head + "<xsl:template match=\"/\">\nA<xsl:value-off select=\"1\"/>B\n"
                                               "</xsl:template>\n" + tail);
            }),
            "xsltStylePreCompute: unknown xsl:value-off\r\nLine: 3\r\nA<xsl:value-off select=\"1\"/>B");
  EXPECT_FALSE(transformer.HasStyleSheet());
  // An output encoding that is not known: the result would be UTF-8 under its name.
  EXPECT_EQ(MessageOf<EXSLTError>([&] {
              transformer.SetStyleSheet(head + "<xsl:output encoding=\"bogus-8\"/>\n"
                                               "<xsl:template match=\"/\"><r/></xsl:template>\n" + tail);
            }),
            "xsl:output names the encoding \"bogus-8\", which is not known.");
  EXPECT_FALSE(transformer.HasStyleSheet());

  std::string folder = MakeTempFolder();
  WriteTestFile(folder + "broken.xml", "<prices>\n<price></prices>\n");
  CurrentFolderScope scope(folder);
  std::string output = "stale";
  transformer.SetStyleSheet(head + "<xsl:template match=\"/\">\n<xsl:copy-of select=\"document('missing.xml')\"/>\n"
                                   "</xsl:template>\n" + tail);
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "Cannot open \"" + folder + "missing.xml\": No such file or directory\r\nLine: 3\r\n"
            "<xsl:copy-of select=\"document('missing.x");
  EXPECT_EQ(output, "");
  transformer.SetStyleSheet(head + "<xsl:template match=\"/\">\n<xsl:copy-of select=\"document('broken.xml')\"/>\n"
                                   "</xsl:template>\n" + tail);
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "Opening and ending tag mismatch: price line 2 and prices (in \"" + folder + "broken.xml\")\r\n"
            "Line: 2\r\n<price></prices>");

  // A stylesheet for a later XSLT version runs; an instruction it does not
  // know fails only where it runs without a fallback.
  const std::string later = "<xsl:stylesheet version=\"2.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                            "<xsl:output method=\"text\"/>\n";
  transformer.SetStyleSheet(later + "<xsl:template match=\"/\">A<xsl:next><xsl:fallback>B</xsl:fallback></xsl:next>"
                                    "<xsl:if test=\"false()\"><xsl:next/></xsl:if></xsl:template>\n" + tail);
  transformer.Transform("<a/>", output);
  EXPECT_EQ(output, "AB");
  transformer.SetStyleSheet(later + "<xsl:template match=\"/\">\nA<xsl:next/>\n</xsl:template>\n" + tail);
  EXPECT_EQ(MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); }),
            "xsltApplySequenceConstructor: next was not compiled\r\nLine: 4\r\nA<xsl:next/>");
}

TEST(TransformerErrorReport, ReadsContextLines)
{
  XMLErrorRecord report = XSLTErrorReport(
      "note from xsl:message\n"
      "runtime error: file /x/my style.xsl line 12 element value-of\n"
      "Variable 'v' has not been declared.\n");
  EXPECT_EQ(report.Reason, "Variable 'v' has not been declared.");
  EXPECT_EQ(report.File, "/x/my style.xsl");
  EXPECT_EQ(report.Line, 12);
  report = XSLTErrorReport("compilation error: element template\nxsl:template : bad\n");
  EXPECT_EQ(report.Reason, "xsl:template : bad");
  EXPECT_EQ(report.Line, 0);
  // A report without context line is an error too, without a place.
  report = XSLTErrorReport("xsltApplySequenceConstructor: x was not compiled\n");
  EXPECT_EQ(report.Reason, "xsltApplySequenceConstructor: x was not compiled");
  EXPECT_EQ(report.Line, 0);
  // Notices are no errors.
  EXPECT_EQ(XSLTErrorReport("compilation error: file a.xsl line 1 element stylesheet\n"
                            "xsl:version: only 1.1 features are supported\n").Reason, "");
  EXPECT_EQ(LastReportLine("first\nlast words\n\n"), "last words");
  EXPECT_EQ(XSLTErrorReport("").Reason, "");
}

TEST(TransformerLifecycle, StylesheetInAFolderWithUrlCharacters)
{
  for (std::string name : {"a#b", "what?", "100%", "x#y?z%"}) {
    std::string folder = MakeTempFolder() + name + "/";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder + "lib").c_str(), 0755), 0);
    for (const char* file : {"report.xsl", "lib/common.xsl", "prices.xml"})
      WriteTestFile(folder + file, ReadTestFile(TransformData(file)));
    CurrentFolderScope scope(CurrentFolderName());
    TXMLTransformer fromFile;
    std::string output;
    EXPECT_NO_THROW({
      fromFile.LoadStyleSheet(folder + "report.xsl");
      fromFile.Transform(Catalog(), output);
    }) << name;
    EXPECT_EQ(output, TransformWith("report.xsl", Catalog())) << name;
    // The same stylesheet given as the text of a document in that folder.
    TXMLTransformer fromText;
    output.clear();
    EXPECT_NO_THROW({
      fromText.SetStyleSheet(ReadTestFile(folder + "report.xsl"), folder + "report.xsl");
      fromText.Transform(Catalog(), output);
    }) << name;
    EXPECT_EQ(output, TransformWith("report.xsl", Catalog())) << name;
  }
}

TEST(TransformerLifecycle, StylesheetInAFolderWithBlanks)
{
  std::string folder = MakeTempFolder() + "my styles/";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((folder + "lib").c_str(), 0755), 0);
  for (const char* name : {"report.xsl", "lib/common.xsl", "prices.xml"})
    WriteTestFile(folder + name, ReadTestFile(TransformData(name)));
  CurrentFolderScope scope(CurrentFolderName());
  TXMLTransformer transformer;
  transformer.LoadStyleSheet(folder + "report.xsl");
  std::string output;
  transformer.Transform(Catalog(), output);
  EXPECT_EQ(output, TransformWith("report.xsl", Catalog()));
}

// Only regular files are read: a stylesheet that includes or imports a named
// pipe, or reads one with document(), would wait for a writer for ever.
// None is opened; each fails with a clear error.
TEST(TransformerErrors, NamedPipesAreNotRead)
{
  std::string folder = MakeTempFolder();
  TFifoTrap style(folder + "pipe.xsl");
  TFifoTrap data(folder + "pipe.xml");
  CurrentFolderScope scope(folder);
  TXMLTransformer transformer;
  for (const char* instruction : {"include", "import"}) {
    std::string text = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                       "<xsl:" + std::string(instruction) + " href=\"pipe.xsl\"/>\n"
                       "</xsl:stylesheet>\n";
    std::string message = MessageOf<EXSLTError>([&] { transformer.SetStyleSheet(text); });
    EXPECT_NE(message.find("\"" + folder + "pipe.xsl\": It is a named pipe, not a file."), std::string::npos)
        << message;
    EXPECT_FALSE(transformer.HasStyleSheet());
  }
  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:template match=\"/\"><xsl:copy-of select=\"document('pipe.xml')\"/></xsl:template>\n"
      "</xsl:stylesheet>\n");
  std::string output;
  std::string message = MessageOf<EXSLTError>([&] { transformer.Transform("<a/>", output); });
  EXPECT_NE(message.find("\"" + folder + "pipe.xml\": It is a named pipe, not a file."), std::string::npos)
      << message;
  EXPECT_FALSE(style.Opened());
  EXPECT_FALSE(data.Opened());
}

TEST(TransformerProgress, CancelledBeforeTheTransformRaisesECancelledAndTheNextRuns)
{
  TXMLTransformer transformer;
  transformer.SetStyleSheet(kIdentity);
  std::string output = "stale";
  {
    TWorkProgress progress;
    progress.Cancel();
    TWorkProgressScope scope(progress);
    EXPECT_THROW(transformer.Transform("<a><b/></a>", output), ECancelled);
  }
  EXPECT_EQ(output, "");
  transformer.Transform("<a><b/></a>", output);
  EXPECT_EQ(output, "<a><b/></a>\n");
}

// The transformation of a large document reports the bytes parsed and stops
// once the user cancels it.
TEST(TransformerProgress, ReportsTheBytesParsedAndStopsWhenCancelled)
{
  std::string input = LargeCatalog(16u << 20);
  TXMLTransformer transformer;
  transformer.SetStyleSheet(kIdentity);
  std::string output;
  {
    TWorkProgress progress;
    TWorkProgressScope scope(progress);
    transformer.Transform(input, output);
    EXPECT_EQ(progress.Done(), input.size());
    EXPECT_EQ(progress.Total(), input.size());
    EXPECT_EQ(progress.Unit(), TProgressUnit::bytes);
  }
  std::string expected = output;
  ASSERT_GT(expected.size(), input.size() / 2);
  EXPECT_EQ(expected.substr(expected.size() - 100), input.substr(input.size() - 100));
  {
    TWorkProgress progress;
    TWorkProgressScope scope(progress);
    CancelOnceStarted user(progress);
    EXPECT_THROW(transformer.Transform(input, output), ECancelled);
    EXPECT_TRUE(output.empty());
  }
  transformer.Transform(input, output);
  EXPECT_TRUE(output == expected);
}

// A cancel stops a transformation that is under way: the first message
// cancels it, and no further instruction runs.
TEST(TransformerProgress, CancelStopsTheTransformation)
{
  LogCapture log;
  TWorkProgress progress;
  AppLog().OnLog = [&progress](TzevLog&, std::uint8_t, const std::string&) { progress.Cancel(); };
  TXMLTransformer transformer;
  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:output method=\"text\"/>\n"
      "<xsl:template match=\"/\">\n"
      "<xsl:for-each select=\"//i\"><xsl:message>item</xsl:message><xsl:value-of select=\"position()\"/>,"
      "</xsl:for-each>\n"
      "</xsl:template>\n"
      "</xsl:stylesheet>\n");
  std::string input = "<a>";
  for (int i = 0; i < 1000; ++i) input += "<i/>";
  input += "</a>";
  std::string output = "stale";
  {
    TWorkProgressScope scope(progress);
    EXPECT_THROW(transformer.Transform(input, output), ECancelled);
  }
  EXPECT_EQ(transformer.MessagesLogged(), 1);
  EXPECT_EQ(output, "");
  AppLog().OnLog = nullptr;
  transformer.Transform("<a><i/><i/></a>", output);
  EXPECT_EQ(output, "1,2,");
}

// One XPath expression may run for minutes (each element against those that
// follow it, each of those against those before it), and libxslt looks at
// the cancel only between instructions. A cancel while it runs ends the
// transformation within a bound: the expression reads a file first, so the
// test knows it is under way.
TEST(TransformerProgress, CancelStopsOneLongExpression)
{
  const std::string folder = MakeTempFolder();
  WriteTestFile(folder + "signal.xml", "<s/>");
  FileOpenWatch signal(folder + "signal.xml");
  CurrentFolderScope scope(folder);
  TXMLTransformer transformer;
  transformer.SetStyleSheet(
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
      "<xsl:output method=\"text\"/>\n<xsl:template match=\"/\"><xsl:value-of select=\"count(document('signal.xml'))"
      " + count(//a[count(following::a[count(preceding::a) &gt; 0]) &gt; 0])\"/></xsl:template>\n"
      "</xsl:stylesheet>\n");
  std::string input = "<r>";
  for (int i = 0; i < 20000; ++i) input += "<a/>";
  input += "</r>";
  std::string output;
  std::chrono::steady_clock::time_point cancelled;
  std::exception_ptr raised = RunAndCancel([&] { transformer.Transform(input, output, folder + "in.xml"); },
                                           [&](const TWorkProgress&) {
                                             cancelled = std::chrono::steady_clock::now();
                                             return signal.Opened();
                                           });
  EXPECT_EQ(Outcome(raised), "cancelled");
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(10));
  EXPECT_EQ(output, "");
}
