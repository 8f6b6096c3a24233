// The text model of a document: which encoding its bytes are in, the
// editor's UTF-8 text they give, and the bytes that Save writes back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpenedDocument.h"
#include "model/TFileType.h"
#include "text/EncodingDetection.h"
#include "text/TByteTable.h"
#include "text/TDocumentText.h"
#include "text/TTextCodec.h"
#include "text/Utf8.h"

// ---- detection -------------------------------------------------------------------

TEST(EncodingDetection, FirstRuleThatAppliesDecides)
{
  const std::string declared = "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>";
  const std::string meta = "<html><head><meta charset=\"KOI8-R\"></head>";
  // A byte-order mark goes before everything.
  EXPECT_EQ(Detect("\xEF\xBB\xBF" + declared), EncodingUTF8);
  EXPECT_EQ(Detect("\xFF\xFE<\0"), EncodingUTF16LE);
  EXPECT_EQ(Detect("\xFE\xFF\0<"), EncodingUTF16BE);
  // The XML declaration, in any type, before a meta.
  EXPECT_EQ(Detect(declared + meta, TMarkup::HTML), "ISO-8859-2");
  EXPECT_EQ(Detect(declared, TMarkup::CSS), "ISO-8859-2");
  EXPECT_EQ(Detect("<?xml version='1.0' encoding = 'windows-1250' standalone='yes'?>"), "WINDOWS-1250");
  // A meta only in HTML, @charset only in CSS.
  EXPECT_EQ(Detect(meta + "\xE9", TMarkup::HTML), "KOI8-R");
  EXPECT_EQ(Detect(meta + "\xE9", TMarkup::Other), EncodingWindows1252);
  EXPECT_EQ(Detect("@charset \"ISO-8859-15\";\nb{}", TMarkup::CSS), "ISO-8859-15");
  EXPECT_EQ(Detect("@charset \"ISO-8859-15\";\nb{}\xE9", TMarkup::HTML), EncodingWindows1252);
  // Then valid UTF-8, then Windows-1252.
  EXPECT_EQ(Detect("<r>Caf\xC3\xA9 \xE6\x97\xA5</r>"), EncodingUTF8);
  EXPECT_EQ(Detect(""), EncodingUTF8);
  EXPECT_EQ(Detect("<r>Caf\xE9</r>"), EncodingWindows1252);
  EXPECT_EQ(Detect("<r>\xC3</r>"), EncodingWindows1252);
}

TEST(EncodingDetection, HtmlMetaFormsAsBrowsersReadThem)
{
  auto html = [](const std::string& head) { return Detect(head + "\xE9", TMarkup::HTML); };
  EXPECT_EQ(html("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-7\">"), "ISO-8859-7");
  EXPECT_EQ(html("<meta content='text/html;charset=\"koi8-r\"' http-equiv=content-type>"), "KOI8-R");
  EXPECT_EQ(html("<meta charset=utf-8 />"), EncodingUTF8);
  // A content attribute without the http-equiv counts for nothing, nor does
  // a meta inside a comment, nor one beyond the first 1024 bytes.
  EXPECT_EQ(html("<meta content=\"text/html; charset=koi8-r\">"), EncodingWindows1252);
  EXPECT_EQ(html("<!-- <meta charset=koi8-r> --><p>"), EncodingWindows1252);
  EXPECT_EQ(html(std::string(1100, ' ') + "<meta charset=koi8-r>"), EncodingWindows1252);
  // An unknown name is passed over for the next meta.
  EXPECT_EQ(html("<meta charset=nonsense><meta charset=koi8-r>"), "KOI8-R");
}

TEST(EncodingDetection, HtmlReadsLatin1AndAsciiLabelsAsWindows1252)
{
  for (const char* label : {"ISO-8859-1", "iso_8859-1", "latin1", "US-ASCII", "ascii"}) {
    std::string declared = std::string("<?xml version=\"1.0\" encoding=\"") + label + "\"?>";
    EXPECT_EQ(Detect(declared, TMarkup::HTML), EncodingWindows1252) << label;
    EXPECT_EQ(ResolveEncodingLabel(label, TMarkup::HTML), EncodingWindows1252) << label;
    EXPECT_NE(ResolveEncodingLabel(label, TMarkup::Other), EncodingWindows1252) << label;
  }
  EXPECT_EQ(Detect("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), "ISO-8859-1");
  EXPECT_EQ(Detect("<meta charset=\"us-ascii\">", TMarkup::HTML), EncodingWindows1252);
}

TEST(EncodingDetection, NamesThatCannotReadTheDocumentAreIgnored)
{
  // Unknown, with iconv options, or not writing ASCII as ASCII (the name was
  // read as ASCII): the next rule decides.
  for (const char* label : {"no-such-thing", "UTF-8//IGNORE", "UTF-16", "UTF-32", "UTF-7", ""}) {
    std::string declared = std::string("<?xml version=\"1.0\" encoding=\"") + label + "\"?><r>\xE9</r>";
    EXPECT_EQ(Detect(declared), EncodingWindows1252) << label;
  }
  // Names without a letter or digit, or with a NUL byte, which iconv took
  // for the locale's encoding (UTF-8 here, where the kept byte stayed one).
  for (const std::string& label : {std::string("+"), std::string("()"), std::string("("), std::string("-+-"),
                                   std::string("\0", 1), std::string("utf-8\0x", 7)}) {
    EXPECT_EQ(Detect(Declared(label, "<r>\xE9</r>")), EncodingWindows1252) << label;
    EXPECT_EQ(ResolveEncodingLabel(label, TMarkup::Other), "") << label;
  }
  // Not a declaration: not at the very start, or no blank after "<?xml".
  EXPECT_EQ(Detect(" <?xml version=\"1.0\" encoding=\"KOI8-R\"?>\xE9"), EncodingWindows1252);
  EXPECT_EQ(Detect("<?xml-stylesheet encoding=\"KOI8-R\"?>\xE9"), EncodingWindows1252);
}

TEST(EncodingDetection, TypesCountAsHtmlOrCssByMimeTypeAndHighlighter)
{
  TFileType type("t.config");
  EXPECT_EQ(DocumentMarkup(nullptr), TMarkup::Other);
  EXPECT_EQ(DocumentMarkup(&type), TMarkup::Other);
  type.MimeType = "Text/HTML; charset=x";
  EXPECT_EQ(DocumentMarkup(&type), TMarkup::HTML);
  type.MimeType = "application/xhtml+xml";
  EXPECT_EQ(DocumentMarkup(&type), TMarkup::HTML);
  type.MimeType = "application/x-httpd-php";
  type.Highlighter = "PHP";
  EXPECT_EQ(DocumentMarkup(&type), TMarkup::HTML);
  type.MimeType = "text/css";
  type.Highlighter = "";
  EXPECT_EQ(DocumentMarkup(&type), TMarkup::CSS);
  type.MimeType = "";
  type.Highlighter = "CSS";
  EXPECT_EQ(DocumentMarkup(&type), TMarkup::CSS);
  type.MimeType = "text/xml";
  type.Highlighter = "XML";
  EXPECT_EQ(DocumentMarkup(&type), TMarkup::Other);
}

TEST(EncodingDetection, EncodingsWhoseConvertersHoldACharacterBackAreRead)
{
  // The Vietnamese converters hold the last character back (to combine it
  // with a tone mark), glibc's TSCII makes up to four characters of one byte
  // and holds vowel signs that are written before their consonant. All of
  // them open in their encoding and save back unchanged, with bytes they do
  // not define among their characters too.
  struct TCase {
    const char* Label;
    const char* Encoding;
    std::string Bytes;
    std::string Text;
  };
  const std::string tscii(200, '\x82');
  std::string tsciiText;
  for (int i = 0; i < 200; ++i) tsciiText += "\xE0\xAE\xB8\xE0\xAF\x8D\xE0\xAE\xB0\xE0\xAF\x80";
  const TCase cases[] = {
      {"windows-1258", "WINDOWS-1258", "\xF5", "\xC6\xA1"},
      {"CP1258", "CP1258", "\xF5", "\xC6\xA1"},
      {"TCVN", "TCVN", "\xF5", "\xE1\xBB\xAB"},
      {"windows-1258", "WINDOWS-1258", "a\x81" "b\x8A", "a\x81" "b\x8A"},
      {"TSCII", "TSCII", tscii, tsciiText},
      {"TSCII", "TSCII", "\xA6\xB8\xA6", "\xE0\xAE\x95\xE0\xAF\x86\xE0\xAF\x86"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label + (" " + c.Bytes.substr(0, 4)));
    const std::string bytes = Declared(c.Label, c.Bytes);
    EXPECT_EQ(Detect(bytes), c.Encoding);
    TOpened doc;
    Open(doc, bytes);
    EXPECT_EQ(doc.Model.Format().Encoding, c.Encoding);
    EXPECT_EQ(doc.Warning, "");
    EXPECT_EQ(doc.Sink.Text, Declared(c.Label, c.Text));
    EXPECT_EQ(Saved(doc, doc.Sink.Text), bytes);
  }
}

// ---- opening and saving ------------------------------------------------------------

TEST(DocumentText, EveryByteValueComesBackInWindows1252)
{
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  TOpened doc;
  Open(doc, bytes);
  EXPECT_EQ(doc.Model.Format().Encoding, EncodingWindows1252);
  EXPECT_EQ(doc.Warning, "");
  EXPECT_NE(doc.Sink.Text.find("\xE2\x82\xAC"), std::string::npos);  // 0x80 is the euro sign
  EXPECT_NE(doc.Sink.Text.find("\xC3\xA9"), std::string::npos);      // 0xE9 is e acute
  // The five bytes without a character stay as they are.
  for (char b : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
    EXPECT_NE(doc.Sink.Text.find(b), std::string::npos) << static_cast<int>(static_cast<unsigned char>(b));
  EXPECT_EQ(Saved(doc, doc.Sink.Text), bytes);
}

TEST(DocumentText, Utf8TextIsTheBytesInvalidOnesIncluded)
{
  const std::string bytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r>Caf\xC3\xA9 \xE9\0</r>", 55);
  TOpened doc;
  Open(doc, bytes);
  EXPECT_EQ(doc.Model.Format().Encoding, EncodingUTF8);
  EXPECT_EQ(doc.Model.Format().LineEnd, TLineEnd::CRLF);
  EXPECT_EQ(doc.Sink.Text, bytes);
  EXPECT_EQ(Saved(doc, doc.Sink.Text), bytes);

  TOpened marked;
  Open(marked, "\xEF\xBB\xBF<r/>");
  EXPECT_EQ(marked.Sink.Text, "<r/>");
  EXPECT_EQ(Saved(marked, "<r>\xC3\xA9</r>"), "\xEF\xBB\xBF<r>\xC3\xA9</r>");
}

TEST(DocumentText, Utf16WithMarkDecodesAndAnInvalidOneOpensAsWindows1252)
{
  const std::string le("\xFF\xFE<\0r\0>\0\xE5\x65\n\0<\0/\0r\0>\0", 20);
  TOpened doc;
  Open(doc, le);
  EXPECT_EQ(doc.Model.Format().Encoding, EncodingUTF16LE);
  EXPECT_EQ(doc.Model.Format().LineEnd, TLineEnd::LF);
  EXPECT_EQ(doc.Sink.Text, "<r>\xE6\x97\xA5\n</r>");
  EXPECT_EQ(Saved(doc, doc.Sink.Text), le);

  // A lone surrogate, and an odd byte at the end.
  for (const std::string& invalid : {std::string("\xFF\xFE<\0\x00\xD8r\0", 8), std::string("\xFE\xFF\0<\0r\xE9", 7)}) {
    TOpened broken;
    Open(broken, invalid);
    EXPECT_EQ(broken.Model.Format().Encoding, EncodingWindows1252);
    EXPECT_EQ(broken.Model.Format().Mark, "");
    EXPECT_NE(broken.Warning.find("not valid UTF-16"), std::string::npos) << broken.Warning;
    EXPECT_EQ(broken.Sink.Clears, 1);
    EXPECT_EQ(Saved(broken, broken.Sink.Text), invalid);
  }
}

TEST(DocumentText, BytesThatDoNotComeBackOpenAsWindows1252)
{
  // Declared US-ASCII, but UTF-8 bytes inside: kept as bytes they would
  // form "é", which ASCII cannot write back.
  const std::string bytes = "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><r>\xC3\xA9</r>";
  TOpened doc;
  Open(doc, bytes);
  EXPECT_EQ(doc.Model.Format().Encoding, EncodingWindows1252);
  EXPECT_NE(doc.Warning, "");
  EXPECT_EQ(Saved(doc, doc.Sink.Text), bytes);
}

TEST(DocumentText, LargeDocumentsGoInPiecesAndComeBackWhole)
{
  // Multi-byte sequences across every piece border.
  std::string unit = "\x82\xA0\x82\xA2";  // Shift_JIS: two kana
  std::string bytes = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r<r>x";
  while (bytes.size() < 2 * TDocumentText::PieceSize + 10) bytes += unit;
  bytes += "</r>";
  TOpened doc;
  Open(doc, bytes);
  EXPECT_EQ(doc.Model.Format().Encoding, "SHIFT_JIS");
  EXPECT_EQ(doc.Model.Format().LineEnd, TLineEnd::CR);
  EXPECT_EQ(doc.Warning, "");
  EXPECT_TRUE(IsValidUtf8(doc.Sink.Text));
  EXPECT_EQ(Saved(doc, doc.Sink.Text), bytes);
}

TEST(DocumentText, BytesTheEncodingDoesNotDefineStayAsTheyAreInAnyNumber)
{
  // A megabyte and more of them, beyond the pieces opening works in, and
  // among characters: kept as they are, every one, and saved back.
  struct TCase {
    const char* Encoding;
    std::string Bytes;
    std::string Text;
  };
  const std::string many((std::size_t{1} << 20) + 4099, '\xFF');
  const TCase cases[] = {
      {"SHIFT_JIS", many + "x", many + "x"},
      {"EUC-JP", many + "x", many + "x"},
      {"GB18030", many + "x", many + "x"},
      {"ISO-2022-JP", many + "x", many + "x"},
      // A lead byte before a byte that ends no sequence is kept alone.
      {"SHIFT_JIS", "A\xFF\xFF\x81\x40\xFF\x81 B\xFF\x81", "A\xFF\xFF\xE3\x80\x80\xFF\x81 B\xFF\x81"},
      // Kept within a shift state, which goes on after them.
      {"ISO-2022-JP", "\x1B$B\x46\x7C\xFF\xFF\x4B\x5C\x1B(Bx", "\xE6\x97\xA5\xFF\xFF\xE6\x9C\xACx"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Encoding) + " " + std::to_string(c.Bytes.size()));
    const std::string bytes = Declared(c.Encoding, c.Bytes);
    TOpened doc;
    Open(doc, bytes);
    EXPECT_EQ(doc.Model.Format().Encoding, c.Encoding);
    EXPECT_EQ(doc.Warning, "");
    EXPECT_TRUE(doc.Sink.Text == Declared(c.Encoding, c.Text));
    EXPECT_TRUE(Saved(doc, doc.Sink.Text) == bytes);
  }
}

TEST(DocumentText, ACharacterTheEncodingCannotHoldIsNamedWithItsLine)
{
  TOpened doc;
  Open(doc, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r>\xE9</r>\r\n");
  std::string text = doc.Sink.Text;
  EXPECT_EQ(Saved(doc, text + "<s>\xC3\xA9</s>"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r>\xE9</r>\r\n<s>\xE9</s>");
  try {
    Saved(doc, text + "<s>\xE2\x82\xAC</s>");
    FAIL() << "no error";
  } catch (const ETextEncodingError& error) {
    EXPECT_STREQ(error.what(),
                 "The character \"\xE2\x82\xAC\" (U+20AC) in line 3 cannot be written in ISO-8859-1, the document's "
                 "encoding.");
  }
  std::vector<std::string> handed;
  EXPECT_THROW(doc.Model.Write("<r>\xE6\x97\xA5</r>", 9, [&](const char* b, std::size_t n) { handed.emplace_back(b, n); }),
               ETextEncodingError);
  EXPECT_TRUE(handed.empty());
}

TEST(DocumentText, AChangedDeclarationChoosesTheEncodingSaveWrites)
{
  TOpened doc;
  Open(doc, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\xC3\xA9</r>");
  const std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r>\xC3\xA9</r>";
  EXPECT_EQ(doc.Model.SaveFormat(latin.data(), latin.size()).Encoding, "ISO-8859-1");
  EXPECT_EQ(Saved(doc, latin), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r>\xE9</r>");
  doc.Model.Saved(latin.data(), latin.size());
  EXPECT_EQ(doc.Model.Format().Encoding, "ISO-8859-1");
  // Unchanged since: stays; a removed declaration keeps it too.
  EXPECT_EQ(Saved(doc, latin), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r>\xE9</r>");
  EXPECT_EQ(Saved(doc, "<r>\xC3\xA9</r>"), "<r>\xE9</r>");
  // UTF-16 is written with its mark; an unknown name fails.
  EXPECT_EQ(Saved(doc, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>").substr(0, 4), std::string("\xFF\xFE<\0", 4));
  EXPECT_THROW(Saved(doc, "<?xml version=\"1.0\" encoding=\"nonsense\"?>"), ETextEncodingError);
  // In HTML the declared ISO-8859-1 means Windows-1252, which has the euro.
  TOpened page;
  Open(page, "<p/>", TMarkup::HTML);
  EXPECT_EQ(Saved(page, "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><p>\xE2\x82\xAC</p>"),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><p>\x80</p>");
  // What decides the encoding when the document is opened decides it when
  // saved: a <meta> in HTML, an @charset rule in CSS (written as UTF-8, they
  // opened again as Windows-1252 and ISO-8859-15, "Caf\xC3\x83\xC2\xA9").
  const std::string meta = "<html><head><meta charset=\"iso-8859-1\"></head><p>Caf\xC3\xA9 \xE2\x82\xAC</p>";
  EXPECT_EQ(Saved(page, meta), "<html><head><meta charset=\"iso-8859-1\"></head><p>Caf\xE9 \x80</p>");
  page.Model.Saved(meta.data(), meta.size());
  EXPECT_EQ(Saved(page, "<html><p>\xC3\xA9</p>"), "<html><p>\xE9</p>");
  TOpened sheet;
  Open(sheet, "p { content: \"\xC3\xA9\" }", TMarkup::CSS);
  EXPECT_EQ(Saved(sheet, "@charset \"ISO-8859-15\";\np { content: \"\xE2\x82\xAC\" }"),
            "@charset \"ISO-8859-15\";\np { content: \"\xA4\" }");
  // An encoding the document would not open in again is refused: UTF-32
  // came back as UTF-16 with NULs between the letters.
  for (const char* name : {"UTF-32", "UTF-7", "UCS-2"}) {
    try {
      Saved(doc, std::string("<?xml version=\"1.0\" encoding=\"") + name + "\"?><r/>");
      ADD_FAILURE() << name << " written";
    } catch (const ETextEncodingError& error) {
      EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
    }
  }
}

TEST(DocumentText, NewDocumentsAreUtf8WithLf)
{
  TOpened doc;
  Open(doc, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n");
  doc.Model.Reset();
  EXPECT_EQ(doc.Model.Format().Encoding, EncodingUTF8);
  EXPECT_EQ(doc.Model.Format().LineEnd, TLineEnd::LF);
  EXPECT_EQ(Saved(doc, "<r>\xC3\xA9</r>"), "<r>\xC3\xA9</r>");
}

// ---- pieces ----------------------------------------------------------------------

TEST(LineEnds, TheFirstLineEndDecidesAlsoAcrossPieces)
{
  EXPECT_EQ(FirstLineEnd("a\r\nb\nc", 6), TLineEnd::CRLF);
  EXPECT_EQ(FirstLineEnd("a\nb\r\n", 5), TLineEnd::LF);
  EXPECT_EQ(FirstLineEnd("a\rb\r\n", 5), TLineEnd::CR);
  EXPECT_EQ(FirstLineEnd("abc", 3), TLineEnd::LF);
  TLineEndDetector split;
  split.Feed("a\r", 2);
  EXPECT_FALSE(split.Decided());
  split.Feed("\nb", 2);
  EXPECT_EQ(split.Result(), TLineEnd::CRLF);
  EXPECT_EQ(LineNumberAt("a\r\nb\rc\nd", 8, 7), 4);
}

TEST(TextCodec, SequencesCutBetweenPiecesWaitForTheRest)
{
  TTextCodec codec("UTF-16LE");
  std::string text;
  EXPECT_EQ(codec.Decode("<\0\xE5", 3, false, text), 2u);
  EXPECT_EQ(codec.Decode("\xE5\x65", 2, true, text), 2u);
  EXPECT_EQ(text, "<\xE6\x97\xA5");
  std::string bytes;
  EXPECT_EQ(codec.Encode("<\xE6\x97", 3, false, bytes), 1u);
  EXPECT_EQ(codec.Encode("\xE6\x97\xA5\xE6", 4, true, bytes), 4u);  // the lone lead byte goes as it is
  EXPECT_EQ(bytes, std::string("<\0\xE5\x65\xE6", 5));
}

TEST(TextCodec, OnlyEncodingsOfOneCharacterPerByteGoThroughATable)
{
  for (const char* encoding : {"WINDOWS-1252", "ISO-8859-1", "KOI8-R", "IBM037"})
    EXPECT_NE(TByteTable::Make(encoding), nullptr) << encoding;
  // Sequences, shift states, combining marks, unknown names.
  for (const char* encoding : {"SHIFT_JIS", "UTF-16LE", "ISO-2022-JP", "CP1258", "no-such-thing"})
    EXPECT_EQ(TByteTable::Make(encoding), nullptr) << encoding;
  auto table = TByteTable::Make("WINDOWS-1252");
  EXPECT_EQ(table->Text(0x80), "\xE2\x82\xAC");
  EXPECT_EQ(table->Text(0x81), "");
  EXPECT_EQ(table->ByteOf(0x20AC), 0x80);
  EXPECT_EQ(table->ByteOf(0x65E5), -1);
  EXPECT_EQ(table->TextSize("a\x80\x81\xE9", 4), 1u + 3u + 1u + 2u);
}
