// The XML checker on real documents: DTDs with external entities, XML
// schemas named by xsi:noNamespaceSchemaLocation and xsi:schemaLocation, the
// message format of its errors and the loading rules for external resources.

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/globals.h>
#include <sys/stat.h>

#include "XMLToolsTestSupport.h"
#include "xmltools/pvtools.h"

namespace {

// Checks text with the checker fixtures' folder as the current folder.
bool CheckIn(const std::string& folder, const std::string& text, bool validate)
{
  CurrentFolderScope scope(folder);
  TXMLChecker checker;
  checker.Validate = validate;
  checker.XML = text;
  return checker.Check();
}

bool CheckFixture(const std::string& name, bool validate)
{
  return CheckIn(CheckerData(), ReadTestFile(CheckerData(name)), validate);
}

std::string ParseErrorOf(const std::string& text, bool validate, const std::string& folder = CheckerData())
{
  return MessageOf<EXMLParseError>([&] { CheckIn(folder, text, validate); });
}

std::string FixtureErrorOf(const std::string& name, bool validate)
{
  return ParseErrorOf(ReadTestFile(CheckerData(name)), validate);
}

}  // namespace

TEST(CheckerDtd, ValidDocumentWithExternalEntitiesPassesBothChecks)
{
  EXPECT_TRUE(CheckFixture("book.xml", false));
  EXPECT_TRUE(CheckFixture("book.xml", true));
}

TEST(CheckerDtd, InvalidDocumentPassesWellFormednessButNotValidity)
{
  EXPECT_TRUE(CheckFixture("book-invalid.xml", false));
  EXPECT_EQ(FixtureErrorOf("book-invalid.xml", true),
            "Value \"star\" for attribute mark of itemizedlist is not among the enumerated set\r\n"
            "Line: 8\r\n"
            "    <itemizedlist mark=\"star\">");
}

TEST(CheckerDtd, ContentModelViolationNamesTheElementLine)
{
  std::string text =
      "<!DOCTYPE book SYSTEM \"book.dtd\">\n"
      "<book>\n"
      "<chapter id=\"a\"><title>T</title></chapter>\n"
      "<title>Late</title>\n"
      "</book>\n";
  std::string message = ParseErrorOf(text, true);
  EXPECT_EQ(message.substr(0, message.find("\r\n")),
            "Element book content does not follow the DTD, expecting (title , chapter+), got (chapter title )");
  // Content is judged when the element ends.
  EXPECT_NE(message.find("\r\nLine: 5\r\n</book>"), std::string::npos) << message;
}

TEST(CheckerDtd, DanglingIdReferenceIsInvalid)
{
  std::string text =
      "<!DOCTYPE book SYSTEM \"book.dtd\">\n"
      "<book><title>T</title>\n"
      "<chapter id=\"a\"><title>T</title><para><xref linkend=\"nowhere\"/></para></chapter>\n"
      "</book>\n";
  EXPECT_TRUE(CheckIn(CheckerData(), text, false));
  EXPECT_NE(ParseErrorOf(text, true).find("nowhere"), std::string::npos);
}

TEST(CheckerDtd, InternalSubsetIsEnough)
{
  std::string text = "<!DOCTYPE note [<!ELEMENT note (#PCDATA)>]>\n<note>hi</note>\n";
  EXPECT_TRUE(CheckIn(CheckerData(), text, true));
  EXPECT_EQ(ParseErrorOf("<!DOCTYPE note [<!ELEMENT note EMPTY>]>\n<note>hi</note>\n", true),
            "Element note was declared EMPTY this one has content\r\nLine: 2\r\n<note>hi</note>");
}

TEST(CheckerDtd, ErrorInsideTheDtdNamesTheDtdAndQuotesIt)
{
  std::string folder = MakeTempFolder();
  WriteTestFile(folder + "broken.dtd", "<!ELEMENT a (#PCDATA)>\n<!ELEMENT b (a b)>\n<!ELEMENT c EMPTY>\n");
  std::string message = ParseErrorOf("<!DOCTYPE a SYSTEM \"broken.dtd\">\n<a/>\n", false, folder);
  EXPECT_EQ(message, "ContentDecl : ',' '|' or ')' expected (in \"" + folder + "broken.dtd\")\r\nLine: 2\r\n"
                     "<!ELEMENT b (a b)>");
}

TEST(CheckerSchema, NoNamespaceSchemaLocation)
{
  EXPECT_TRUE(CheckFixture("order.xml", true));
  EXPECT_TRUE(CheckFixture("order-invalid.xml", false));
  EXPECT_EQ(FixtureErrorOf("order-invalid.xml", true),
            "Element 'line', attribute 'quantity': 'none' is not a valid value of the atomic type "
            "'xs:positiveInteger'.\r\nLine: 6\r\n  <line item=\"eraser\" quantity=\"none\"/>");
}

TEST(CheckerSchema, SchemaLocationWithNamespace)
{
  EXPECT_TRUE(CheckFixture("invoice.xml", true));
  EXPECT_TRUE(CheckFixture("invoice-invalid.xml", false));
  EXPECT_EQ(FixtureErrorOf("invoice-invalid.xml", true),
            "Element '{urn:plivek:invoice}discount': This element is not expected.\r\nLine: 7\r\n"
            "  <discount>5</discount>");
}

TEST(CheckerSchema, MissingSchemaFailsAtTheRootElement)
{
  std::string text =
      "<?xml version=\"1.0\"?>\n"
      "<order xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
      "  xsi:noNamespaceSchemaLocation=\"missing.xsd\"/>\n";
  EXPECT_TRUE(CheckIn(CheckerData(), text, false));
  std::string message = ParseErrorOf(text, true);
  EXPECT_EQ(message, "Cannot open \"" + CheckerData() + "missing.xsd\": No such file or directory\r\nLine: 3\r\n"
                     "  xsi:noNamespaceSchemaLocation=\"missing");
}

// A schema named for another namespace than its own target namespace is
// reported as such, not by what libxml2 stumbles over next.
TEST(CheckerSchema, SchemaOfAnotherNamespace)
{
  const std::string xsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
  const std::pair<std::string, std::string> cases[] = {
      {"<order xmlns=\"urn:x\" " + xsi + "\n  xsi:schemaLocation=\"urn:x order.xsd\"/>",
       "The XML schema \"order.xsd\" has no target namespace, but xsi:schemaLocation names it for the namespace "
       "\"urn:x\""},
      {"<invoice xmlns=\"urn:other\" " + xsi + "\n  xsi:schemaLocation=\"urn:other invoice.xsd\"/>",
       "The XML schema \"invoice.xsd\" has the target namespace \"urn:plivek:invoice\", but xsi:schemaLocation "
       "names it for the namespace \"urn:other\""},
      {"<invoice " + xsi + "\n  xsi:noNamespaceSchemaLocation=\"invoice.xsd\"/>",
       "The XML schema \"invoice.xsd\" has the target namespace \"urn:plivek:invoice\", but "
       "xsi:noNamespaceSchemaLocation names it for elements in no namespace"},
  };
  for (const auto& [text, reason] : cases) {
    EXPECT_TRUE(CheckIn(CheckerData(), text, false));
    std::string line = text.substr(text.find('\n') + 1);
    EXPECT_EQ(ParseErrorOf(text, true), reason + "\r\nLine: 2\r\n" + line.substr(0, 40));
  }
}

TEST(CheckerSchema, DtdAndSchemaAreBothChecked)
{
  std::string head =
      "<!DOCTYPE order [<!ELEMENT order ANY><!ELEMENT customer (#PCDATA)><!ELEMENT line EMPTY>\n"
      "<!ATTLIST order xmlns:xsi CDATA #IMPLIED xsi:noNamespaceSchemaLocation CDATA #IMPLIED date CDATA #IMPLIED>\n"
      "<!ATTLIST line item CDATA #IMPLIED quantity CDATA #IMPLIED>]>\n"
      "<order xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:noNamespaceSchemaLocation=\"order.xsd\">\n"
      "<customer>A</customer>\n";
  EXPECT_TRUE(CheckIn(CheckerData(), head + "<line item=\"x\" quantity=\"1\"/></order>\n", true));
  // Valid for the DTD, not for the schema.
  EXPECT_NE(ParseErrorOf(head + "<line item=\"x\" quantity=\"0\"/></order>\n", true).find("Line: 6"),
            std::string::npos);
}

TEST(CheckerValidity, NothingToValidateAgainstIsNotReportedAsValid)
{
  std::string text = "<?xml version=\"1.0\"?>\n<note>plain</note>\n";
  EXPECT_TRUE(CheckIn(CheckerData(), text, false));
  std::string message = MessageOf<EXMLError>([&] { CheckIn(CheckerData(), text, true); });
  EXPECT_EQ(message, "The document names neither a DTD nor an XML schema, so its validity cannot be checked.");
  // A text that is not even well-formed reports that first.
  EXPECT_EQ(ParseErrorOf("<note>\n<b></note>\n", true),
            "Opening and ending tag mismatch: b line 2 and note\r\nLine: 2\r\n<b></note>");
}

// A document that breaks the rules of its own DTD is still well-formed: those
// rules count only when validating, whether the DTD is internal or external.
TEST(CheckerWellFormedness, BreakingTheOwnDtdIsNoWellFormednessError)
{
  std::string folder = MakeTempFolder();
  WriteTestFile(folder + "defaults.dtd", "<!ELEMENT r EMPTY>\n<!ATTLIST r a CDATA \"d\">\n");
  // A group that a parameter entity opens and the declaration closes.
  WriteTestFile(folder + "nesting.dtd", "<!ENTITY % open \"(#PCDATA\">\n<!ELEMENT r %open;)>\n");
  const std::pair<const char*, const char*> cases[] = {
      {"<!DOCTYPE r [<!ELEMENT r (a*)><!ELEMENT a EMPTY><!ATTLIST a id ID #IMPLIED>]>"
       "<r><a id=\"x\"/><a id=\"x\"/></r>",
       "ID x already defined"},
      {"<!DOCTYPE r [<!ELEMENT r EMPTY><!ELEMENT r ANY>]><r/>", "Redefinition of element r"},
      {"<!DOCTYPE r [<!ELEMENT r EMPTY><!ATTLIST r n NMTOKEN \"not a token\">]><r/>",
       "invalid default value"},
      {"<!DOCTYPE r [<!ELEMENT r EMPTY><!ATTLIST r a ID #IMPLIED b ID #IMPLIED>]><r/>",
       "Element r has too may ID attributes defined : b"},
      {"<!DOCTYPE r [<!ELEMENT r EMPTY><!ATTLIST r a (x|x) #IMPLIED>]><r/>", "value token x duplicated"},
      {"<!DOCTYPE r [<!ENTITY % decl \"<!ENTITY e 'e'>\">%decl;<!ELEMENT r ANY>]><r>&undeclared;</r>",
       "Entity 'undeclared' not defined"},
      {"<!DOCTYPE r [<!ELEMENT r ANY><!NOTATION gif SYSTEM \"gif\"><!ENTITY i SYSTEM \"c:\\p\\i.gif\" NDATA gif>]><r/>",
       "Invalid URI: c:\\p\\i.gif"},
      {"<?xml version=\"1.0\" standalone=\"yes\"?><!DOCTYPE r SYSTEM \"defaults.dtd\"><r/>",
       "attribute a on r defaulted from external subset"},
      {"<!DOCTYPE r SYSTEM \"nesting.dtd\"><r/>", "doesn't start and stop in the same entity"},
  };
  for (const auto& [text, validityError] : cases) {
    EXPECT_NO_THROW(CheckIn(folder, text, false)) << text;
    std::string message = ParseErrorOf(text, true, folder);
    EXPECT_NE(message.find(validityError), std::string::npos) << message;
    // A real error after the validity error is still found.
    std::string broken = std::string(text) + "\n<after>";
    EXPECT_EQ(ParseErrorOf(broken, false, folder).rfind("Extra content at the end of the document\r\nLine: 2\r\n<after>", 0),
              0u)
        << ParseErrorOf(broken, false, folder);
  }
  // A parameter entity between declarations must hold whole declarations.
  WriteTestFile(folder + "split.dtd", "<!ENTITY % start \"<!ELEMENT r \">\n%start;ANY>\n");
  EXPECT_EQ(ParseErrorOf("<!DOCTYPE r SYSTEM \"split.dtd\"><r/>", false, folder),
            "Element declaration doesn't start and stop in the same entity (in \"" + folder + "split.dtd\")\r\n"
            "Line: 2\r\n%start;ANY>");
}

// The parser's fixed limits are named with their values; the library's own
// words name an option that no user can set.
TEST(CheckerWellFormedness, ParserLimitsAreNamedPlainly)
{
  auto nested = [](int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<a>";
    for (int i = 0; i < depth; ++i) text += "</a>";
    return text;
  };
  EXPECT_TRUE(CheckIn(CheckerData(), nested(257), false));
  EXPECT_EQ(ParseErrorOf(nested(258), false),
            "The text exceeds the XML parser's limit of 257 levels of nested elements\r\nLine: 1\r\n" +
                nested(258).substr(0, 40));
  std::string groups = std::string(129, '(') + "b" + std::string(129, ')');
  std::string message = ParseErrorOf("<!DOCTYPE a [<!ELEMENT a " + groups + ">]><a/>", false);
  EXPECT_EQ(message.substr(0, message.find('\r')),
            "The text exceeds the XML parser's limit of 128 levels of nested groups in a content model");
  message = ParseErrorOf("<a>\n" + std::string(10000001, 'x') + "</a>", false);
  EXPECT_EQ(message.substr(0, message.find('\r')),
            "The text exceeds the XML parser's limit of 10,000,000 bytes for one text");
}

TEST(CheckerWellFormedness, MessageFormatAndExcerpt)
{
  std::string longLine = "<para>" + std::string(60, 'x') + "</par>";
  EXPECT_EQ(ParseErrorOf("<doc>\n" + longLine + "\r\n</doc>", false),
            "Opening and ending tag mismatch: para line 2 and par\r\nLine: 2\r\n<para>" + std::string(34, 'x'));
}

TEST(CheckerWellFormedness, ExcerptCountsCharactersNotBytes)
{
  std::string word = "\xC4\x8D\xC5\xA1\xC5\xBE";  // three two-byte letters
  std::string line = "<a>" + word + word + word + word + word + word + word + word + word + word + word + word + word;
  std::string message = ParseErrorOf(line + "</b>", false);
  EXPECT_EQ(message.substr(message.rfind("\r\n") + 2), "<a>" + word + word + word + word + word + word + word + word + word + word + word + word + "\xC4\x8D");
}

// The excerpt is the line's text in UTF-8, as the reason is, whatever the
// encoding of the document or of the DTD the error lies in. A byte order
// mark must agree with the encoding the declaration names.
TEST(CheckerWellFormedness, ExcerptIsUtf8WhateverTheEncoding)
{
  auto utf16 = [](const std::string& ascii, bool bigEndian) {
    std::string bytes;
    for (char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
  };
  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<doc>\n<a>caf";
  const std::string tail = "</b>\n</doc>\n";
  const std::string expected = "Opening and ending tag mismatch: a line 3 and b\r\nLine: 3\r\n<a>caf\xC3\xA9</b>";
  const std::string eLE("\xE9\x00", 2), eBE("\x00\xE9", 2);
  EXPECT_EQ(ParseErrorOf("\xFF\xFE" + utf16(head, false) + eLE + utf16(tail, false), false), expected);
  EXPECT_EQ(ParseErrorOf("\xFE\xFF" + utf16(head, true) + eBE + utf16(tail, true), false), expected);
  EXPECT_EQ(ParseErrorOf(utf16(head, false) + eLE + utf16(tail, false), false), expected);
  EXPECT_EQ(ParseErrorOf("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<doc>\n<a>caf\xE9</b>\n</doc>\n", false),
            expected);
  EXPECT_EQ(ParseErrorOf("\xEF\xBB\xBF<a>caf\xC3\xA9</b>", false),
            "Opening and ending tag mismatch: a line 1 and b\r\nLine: 1\r\n<a>caf\xC3\xA9</b>");
  // A byte order mark and a declaration of another encoding contradict each other.
  EXPECT_EQ(ParseErrorOf("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xC3\xA9</a>", false),
            "The text begins with a UTF-8 byte order mark, but its XML declaration names the encoding ISO-8859-1\r\n"
            "Line: 1\r\n<?xml version=\"1.0\" encoding=\"ISO-8859-1");
  const std::string declaredUtf8 = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<a/>";
  EXPECT_EQ(ParseErrorOf("\xFF\xFE" + utf16(declaredUtf8, false), false),
            "The text begins with a UTF-16 byte order mark, but its XML declaration names the encoding utf-8\r\n"
            "Line: 1\r\n<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  EXPECT_TRUE(CheckIn(CheckerData(), "\xEF\xBB\xBF" + declaredUtf8, false));
  EXPECT_TRUE(CheckIn(CheckerData(), "\xFE\xFF" + utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>", true), false));

  std::string folder = MakeTempFolder();
  WriteTestFile(folder + "latin2.dtd", "<?xml encoding=\"ISO-8859-2\"?>\n<!ELEMENT \xE8 (a b)>\n");
  EXPECT_EQ(ParseErrorOf("<!DOCTYPE a SYSTEM \"latin2.dtd\">\n<a/>\n", false, folder),
            "ContentDecl : ',' '|' or ')' expected (in \"" + folder + "latin2.dtd\")\r\nLine: 2\r\n"
            "<!ELEMENT \xC4\x8D (a b)>");
}

TEST(CheckerWellFormedness, EmptyTextAndReuse)
{
  TXMLChecker checker;
  EXPECT_FALSE(checker.Validate);
  EXPECT_EQ(MessageOf<EXMLParseError>([&] { checker.Check(); }), "Document is empty\r\nLine: 1\r\n");
  checker.XML = "<ok/>";
  EXPECT_TRUE(checker.Check());
  checker.XML = "<ok>";
  EXPECT_NE(MessageOf<EXMLParseError>([&] { checker.Check(); }).find("Line: 1"), std::string::npos);
}

TEST(CheckerWellFormedness, UndeclaredPrefixFails)
{
  EXPECT_EQ(ParseErrorOf("<a>\n<x:b/></a>", false), "Namespace prefix x on b is not defined\r\nLine: 2\r\n<x:b/></a>");
}

TEST(CheckerEntities, ResolvedAgainstTheCurrentFolder)
{
  std::string text = ReadTestFile(CheckerData("book.xml"));
  std::string elsewhere = MakeTempFolder();
  std::string message = ParseErrorOf(text, false, elsewhere);
  EXPECT_EQ(message, "Cannot open \"" + elsewhere + "book.dtd\": No such file or directory\r\nLine: 2\r\n"
                     "<!DOCTYPE book SYSTEM \"book.dtd\">");
}

// A declaration read from the text of an internal parameter entity resolves
// its system identifier against the external entity that reads it (XML 1.0,
// 4.2.2): the internal entity is declared in subdir1, read in subdir2, where
// the general entity lies. libxml2 took the parser's folder name, without its
// last part ("Cannot open .../E18-ent" one folder up).
TEST(CheckerEntities, ADeclarationInAnInternalEntityResolvesWhereItIsRead)
{
  CurrentFolderScope scope(MakeTempFolder());
  const std::string location = CheckerData("errata-e18/E18.xml");
  TXMLChecker checker;
  checker.XML = ReadTestFile(location);
  checker.BaseURL = location;
  EXPECT_EQ(MessageOf<std::exception>([&] { checker.Check(); }), "no exception");
  TXMLTransformer transformer;
  transformer.SetStyleSheet("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                            "<xsl:output method=\"text\"/>\n<xsl:template match=\"/\"><xsl:value-of select=\".\"/>"
                            "</xsl:template>\n</xsl:stylesheet>\n");
  std::string output;
  transformer.Transform(checker.XML, output, location);
  EXPECT_EQ(output, "in subdir2\n");
}

TEST(CheckerEntities, MissingExternalEntityFailsEvenWithoutValidation)
{
  std::string text =
      "<!DOCTYPE a [\n<!ENTITY part SYSTEM \"sub/missing.ent\">\n]>\n<a>\n&part;\n</a>\n";
  std::string message = ParseErrorOf(text, false);
  EXPECT_EQ(message.rfind("Cannot open \"" + CheckerData() + "sub/missing.ent\"", 0), 0u) << message;
  EXPECT_NE(message.find("\r\nLine: 5\r\n&part;"), std::string::npos) << message;
}

TEST(CheckerEntities, EntityExpansionLimitsStayOn)
{
  for (bool validate : {false, true})
    EXPECT_EQ(FixtureErrorOf("billion-laughs.xml", validate),
              "Detected an entity reference loop\r\nLine: 14\r\n<lolz>&lol9;</lolz>");
}

TEST(CheckerEntities, ErrorInsideAnEntityValueIsPlacedAtTheReference)
{
  std::string text = "<!DOCTYPE a [<!ENTITY e \"<b>\">]>\n<a>\n&e;</a>";
  EXPECT_EQ(ParseErrorOf(text, false), "Premature end of data in tag b line 1\r\nLine: 3\r\n&e;</a>");
}

TEST(CheckerEntities, OnlyLocalFilesHttpAndFtpLoad)
{
  for (const char* url : {"gopher://127.0.0.1/a.dtd", "file://otherhost/a.dtd"}) {
    std::string message = ParseErrorOf(std::string("<!DOCTYPE a SYSTEM \"") + url + "\">\n<a/>", false);
    EXPECT_EQ(message.rfind(std::string("Cannot load \"") + url + "\": only local files and http, https or ftp resources", 0), 0u)
        << message;
  }
  std::string text = "<!DOCTYPE a SYSTEM \"file://" + CheckerData("book.dtd") + "\">\n<a/>";
  EXPECT_NE(ParseErrorOf(text, true).find("No declaration for element a"), std::string::npos);
}

TEST(CheckerEntities, LibraryStateIsRestored)
{
  xmlExternalEntityLoader loader = xmlGetExternalEntityLoader();
  xmlStructuredErrorFunc handler = xmlStructuredError;
  EXPECT_TRUE(CheckFixture("book.xml", true));
  EXPECT_THROW(CheckFixture("book-invalid.xml", true), EXMLParseError);
  EXPECT_EQ(xmlGetExternalEntityLoader(), loader);
  EXPECT_EQ(xmlStructuredError, handler);
}

// "#", "?" and "%" are ordinary characters in a folder name, but they mean
// something in a URL: the definitions beside the document must still be the
// ones found, and an error inside one names its real path.
TEST(CheckerEntities, FolderNamesWithUrlCharacters)
{
  for (std::string name : {"a#b", "what?", "100%", "p%20q", "x#y?z%"}) {
    std::string folder = MakeTempFolder() + name + "/";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder + "sub").c_str(), 0755), 0);
    for (const char* file : {"book.dtd", "sub/legal.ent", "order.xsd"})
      WriteTestFile(folder + file, ReadTestFile(CheckerData(file)));
    // A decoy one folder up, where a "#" that cut the name off would look.
    WriteTestFile(folder + "../book.dtd", "<!ELEMENT book EMPTY>\n");
    EXPECT_NO_THROW(CheckIn(folder, ReadTestFile(CheckerData("book.xml")), true)) << name;
    EXPECT_NO_THROW(CheckIn(folder, ReadTestFile(CheckerData("order.xml")), true)) << name;
    WriteTestFile(folder + "broken.dtd", "<!ELEMENT a (#PCDATA)>\n<!ELEMENT b (a b)>\n");
    EXPECT_EQ(ParseErrorOf("<!DOCTYPE a SYSTEM \"broken.dtd\">\n<a/>\n", false, folder),
              "ContentDecl : ',' '|' or ')' expected (in \"" + folder + "broken.dtd\")\r\nLine: 2\r\n"
              "<!ELEMENT b (a b)>") << name;
  }
}

TEST(CheckerEntities, FolderNamesWithBlanks)
{
  std::string folder = MakeTempFolder() + "my documents/";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((folder + "sub").c_str(), 0755), 0);
  for (const char* name : {"book.dtd", "sub/legal.ent", "order.xsd"})
    WriteTestFile(folder + name, ReadTestFile(CheckerData(name)));
  EXPECT_TRUE(CheckIn(folder, ReadTestFile(CheckerData("book.xml")), true));
  EXPECT_TRUE(CheckIn(folder, ReadTestFile(CheckerData("order.xml")), true));
  EXPECT_NE(ParseErrorOf(ReadTestFile(CheckerData("order-invalid.xml")), true, folder).find("Line: 6"),
            std::string::npos);
}

// Only regular files are read: a DTD, an external entity or a schema (or a
// schema's include) that is a named pipe would wait for a writer for ever.
// None is opened; each fails with a clear error at its reference.
TEST(CheckerEntities, NamedPipesAreNotRead)
{
  std::string folder = MakeTempFolder();
  TFifoTrap dtd(folder + "pipe.dtd");
  TFifoTrap entity(folder + "pipe.ent");
  TFifoTrap schema(folder + "pipe.xsd");
  WriteTestFile(folder + "outer.xsd",
                "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n"
                "<xs:include schemaLocation=\"pipe.xsd\"/>\n"
                "</xs:schema>\n");
  const std::string pipe = ": It is a named pipe, not a file.";
  EXPECT_EQ(ParseErrorOf("<!DOCTYPE a SYSTEM \"pipe.dtd\">\n<a/>\n", false, folder),
            "Cannot open \"" + folder + "pipe.dtd\"" + pipe + "\r\nLine: 1\r\n<!DOCTYPE a SYSTEM \"pipe.dtd\">");
  EXPECT_EQ(ParseErrorOf("<!DOCTYPE a [\n<!ENTITY part SYSTEM \"pipe.ent\">\n]>\n<a>\n&part;</a>\n", false, folder),
            "Cannot open \"" + folder + "pipe.ent\"" + pipe + "\r\nLine: 5\r\n&part;</a>");
  const std::string root = "<a xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:noNamespaceSchemaLocation=";
  for (const char* name : {"pipe.xsd", "outer.xsd"}) {
    std::string message = ParseErrorOf(root + "\"" + name + "\"/>\n", true, folder);
    EXPECT_NE(message.find("Cannot open \"" + folder + "pipe.xsd\"" + pipe), std::string::npos) << message;
  }
  EXPECT_FALSE(dtd.Opened());
  EXPECT_FALSE(entity.Opened());
  EXPECT_FALSE(schema.Opened());
}

TEST(CheckerProgress, CancelledBeforeTheCheckRaisesECancelledAndTheNextCheckRuns)
{
  TXMLChecker checker;
  checker.XML = "<!DOCTYPE a [<!ELEMENT a EMPTY>]><a/>";
  for (bool validate : {false, true}) {
    checker.Validate = validate;
    {
      TWorkProgress progress;
      progress.Cancel();
      TWorkProgressScope scope(progress);
      EXPECT_THROW(checker.Check(), ECancelled);
    }
    EXPECT_TRUE(checker.Check());
  }
}

// The check of a large document reports the bytes read and stops once the
// user cancels it, while it validates too.
TEST(CheckerProgress, ReportsTheBytesReadAndStopsWhenCancelled)
{
  TXMLChecker checker;
  checker.XML = LargeCatalog(32u << 20);
  checker.Validate = true;
  {
    TWorkProgress progress;
    TWorkProgressScope scope(progress);
    EXPECT_TRUE(checker.Check());
    EXPECT_EQ(progress.Done(), checker.XML.size());
    EXPECT_EQ(progress.Total(), checker.XML.size());
    EXPECT_EQ(progress.Unit(), TProgressUnit::bytes);
  }
  for (bool validate : {true, false}) {
    checker.Validate = validate;
    TWorkProgress progress;
    TWorkProgressScope scope(progress);
    CancelOnceStarted user(progress);
    EXPECT_THROW(checker.Check(), ECancelled);
  }
  EXPECT_TRUE(checker.Check());
}
