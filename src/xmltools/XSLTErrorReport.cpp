#include "xmltools/XSLTErrorReport.h"

#include <regex>
#include <sstream>
#include <vector>

#include "xmltools/XMLLimitMessage.h"

namespace {

struct ReportLine {
  std::string Text;
  bool IsContext = false;
  std::string File;
  int Line = 0;
};

ReportLine ReadLine(const std::string& text)
{
  static const std::regex context(
      R"(^(compilation error|runtime error|error|warning) ?:(?: file (.*?))?(?: line (\d+))?(?: element \S+)?$)");
  ReportLine line;
  line.Text = TrimReason(text);
  std::smatch match;
  if (std::regex_match(line.Text, match, context)) {
    line.IsContext = true;
    line.File = match[2].str();
    line.Line = match[3].matched ? std::stoi(match[3].str()) : 0;
  }
  return line;
}

std::vector<ReportLine> ReadLines(const std::string& text)
{
  std::vector<ReportLine> lines;
  std::istringstream in(text);
  std::string raw;
  while (std::getline(in, raw)) {
    ReportLine line = ReadLine(raw);
    if (!line.Text.empty()) lines.push_back(line);
  }
  return lines;
}

// libxslt reports a stylesheet for a later version of XSLT the way it
// reports errors, but runs it by the rules of forwards-compatible processing.
bool IsNotice(const std::string& text)
{
  return text.rfind("xsl:version: only 1.1 features are supported", 0) == 0;
}

}  // namespace

XMLErrorRecord XSLTErrorReport(const std::string& text)
{
  std::vector<ReportLine> lines = ReadLines(text);
  XMLErrorRecord alone;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].IsContext || IsNotice(lines[i].Text)) continue;
    if (i > 0 && lines[i - 1].IsContext) {
      std::string detail = i + 1 < lines.size() ? lines[i + 1].Text : std::string();
      return XMLErrorRecord{PlainXSLTLimitMessage(lines[i].Text, detail), lines[i - 1].File, lines[i - 1].Line};
    }
    if (alone.Reason.empty()) alone.Reason = lines[i].Text;
  }
  return alone;
}

std::string LastReportLine(const std::string& text)
{
  std::vector<ReportLine> lines = ReadLines(text);
  return lines.empty() ? std::string() : lines.back().Text;
}
