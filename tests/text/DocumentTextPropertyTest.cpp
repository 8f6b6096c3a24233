// Generated documents (byte-order marks, declarations, HTML <meta> and CSS
// @charset rules naming many encodings, bytes no encoding defines, NUL
// bytes, every line end) opened, edited with characters that converters are
// known to drop, change or combine, and saved: unedited, Save gives back the
// very bytes opened; edited, the bytes open again as the edited text, or
// Save refuses with a message naming the line of the character it names.
// A fixed seed per shard keeps every run the same.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "OpenedDocument.h"
#include "text/ETextEncodingError.h"
#include "text/TDocumentText.h"
#include "text/Utf8.h"

namespace {

const std::vector<std::string> Labels = {
    "UTF-8",        "utf8",         "ISO-8859-1",     "ISO-8859-2",  "ISO-8859-3",  "ISO-8859-5",
    "ISO-8859-7",   "ISO-8859-8",   "ISO-8859-13",    "ISO-8859-15", "windows-1250", "windows-1251",
    "windows-1252", "windows-1253", "windows-1255",   "windows-1256", "windows-1258", "KOI8-R",
    "KOI8-U",       "CP437",        "MACINTOSH",      "Shift_JIS",   "CP932",       "EUC-JP",
    "EUC-KR",       "Big5",         "BIG5-HKSCS",     "GB18030",     "GBK",         "ISO-2022-JP",
    "ISO-2022-KR",  "SHIFT_JISX0213", "EUC-JISX0213", "IBM-943",     "TCVN",        "CP1258",
    "TSCII",        "VISCII",       "US-ASCII",       "UTF-16",      "UTF-32",      "UTF-7",
    "IBM037",       "nonsense",     "+",              std::string("utf-8\0", 6),
};

// Characters typed into the documents.
const std::vector<std::string> Typed = {
    "\\",           "~",            "@",            "0",            "a",            " ",
    "\n",           "\r\n",         "\xC3\xA9",     "\xC2\xA9",     "\xC3\x8A",     "\xC6\xA1",
    "\xE1\xBA\xA5", "\xE6\x97\xA5", "\xED\x95\x9C", "\xE3\x82\xA2", "\xEF\xBD\xB1", "\xE2\x82\xAC",
    "\xC2\xA5",     "\xE2\x80\xBE", "\xE2\x80\x96", "\xC2\xBE",     "\xC3\x9E",     "\xD0\xB6",
    "\xCE\xB1",     "\xCC\x81",     "\xCC\x80",     "\xE0\xAE\x95", "\xE0\xAF\x86", "\xE0\xAE\xB8",
    "\xF3\xA0\x80\xB0", "\xF0\x9F\x98\x80", "\xE2\x80\xA8",
};

class TGenerator {
public:
  explicit TGenerator(unsigned seed) : FRandom(seed) {}

  std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(FRandom); }
  template <typename T>
  const T& Pick(const std::vector<T>& items)
  {
    return items[Below(items.size())];
  }

  // A document and the markup whose rules read it.
  std::string Document(TMarkup& markup)
  {
    markup = TMarkup::Other;
    const std::string label = Pick(Labels);
    switch (Below(8)) {
      case 0: return Body();
      case 1: return "\xEF\xBB\xBF" + Declared(label, Body());
      case 2: return Utf16(Below(2) == 0);
      case 3: markup = TMarkup::HTML; return "<html><head><meta charset=\"" + label + "\">" + Body();
      case 4: markup = TMarkup::CSS; return "@charset \"" + label + "\";" + Body();
      case 5: markup = TMarkup::HTML; return Declared(Pick(Labels), "<meta charset=\"" + label + "\">" + Body());
      default: return Declared(label, Body());
    }
  }

  // Random edits of a text: characters typed, the encoding's label changed,
  // a blank before the declaration, characters deleted.
  std::string Edit(std::string text)
  {
    std::size_t edits = 1 + Below(3);
    for (std::size_t i = 0; i < edits; ++i) {
      std::vector<std::size_t> starts = Starts(text);
      switch (Below(6)) {
        case 0: text.insert(0, " "); break;
        case 1: ChangeLabel(text); break;
        case 2: {
          std::size_t k = Below(starts.size());
          if (k + 1 < starts.size()) text.erase(starts[k], starts[k + 1] - starts[k]);
          break;
        }
        default: text.insert(starts[Below(starts.size())], Pick(Typed)); break;
      }
    }
    return text;
  }

private:
  std::string Body()
  {
    static const std::vector<std::string> words = {"<r a='x'>", "text", "&amp;", "</r>", "\\", "~", "@0"};
    static const std::vector<std::string> ends = {"\n", "\r\n", "\r"};
    std::string body;
    std::size_t parts = Below(12);
    for (std::size_t i = 0; i < parts; ++i) {
      switch (Below(7)) {
        case 0: body += Pick(ends); break;
        case 1: body += static_cast<char>(0x80 + Below(128)); break;
        case 2: body += std::string(1, '\0'); break;
        case 3: body += Pick(Typed); break;
        case 4: body += static_cast<char>(Below(256)); break;
        default: body += Pick(words); break;
      }
    }
    return body;
  }

  std::string Utf16(bool little)
  {
    std::string ascii = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + std::string(Below(3), '\n') + "<r/>";
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : ascii) bytes += little ? std::string{c, '\0'} : std::string{'\0', c};
    if (Below(4) == 0) bytes += static_cast<char>(Below(256));
    return bytes;
  }

  void ChangeLabel(std::string& text)
  {
    for (const std::string& label : Labels) {
      std::size_t at = label.empty() ? std::string::npos : text.find("\"" + label + "\"");
      if (at == std::string::npos) continue;
      text.replace(at + 1, label.size(), Pick(Labels));
      return;
    }
  }

  // Where characters (and bytes that are none) begin, and the end.
  static std::vector<std::size_t> Starts(const std::string& text)
  {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size();) {
      starts.push_back(at);
      at += std::max<std::size_t>(1, Utf8SequenceLength(text.data() + at, text.size() - at));
    }
    starts.push_back(text.size());
    return starts;
  }

  std::mt19937 FRandom;
};

long NamedLine(const std::string& message)
{
  std::size_t at = message.find("in line ");
  return at == std::string::npos ? -1 : std::stol(message.substr(at + 8));
}

class DocumentTextProperty : public ::testing::TestWithParam<unsigned> {};

}  // namespace

TEST_P(DocumentTextProperty, SavedTextOpensAgainAsEditedOrIsRefused)
{
  constexpr int Documents = 800;
  TGenerator generate(GetParam());
  int refused = 0;
  for (int n = 0; n < Documents; ++n) {
    TMarkup markup;
    const std::string bytes = generate.Document(markup);
    TOpened doc;
    Open(doc, bytes, markup);
    SCOPED_TRACE(::testing::PrintToString(bytes));
    // Unedited: the very bytes.
    ASSERT_EQ(Saved(doc, doc.Sink.Text), bytes);

    const std::string text = generate.Edit(doc.Sink.Text);
    SCOPED_TRACE(::testing::PrintToString(text));
    TSaveBytes saved;
    try {
      saved = doc.Model.SaveBytes(text.data(), text.size());
    } catch (const ETextEncodingError& error) {
      ++refused;
      ASSERT_LE(error.TextOffset, static_cast<long>(text.size())) << error.what();
      if (error.TextOffset >= 0) {
        EXPECT_EQ(NamedLine(error.what()), LineNumberAt(text.data(), text.size(), error.TextOffset)) << error.what();
      }
      continue;
    }
    TOpened again;
    Open(again, saved.Bytes, markup);
    ASSERT_EQ(again.Sink.Text, text) << ::testing::PrintToString(saved.Bytes);
    EXPECT_EQ(again.Model.Format().Encoding, saved.Format.Encoding);
  }
  // Many edits are saved (most refusals are characters the encoding has
  // none for).
  EXPECT_GT(Documents - refused, Documents / 3);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DocumentTextProperty, ::testing::Values(1u, 2u, 3u, 4u));
