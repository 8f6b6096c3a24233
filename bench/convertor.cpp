// Converts a large generated HTML page with the HTML-to-XML convertor and with
// `xmllint --html --xmlout`, and prints both times and their ratio.

#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "xmltools/THTML2XMLConvertor.h"

namespace fs = std::filesystem;

namespace {

std::string GeneratePage(std::size_t targetBytes) {
  std::string page =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\n"
      "<HTML><HEAD><TITLE>Generated</TITLE><META name=generator content=bench></HEAD>\n<BODY>\n";
  for (int i = 0; page.size() < targetBytes; ++i) {
    const std::string n = std::to_string(i);
    page += "<H2 id=s" + n + ">Section " + n + "</H2>\n";
    page += "<P class=text>Paragraph " + n + " with <B>bold</B>, <I>italic</I> and a <A href=\"page.php?id=" + n +
            "&amp;lang=en\" target=_blank>link</A>.<BR>Second line &#169; 2004.\n";
    page += "<UL><LI>first item<LI>second <EM>item</EM><LI>third</UL>\n";
    page += "<TABLE border=1 width=\"100%\"><TR><TD>cell " + n + "<TD align=right>" + n +
            "</TR></TABLE>\n<!-- block " + n + " -->\n";
    page += "<FORM action=\"/cgi-bin/x\"><INPUT type=checkbox name=c" + n + " CHECKED><IMG src=a.gif ISMAP></FORM>\n";
  }
  page += "</BODY></HTML>\n";
  return page;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const fs::path folder = fs::temp_directory_path() / ("bench-convertor-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string input = (folder / "page.html").string();
  WriteFile(input, GeneratePage(40u << 20));
  std::printf("input: %.1f MB\n", static_cast<double>(fs::file_size(input)) / (1 << 20));

  double ours = 1e9;
  std::string xml;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    THTML2XMLConvertor convertor;
    convertor.FixMismatch = true;
    convertor.FixAttributes = true;
    convertor.Convert(ReadFile(input), xml);
    WriteFile((folder / "ours.xml").string(), xml);
    ours = std::min(ours, Seconds(start));
  }
  xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "ours.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
  std::printf("convertor output well-formed: %s\n", doc ? "yes" : "NO");
  xmlFreeDoc(doc);

  if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
    std::printf("convertor: %.3f s; xmllint not installed, no comparison\n", ours);
    fs::remove_all(folder);
    return 0;
  }
  const std::string command = "xmllint --html --xmlout --huge " + input + " > " + (folder / "xmllint.xml").string() +
                              " 2>/dev/null";
  double theirs = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) == -1) return 1;
    theirs = std::min(theirs, Seconds(start));
  }
  std::printf("convertor: %.3f s, xmllint --html --xmlout: %.3f s, ratio (xmllint / convertor): %.2fx (goal > 1)\n",
              ours, theirs, theirs / ours);
  fs::remove_all(folder);
  return 0;
}
