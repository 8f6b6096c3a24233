// Saving an edited document: the bytes Save writes open again as the text
// that was saved, or Save refuses, writing nothing, with a message that
// names the first character that would not come back and its line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpenedDocument.h"
#include "text/ETextEncodingError.h"
#include "text/TDocumentText.h"

namespace {

// A document opened, edited (the first Find of its text replaced by
// Replace; Find empty: Replace added at the end) and saved.
struct TSaveCase {
  std::string Name;
  std::string Bytes;
  std::string Find;
  std::string Replace;
  std::string Written;  // the bytes saved; empty when Save refuses
  std::string Message = std::string();  // the refusal
  TMarkup Markup = TMarkup::Other;
};

std::string Edited(const std::string& text, const TSaveCase& c)
{
  std::string edited = text;
  if (c.Find.empty()) return edited + c.Replace;
  std::size_t at = edited.find(c.Find);
  EXPECT_NE(at, std::string::npos) << c.Name;
  if (at != std::string::npos) edited.replace(at, c.Find.size(), c.Replace);
  return edited;
}

// The line the message names ("in line N").
long NamedLine(const std::string& message)
{
  std::size_t at = message.find("in line ");
  return at == std::string::npos ? -1 : std::stol(message.substr(at + 8));
}

void ExpectSavedOrRefused(const TSaveCase& c)
{
  SCOPED_TRACE(c.Name);
  TOpened doc;
  Open(doc, c.Bytes, c.Markup);
  const std::string text = Edited(doc.Sink.Text, c);
  if (!c.Written.empty()) {
    TSaveBytes saved = doc.Model.SaveBytes(text.data(), text.size());
    EXPECT_EQ(saved.Bytes, c.Written);
    // Opened again: the text saved, in the format the document now has.
    TOpened again;
    Open(again, saved.Bytes, c.Markup);
    EXPECT_EQ(again.Sink.Text, text);
    EXPECT_EQ(again.Model.Format().Encoding, saved.Format.Encoding);
    doc.Model.Saved(saved, text.data(), text.size());
    EXPECT_EQ(doc.Model.Format().Encoding, saved.Format.Encoding);
    return;
  }
  try {
    doc.Model.SaveBytes(text.data(), text.size());
    ADD_FAILURE() << "saved";
  } catch (const ETextEncodingError& error) {
    EXPECT_EQ(error.what(), c.Message);
    ASSERT_GE(error.TextOffset, 0);
    EXPECT_EQ(NamedLine(error.what()), LineNumberAt(text.data(), text.size(), error.TextOffset));
  }
  std::vector<std::string> handed;
  EXPECT_THROW(doc.Model.Write(text.data(), text.size(), [&](const char* b, std::size_t n) { handed.emplace_back(b, n); }),
               ETextEncodingError);
  EXPECT_TRUE(handed.empty());
}

const std::string Tag = "\xF3\xA0\x80\xB0";  // U+E0030, a tag character

}  // namespace

TEST(DocumentTextSave, CharactersTheConverterDropsOrChangesAreRefused)
{
  std::vector<TSaveCase> cases;
  // iconv drops the tag characters without an error.
  for (const char* encoding : {"Shift_JIS", "EUC-KR", "EUC-JP", "Big5", "CP932", "SHIFT_JISX0213"}) {
    std::string name = ResolveEncodingLabel(encoding, TMarkup::Other);
    cases.push_back({name, Declared(encoding, "\n<r/>"), "", Tag, "",
                     "The character \"" + Tag + "\" (U+E0030) in line 2 cannot be written in " + name +
                         ", the document's encoding: it would be lost."});
  }
  // Characters written as bytes that read as others.
  cases.push_back({"backslash", Declared("Shift_JIS", "<r/>"), "<r/>", "<r>\\</r>", "",
                   "The character \"\\\" (U+005C) in line 1 cannot be written in SHIFT_JIS, the document's encoding: "
                   "it would come back as \"\xC2\xA5\" (U+00A5)."});
  cases.push_back({"tilde", Declared("Shift_JIS", "<r/>"), "", "~", "",
                   "The character \"~\" (U+007E) in line 1 cannot be written in SHIFT_JIS, the document's encoding: it "
                   "would come back as \"\xE2\x80\xBE\" (U+203E)."});
  cases.push_back({"double bar", Declared("CP932", "<r/>"), "", "\xE2\x80\x96", "",
                   "The character \"\xE2\x80\x96\" (U+2016) in line 1 cannot be written in CP932, the document's "
                   "encoding: it would come back as \"\xE2\x88\xA5\" (U+2225)."});
  cases.push_back({"three quarters", Declared("IBM-943", "<r/>"), "", "\xC2\xBE", "",
                   "The character \"\xC2\xBE\" (U+00BE) in line 1 cannot be written in IBM-943, the document's "
                   "encoding: it would come back as U+001A."});
  // Written where they can be.
  cases.push_back({"yen", Declared("Shift_JIS", "<r/>"), "", "\xC2\xA5", Declared("Shift_JIS", "<r/>\\")});
  for (const TSaveCase& c : cases) ExpectSavedOrRefused(c);
}

TEST(DocumentTextSave, AKeptByteAndATypedCharacterKeepTheirBytesApart)
{
  const TSaveCase cases[] = {
      // The kept byte would form a character with the typed one.
      {"Shift_JIS", Declared("Shift_JIS", "\x81"), "", "@", "",
       "The byte 0x81 in line 1, kept as it is because it is no character of SHIFT_JIS, cannot stand next to \"@\" "
       "(U+0040) in SHIFT_JIS: together they would come back as \"\xE3\x80\x80\" (U+3000)."},
      {"GB18030", Declared("GB18030", "\r\n\x81"), "", "0\xC3\x9E", "",
       "The byte 0x81 in line 2, kept as it is because it is no character of GB18030, cannot stand next to \"0\" "
       "(U+0030) in GB18030: together they would come back as U+0080."},
      // Written in their order: the converter held the typed character
      // back while the kept byte went out before it.
      {"BIG5-HKSCS", Declared("BIG5-HKSCS", "\xFF"), "\xFF", "\xC3\x8A\xFF", Declared("BIG5-HKSCS", "\x88\x66\xFF")},
      {"TSCII", Declared("TSCII", "\xFF"), "\xFF", "\xE0\xAE\x95\xFF", Declared("TSCII", "\xB8\xFF")},
      // With shift states the kept byte goes out where it stands: before
      // a character the converter holds back.
      {"ISO-2022-JP-3", Declared("ISO-2022-JP-3", "\xFF"), "\xFF", "\xE3\x81\x8B\xFF", "",
       "The character \"\xE3\x81\x8B\" (U+304B) in line 1 cannot stand before the byte 0xFF, kept as it is because it "
       "is no character of ISO-2022-JP-3, in ISO-2022-JP-3: together they would come back as the byte 0xFF followed "
       "by \"\xE3\x81\x8B\" (U+304B)."},
      // Apart from characters they stay.
      {"Shift_JIS apart", Declared("Shift_JIS", "\x81"), "", " @", Declared("Shift_JIS", "\x81 @")},
  };
  for (const TSaveCase& c : cases) ExpectSavedOrRefused(c);
}

TEST(DocumentTextSave, KeptBytesAreNotCarriedIntoANewlyNamedEncoding)
{
  const TSaveCase cases[] = {
      {"ISO-8859-13", Declared("ISO-8859-3", "\n\xA5"), "ISO-8859-3", "ISO-8859-13", "",
       "The byte 0xA5 in line 2, kept as it is because it is no character of ISO-8859-3, cannot be written in "
       "ISO-8859-13: it would come back as \"\xE2\x80\x9E\" (U+201E)."},
      {"UTF-16", Declared("ISO-8859-3", "\n\xA5"), "ISO-8859-3", "UTF-16", "",
       "The byte 0xA5 in line 2, kept as it is because it is no character of ISO-8859-3, cannot be written in "
       "UTF-16LE."},
      // Without kept bytes the new encoding is written.
      {"ISO-8859-9", Declared("ISO-8859-3", "\n\xAA"), "ISO-8859-3", "ISO-8859-9", Declared("ISO-8859-9", "\n\xDE")},
  };
  for (const TSaveCase& c : cases) ExpectSavedOrRefused(c);
}

TEST(DocumentTextSave, WhatSaveWritesOpensInTheEncodingItWasWrittenIn)
{
  const std::string cyrillicTitle(600, '\xC1');
  std::string thorns;
  for (int i = 0; i < 400; ++i) thorns += "\xC3\x9E";
  const std::string head = "<html><head><title>";
  const TSaveCase cases[] = {
      // The declaration moved away from the start: nothing names KOI8-R.
      {"moved declaration", Declared("KOI8-R", "\n<r>\xD6</r>"), "<?xml", " <?xml", "",
       "Written in KOI8-R, the document would open again as WINDOWS-1252, since nothing names KOI8-R where opening "
       "looks for the encoding (an XML declaration at its very start), and the character \"\xD0\xB6\" (U+0436) in "
       "line 2 would come back as \"\xC3\x96\" (U+00D6)."},
      // ASCII reads the same in any of them.
      {"moved, ASCII", Declared("KOI8-R", "\n<r/>"), "<?xml", " <?xml", " " + Declared("KOI8-R", "\n<r/>")},
      // A <meta> within the first 1024 bytes, beyond the first 1024 bytes
      // of the text: opening reads it, and so does Save.
      {"meta changed", head + cyrillicTitle + "</title><meta charset=\"koi8-r\"></head>", "koi8-r", "windows-1251",
       head + std::string(600, '\xE0') + "</title><meta charset=\"windows-1251\"></head>", "", TMarkup::HTML},
      // Within the first 1024 bytes of the text, beyond those of the file.
      {"meta too far", head + thorns + "</title></head>", "</head>", "<meta charset=\"gb18030\"></head>", "",
       "Written in GB18030, the document would open again as WINDOWS-1252, since nothing names GB18030 where opening "
       "looks for the encoding (an XML declaration at its very start, or a <meta> in its first 1024 bytes), and the "
       "character \"\xC3\x9E\" (U+00DE) in line 1 would come back as the byte 0x81.",
       TMarkup::HTML},
      // A declaration naming no usable encoding leaves it to the <meta>.
      {"unusable declaration", "<?xml version=\"1.0\" encoding=\"nonsense\"?><meta charset=\"utf-8\">",
       "utf-8\">", "koi8-r\">\xD0\xB6", "<?xml version=\"1.0\" encoding=\"nonsense\"?><meta charset=\"koi8-r\">\xD6",
       "", TMarkup::HTML},
  };
  for (const TSaveCase& c : cases) ExpectSavedOrRefused(c);
}

TEST(DocumentTextSave, AWindows1252DocumentThatWouldOpenAsUtf8IsRefused)
{
  const TSaveCase cases[] = {
      {"C3 A9", "\xC3", "", "\xC2\xA9", "",
       "Written in WINDOWS-1252, the document would open again as UTF-8, since nothing names WINDOWS-1252 where "
       "opening looks for the encoding (an XML declaration at its very start), and the character \"\xC3\x83\" "
       "(U+00C3) in line 1 would come back as \"\xC3\xA9\" (U+00E9)."},
      // What it would open as is the same text: written, and UTF-8 from then on.
      {"ASCII left", "Caf\xE9", "\xC3\xA9", "e", "Cafe"},
  };
  for (const TSaveCase& c : cases) ExpectSavedOrRefused(c);
}
