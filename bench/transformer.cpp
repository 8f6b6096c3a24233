// The XSLT transformer against xsltproc on one generated 30 MB document and
// one stylesheet (keys, a template per item, HTML output), same files, same
// run (goal: at most 1.1 times xsltproc's time). The outputs must be equal.

#include <cstdio>
#include <fstream>
#include <string>

#include "ToolTiming.h"
#include "model/pvtools.h"
#include "resource/AtomicFile.h"

namespace {

constexpr std::size_t kDocumentBytes = 30u << 20;
constexpr int kRuns = 3;

const char* const kStylesheet = R"XSL(<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="ISO-8859-1" indent="yes"/>
  <xsl:key name="by-group" match="item" use="@group"/>
  <xsl:template match="/catalog">
    <html>
      <head><title>Catalogue</title></head>
      <body>
        <p>Items: <xsl:value-of select="count(item)"/>, tools: <xsl:value-of select="count(key('by-group', 'tool'))"/></p>
        <table>
          <xsl:apply-templates select="item"/>
        </table>
      </body>
    </html>
  </xsl:template>
  <xsl:template match="item">
    <tr class="{@group}">
      <td><xsl:value-of select="@code"/></td>
      <td><xsl:value-of select="translate(name, 'abcdefghijklmnopqrstuvwxyz', 'ABCDEFGHIJKLMNOPQRSTUVWXYZ')"/></td>
      <td><xsl:value-of select="format-number(price * quantity, '0.00')"/></td>
      <td><xsl:if test="note"><xsl:value-of select="substring(note, 1, 20)"/></xsl:if></td>
    </tr>
  </xsl:template>
</xsl:stylesheet>
)XSL";

void WriteInput(const std::string& path)
{
  static const char* const groups[] = {"book", "disc", "tool", "caf\xC3\xA9"};
  std::ofstream out(path, std::ios::binary);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<catalog>\n";
  std::size_t size = 0;
  char item[512];
  for (int i = 0; size < kDocumentBytes; ++i) {
    int n = std::snprintf(item, sizeof item,
                          "<item code=\"c%d\" group=\"%s\"><name>item number %d</name><price>%d.%02d</price>"
                          "<quantity>%d</quantity>%s</item>\n",
                          i, groups[i % 4], i, i % 500, i % 100, 1 + i % 9,
                          i % 3 ? "<note>Delivered in a box of recycled paper</note>" : "");
    out.write(item, n);
    size += static_cast<std::size_t>(n);
  }
  out << "</catalog>\n";
}

}  // namespace

int main()
{
  char folder[] = "/tmp/bench-transformer-XXXXXX";
  if (!::mkdtemp(folder)) return 1;
  std::string base = std::string(folder) + "/";
  std::string input = base + "catalog.xml", style = base + "table.xsl";
  std::string ours = base + "ours.html", theirs = base + "xsltproc.html";
  WriteInput(input);
  WriteFileAtomically(style, kStylesheet);

  auto [run, xsltproc] = BestOfInTurns(
      kRuns,
      [&] {
        return RunOurs([&] {
          TXMLTransformer transformer;
          transformer.LoadStyleSheet(style);
          std::string output;
          transformer.Transform(ReadWholeFile(input), output);
          std::ofstream(ours, std::ios::binary).write(output.data(), static_cast<std::streamsize>(output.size()));
          return true;
        });
      },
      [&] { return RunProgram({"xsltproc", "-o", theirs, style, input}); });

  bool same = ReadWholeFile(ours) == ReadWholeFile(theirs);
  std::printf("document: %.1f MB, best of %d runs\n", kDocumentBytes / 1048576.0, kRuns);
  PrintComparison("transform", run, "xsltproc -o", xsltproc, "1.1x");
  std::printf("outputs %s\n", same ? "equal" : "DIFFER");
  std::printf("peak memory: ours %.0f MB, xsltproc %.0f MB\n", Megabytes(run.PeakKB), Megabytes(xsltproc.PeakKB));
  for (const std::string& file : {input, style, ours, theirs}) std::remove(file.c_str());
  ::rmdir(folder);
  return run.Ok && same ? 0 : 1;
}
