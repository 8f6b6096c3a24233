// The XML checker against xmllint on one generated 50 MB document with an
// internal DTD: well-formedness against `xmllint --noout`, validity against
// `xmllint --noout --valid` (goal: at most the time of xmllint), and the peak
// memory of our streaming check next to `xmllint --stream --noout`.

#include <cstdio>
#include <fstream>
#include <string>

#include "ToolTiming.h"
#include "resource/AtomicFile.h"
#include "xmltools/pvtools.h"

namespace {

constexpr std::size_t kDocumentBytes = 50u << 20;
constexpr int kRuns = 3;

const char* const kProlog =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE catalog [\n"
    "<!ELEMENT catalog (item*)>\n"
    "<!ELEMENT item (name, price, tags?, note*)>\n"
    "<!ATTLIST item id ID #REQUIRED kind (book|disc|tool) \"book\">\n"
    "<!ELEMENT name (#PCDATA)>\n"
    "<!ELEMENT price (#PCDATA)>\n"
    "<!ATTLIST price currency CDATA #IMPLIED>\n"
    "<!ELEMENT tags (tag+)>\n"
    "<!ELEMENT tag (#PCDATA)>\n"
    "<!ELEMENT note (#PCDATA|em)*>\n"
    "<!ELEMENT em (#PCDATA)>\n"
    "<!ENTITY co \"Plivek &amp; Co.\">\n"
    "]>\n"
    "<catalog>\n";

void WriteDocument(const std::string& path)
{
  static const char* const kinds[] = {"book", "disc", "tool"};
  std::ofstream out(path, std::ios::binary);
  out << kProlog;
  std::size_t size = 0;
  char item[512];
  for (int i = 0; size < kDocumentBytes; ++i) {
    int n = std::snprintf(item, sizeof item,
                          "<item id=\"i%d\" kind=\"%s\"><name>Item number %d of the catalogue</name>"
                          "<price currency=\"EUR\">%d.%02d</price><tags><tag>alpha</tag><tag>beta%d</tag></tags>"
                          "<note>A short note with <em>emphasis</em> by &co; and more text here.</note></item>\n",
                          i, kinds[i % 3], i, i % 1000, i % 100, i % 7);
    out.write(item, n);
    size += static_cast<std::size_t>(n);
  }
  out << "</catalog>\n";
}

ToolRun CheckWithOurs(const std::string& path, bool validate)
{
  return RunOurs([&] {
    TXMLChecker checker;
    checker.Validate = validate;
    checker.XML = ReadWholeFile(path);
    return checker.Check();
  });
}

}  // namespace

int main()
{
  char folder[] = "/tmp/bench-checker-XXXXXX";
  if (!::mkdtemp(folder)) return 1;
  std::string path = std::string(folder) + "/catalog.xml";
  WriteDocument(path);
  if (::chdir(folder) != 0) return 1;

  auto [wellFormed, lintWellFormed] = BestOfInTurns(
      kRuns, [&] { return CheckWithOurs(path, false); }, [&] { return RunProgram({"xmllint", "--noout", path}); });
  auto [valid, lintValid] = BestOfInTurns(
      kRuns, [&] { return CheckWithOurs(path, true); },
      [&] { return RunProgram({"xmllint", "--noout", "--valid", path}); });
  ToolRun lintStream = RunProgram({"xmllint", "--stream", "--noout", "--valid", path});

  std::printf("document: %.1f MB, internal DTD, best of %d runs\n", kDocumentBytes / 1048576.0, kRuns);
  PrintComparison("well-formed", wellFormed, "xmllint --noout", lintWellFormed, "1.0x");
  PrintComparison("valid", valid, "xmllint --noout --valid", lintValid, "1.0x");
  double text = kDocumentBytes / 1048576.0;
  std::printf("peak memory: ours %.0f MB (well-formed), %.0f MB (valid): the %.0f MB text in memory plus %.0f MB;\n"
              "             xmllint --stream --noout --valid %.0f MB; xmllint --noout --valid %.0f MB\n",
              Megabytes(wellFormed.PeakKB), Megabytes(valid.PeakKB), text, Megabytes(valid.PeakKB) - text,
              Megabytes(lintStream.PeakKB), Megabytes(lintValid.PeakKB));
  std::remove(path.c_str());
  ::rmdir(folder);
  return wellFormed.Ok && valid.Ok ? 0 : 1;
}
