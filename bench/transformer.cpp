// The XSLT transformer against xsltproc, same files, same run: a generated
// 30 MB catalogue with one stylesheet (keys, a template per item, HTML
// output), and a generated 100 MB catalogue with the identity transform
// (goal for both: at most 1.1 times xsltproc's time and peak memory). Our side
// reads the document into memory, transforms it under a work progress that
// could cancel it and writes the result, as the editor does; the outputs must
// be equal.

#include <cstdio>
#include <fstream>
#include <string>

#include "ToolTiming.h"
#include "resource/AtomicFile.h"
#include "resource/TWorkProgress.h"
#include "xmltools/pvtools.h"

namespace {

constexpr int kRuns = 3;

const char* const kTableStylesheet = R"XSL(<?xml version="1.0" encoding="UTF-8"?>
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

const char* const kIdentityStylesheet = R"XSL(<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:template match="@*|node()">
    <xsl:copy><xsl:apply-templates select="@*|node()"/></xsl:copy>
  </xsl:template>
</xsl:stylesheet>
)XSL";

void WriteInput(const std::string& path, std::size_t bytes)
{
  static const char* const groups[] = {"book", "disc", "tool", "caf\xC3\xA9"};
  std::ofstream out(path, std::ios::binary);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<catalog>\n";
  std::size_t size = 0;
  char item[512];
  for (int i = 0; size < bytes; ++i) {
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

// Times one stylesheet over one generated document; false when a run failed
// or the outputs differ.
bool Compare(const std::string& folder, const char* what, const char* stylesheet, std::size_t bytes)
{
  std::string input = folder + "catalog.xml", style = folder + "style.xsl";
  std::string ours = folder + "ours.out", theirs = folder + "xsltproc.out";
  WriteInput(input, bytes);
  WriteFileAtomically(style, stylesheet);

  auto [run, xsltproc] = BestOfInTurns(
      kRuns,
      [&] {
        return RunOurs([&] {
          TWorkProgress progress;
          TWorkProgressScope scope(progress);
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
  std::printf("%s: document %.1f MB, best of %d runs, outputs %s\n", what, bytes / 1048576.0, kRuns,
              same ? "equal" : "DIFFER");
  PrintComparison("  time", run, "xsltproc -o", xsltproc, "1.1x");
  std::printf("  peak memory  ours %6.0f MB   xsltproc %6.0f MB   ratio %.2fx (goal <= 1.1x)\n",
              Megabytes(run.PeakKB), Megabytes(xsltproc.PeakKB),
              static_cast<double>(run.PeakKB) / static_cast<double>(xsltproc.PeakKB));
  for (const std::string& file : {input, style, ours, theirs}) std::remove(file.c_str());
  return run.Ok && xsltproc.Ok && same;
}

}  // namespace

int main()
{
  char folder[] = "/tmp/bench-transformer-XXXXXX";
  if (!::mkdtemp(folder)) return 1;
  std::string base = std::string(folder) + "/";
  bool table = Compare(base, "table (keys, HTML output)", kTableStylesheet, 30u << 20);
  bool identity = Compare(base, "identity transform", kIdentityStylesheet, 100u << 20);
  ::rmdir(folder);
  return table && identity ? 0 : 1;
}
