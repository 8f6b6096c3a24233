// Text scanning behind tag closing and autocompletion, over several lines
// (the typing tests cover the single-line cases).

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "editor/TTagScanCache.h"
#include "editor/TagScanning.h"

namespace {

// The lines of text ("\n" separated) and the caret at the end of the last.
struct TLines {
  std::vector<std::string> Lines;
  explicit TLines(const std::string& text)
  {
    std::istringstream in(text + "\n");
    for (std::string line; std::getline(in, line);) Lines.push_back(line);
  }
  TLineAt At() const
  {
    return [this](long i) { return i < static_cast<long>(Lines.size()) ? std::string_view(Lines[i]) : ""; };
  }
  long X() const { return static_cast<long>(Lines.back().size()) + 1; }
  long Y() const { return static_cast<long>(Lines.size()); }
};

TTagContext Context(const std::string& text)
{
  TLines lines(text);
  return GetTagContext(lines.At(), lines.X(), lines.Y());
}

std::string Enclosing(const std::string& text)
{
  TLines lines(text);
  return GetEnclosingElement(lines.At(), lines.X(), lines.Y());
}

// A text with the editor's lines: "\n", "\r\n" and a lone "\r" end a line.
struct TEditedText {
  std::string Text;
  std::vector<long> Starts, Ends;  // of each line's content

  explicit TEditedText(std::string text) : Text(std::move(text)) { Split(); }
  void Split()
  {
    Starts = {0};
    Ends.clear();
    long n = static_cast<long>(Text.size());
    for (long i = 0; i < n; ++i) {
      if (Text[i] != '\r' && Text[i] != '\n') continue;
      Ends.push_back(i);
      if (Text[i] == '\r' && i + 1 < n && Text[i + 1] == '\n') ++i;
      Starts.push_back(i + 1);
    }
    Ends.push_back(n);
  }
  long Lines() const { return static_cast<long>(Starts.size()); }
  TLineAt At() const
  {
    return [this](long i) {
      if (i < 0 || i >= Lines()) return std::string_view();
      return std::string_view(Text).substr(Starts[i], Ends[i] - Starts[i]);
    };
  }
  TTagScanCache::TText ScanText() const
  {
    return {At(), [this](long i) { return i < Lines() ? Starts[i] : -1L; },
            [this](long position) {
              return static_cast<long>(std::upper_bound(Starts.begin(), Starts.end(), position) - Starts.begin()) - 1;
            }};
  }
};

// Pieces of markup that meet the searches' rules at their edges: empty-element
// tags and "/>" alone, names cut by a line end, quotes, comments.
const char* const Pieces[] = {"<a>", "</a>", "<b>", "</b>", "<a/>", "<b x=\"1\"/>", "/>", "<", ">", "\"", " ", "\n",
                              "\n", "\r\n", "\r", "text", "<!-- <a> -->", "<?xml?>", "<a\n", "</", "<c ", "\t<a ",
                              "x=\">\"", "</b\n>", "<a><b></b>", "</a></a>"};

std::string Piece(std::mt19937& random)
{
  return Pieces[random() % (sizeof(Pieces) / sizeof(Pieces[0]))];
}

std::string Shown(const std::string& text, long caretX, long caretY)
{
  std::string shown;
  for (char c : text) shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n\n") : std::string(1, c);
  return shown + "\ncaret " + std::to_string(caretX) + "," + std::to_string(caretY);
}

}  // namespace

// The cached searches answer exactly as the plain ones, while the caret
// moves near and far and edits land before and after the checkpoint.
TEST(TagScanning, CachedSearchesAnswerAsThePlainOnes)
{
  std::mt19937 random(13);
  for (int document = 0; document < 300; ++document) {
    std::string start;
    for (int i = 0, n = 20 + static_cast<int>(random() % 60); i < n; ++i) start += Piece(random);
    TEditedText text(start);
    TTagScanCache cache(static_cast<long>(10 + random() % 60), static_cast<long>(random() % 30));
    long caretY = text.Lines(), caretX = 1;
    for (int step = 0; step < 80; ++step) {
      switch (random() % 4) {
        case 0: {  // an edit anywhere
          long at = static_cast<long>(random() % (text.Text.size() + 1));
          cache.Edited(at);
          if (random() % 2 && at < static_cast<long>(text.Text.size()))
            text.Text.erase(static_cast<std::size_t>(at), 1 + random() % 6);
          else
            text.Text.insert(static_cast<std::size_t>(at), Piece(random));
          text.Split();
          break;
        }
        case 1:  // a jump
          caretY = 1 + static_cast<long>(random() % text.Lines());
          break;
        default:  // a step near the caret
          caretY = std::clamp(caretY + static_cast<long>(random() % 3) - 1, 1L, text.Lines());
          break;
      }
      caretY = std::min(caretY, text.Lines());
      long length = static_cast<long>(text.At()(caretY - 1).size());
      caretX = 1 + static_cast<long>(random() % (length + 3));  // a few columns beyond the end too
      TTagScanCache::TText scan = text.ScanText();
      std::string plain = GetEnclosingElement(text.At(), caretX, caretY);
      ASSERT_EQ(cache.GetEnclosingElement(scan, caretX, caretY), plain) << Shown(text.Text, caretX, caretY);
      TTagContext context = GetTagContext(text.At(), caretX, caretY);
      TTagContext cached = cache.GetTagContext(scan, caretX, caretY);
      ASSERT_EQ(cached.InTag, context.InTag) << Shown(text.Text, caretX, caretY);
      ASSERT_EQ(cached.TagName, context.TagName) << Shown(text.Text, caretX, caretY);
    }
  }
}

// Asked again at the end of a long document, the searches read only the
// lines near the caret; an edit near the start has them read it all again.
TEST(TagScanning, CachedSearchesReadOnlyNearTheCaret)
{
  std::string document = "<?xml version=\"1.0\"?>\n<root>\n";
  for (int i = 0; i < 2000; ++i) document += "  <item n=\"" + std::to_string(i) + "\"><b/>text</item>\n";
  document += "<p title=\"a\"\n";
  for (int i = 0; i < 2000; ++i) document += "words and no markup\n";
  TEditedText text(document);
  long reads = 0;
  TTagScanCache::TText scan = text.ScanText();
  TLineAt lines = scan.Lines;
  scan.Lines = [&reads, lines](long i) {
    ++reads;
    return lines(i);
  };
  TTagScanCache cache(4096, 1024);
  const long y = text.Lines();
  auto readsFor = [&] {
    reads = 0;
    EXPECT_EQ(cache.GetEnclosingElement(scan, 1, y), "p");
    EXPECT_EQ(cache.GetTagContext(scan, 1, y).TagName, "p");
    return reads;
  };
  EXPECT_GT(readsFor(), 4000);
  EXPECT_LT(readsFor(), 200);
  cache.Edited(3);
  EXPECT_GT(readsFor(), 4000);
}

TEST(TagScanning, ClassifyTagAndInsertInLine)
{
  const std::vector<std::pair<std::string, TTagKind>> kinds = {
      {"?xml", TTagKind::XmlDecl}, {"?xml-stylesheet", TTagKind::PI}, {"!DOCTYPE", TTagKind::DocType},
      {"!doctype", TTagKind::Other}, {"!--x", TTagKind::Comment},     {"![CDATA[", TTagKind::Other},
      {"", TTagKind::Other},         {"/b", TTagKind::EndTag},         {"xsl:if", TTagKind::StartTag}};
  for (const auto& [tag, kind] : kinds) EXPECT_EQ(ClassifyTag(tag), kind) << tag;
  EXPECT_EQ(PadLine("abcdef", 3), "abcdef");
  EXPECT_EQ(InsertInLine("X", "abc", 2), "aXbc");
  EXPECT_EQ(InsertInLine("X", "ab", 6), "ab   X");  // begins exactly at the caret column
}

TEST(TagScanning, TagContextOverLines)
{
  // The quote count carries over lines: an odd count is an attribute value.
  EXPECT_FALSE(Context("<a title=\"one\ntwo").InTag);
  EXPECT_EQ(Context("<a title=\"one\ntwo\" ").TagName, "a");
  EXPECT_FALSE(Context("<b>\n\ntext").InTag);
  // The caret in column 1 scans nothing on its own line; in the middle of a
  // name, the name runs to the caret.
  TLines lines("<a\n<bcd");
  EXPECT_EQ(GetTagContext(lines.At(), 1, 2).TagName, "a");
  EXPECT_EQ(GetTagContext(lines.At(), 3, 2).TagName, "b");
  EXPECT_EQ(GetTagContext(lines.At(), 9, 2).TagName, "bcd");
}

TEST(TagScanning, EnclosingElementOverLines)
{
  EXPECT_EQ(Enclosing("<xsl:stylesheet>\n  <xsl:template match=\"/\">\n    <xsl:value-of select=\".\"/>\n"),
            "xsl:template");
  EXPECT_EQ(Enclosing("<p>\n<br\n/>\n"), "p");  // "/>" on a later line
  EXPECT_EQ(Enclosing("<div><div><div></div></div>"), "div");
  EXPECT_EQ(Enclosing("<div><div></div></div>"), "");
  EXPECT_EQ(Enclosing("<B><b></B>"), "b");  // names compare exactly
  EXPECT_EQ(Enclosing("<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n<html>\n<!-- note -->"), "html");
  // Markup inside comments counts like any other.
  EXPECT_EQ(Enclosing("<html><!-- <b> -->"), "b");
}
