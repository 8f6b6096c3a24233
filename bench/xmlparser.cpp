// Throughput of the XML event parser against libxml2's SAX2 parser on the same
// generated document (about 60 MB of elements with attributes, text, entity
// references, comments and processing instructions). Both count their events;
// each parser runs three times and its best time counts.

#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "xmlparse/zevxml.h"

namespace {

class Random {
public:
  std::uint32_t Next(std::uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33) % bound;
  }

private:
  std::uint64_t state_ = 0x5eed;
};

const char* const kWords[] = {"editor", "schema", "document", "template", "value",  "window", "format",
                              "project", "folder", "transform", "element", "output", "server", "the",
                              "a",       "of",     "and",       "with",    "for",    "in",     "to"};
const char* const kTags[] = {"item", "title", "description", "price", "para", "link", "entry", "note"};

std::string Words(Random& rnd, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    if (i) s += ' ';
    s += kWords[rnd.Next(sizeof kWords / sizeof *kWords)];
  }
  return s;
}

void AppendRecord(std::string& out, Random& rnd, std::uint32_t id) {
  out += "  <record id=\"" + std::to_string(id) + "\" type='" + kWords[rnd.Next(8)] + "' status=\"active\">\r\n";
  const std::uint32_t children = 3 + rnd.Next(6);
  for (std::uint32_t i = 0; i < children; ++i) {
    const char* tag = kTags[rnd.Next(sizeof kTags / sizeof *kTags)];
    switch (rnd.Next(6)) {
      case 0:
        out += "    <" + std::string(tag) + " lang=\"en\" ref=\"#r" + std::to_string(rnd.Next(100000)) + "\"/>\r\n";
        break;
      case 1:
        out += "    <!-- " + Words(rnd, 4) + " -->\r\n";
        break;
      case 2:
        out += "    <" + std::string(tag) + ">" + Words(rnd, 3) + " &amp; " + Words(rnd, 2) + "</" + tag + ">\r\n";
        break;
      default:
        out += "    <" + std::string(tag) + " class=\"c" + std::to_string(rnd.Next(20)) + "\">" +
               Words(rnd, 2 + static_cast<int>(rnd.Next(12))) + "</" + tag + ">\r\n";
    }
  }
  if (rnd.Next(10) == 0) out += "    <?render mode=\"fast\"?>\r\n";
  out += "  </record>\r\n";
}

std::string MakeDocument(std::size_t minSize) {
  Random rnd;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- generated test data -->\r\n<records>\r\n";
  for (std::uint32_t id = 0; out.size() < minSize; ++id) AppendRecord(out, rnd, id);
  out += "</records>\r\n";
  return out;
}

struct Counts {
  std::uint64_t start = 0, end = 0, text = 0, comment = 0, pi = 0, decl = 0;
  std::uint64_t Total() const { return start + end + text + comment + pi + decl; }
};

// Runs both parsers in turn, three rounds, so that a change of machine load
// strikes both alike; the best time of each counts.
template <typename A, typename B>
std::pair<double, double> BestSeconds(A runA, B runB) {
  auto time = [](auto& run) {
    const auto t0 = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
    return d.count();
  };
  double bestA = 1e30, bestB = 1e30;
  for (int i = 0; i < 3; ++i) {
    bestA = std::min(bestA, time(runA));
    bestB = std::min(bestB, time(runB));
  }
  return {bestA, bestB};
}

Counts RunOurs(const std::string& doc) {
  Counts n;
  TXMLParser parser;
  parser.OnStartTag = [&](TXMLParser&, const std::string&, const std::vector<std::string>&, bool) { ++n.start; };
  parser.OnEndTag = [&](TXMLParser&, const std::string&) { ++n.end; };
  parser.OnText = [&](TXMLParser&, const std::string&) { ++n.text; };
  parser.OnComment = [&](TXMLParser&, const std::string&) { ++n.comment; };
  parser.OnDecl = [&](TXMLParser&, const std::string&, const std::string&) { ++n.decl; };
  parser.OnPI = [&](TXMLParser&, const std::string&, const std::string&) { ++n.pi; };
  parser.Parse(doc);
  return n;
}

void SaxStart(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int,
              const xmlChar**) {
  ++static_cast<Counts*>(ctx)->start;
}
void SaxEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) { ++static_cast<Counts*>(ctx)->end; }
void SaxCharacters(void* ctx, const xmlChar*, int) { ++static_cast<Counts*>(ctx)->text; }
void SaxComment(void* ctx, const xmlChar*) { ++static_cast<Counts*>(ctx)->comment; }
void SaxPI(void* ctx, const xmlChar*, const xmlChar*) { ++static_cast<Counts*>(ctx)->pi; }

Counts RunLibxml2(const std::string& doc) {
  Counts n;
  xmlSAXHandler sax{};
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = SaxStart;
  sax.endElementNs = SaxEnd;
  sax.characters = SaxCharacters;
  sax.ignorableWhitespace = SaxCharacters;
  sax.comment = SaxComment;
  sax.processingInstruction = SaxPI;
  if (xmlSAXUserParseMemory(&sax, &n, doc.data(), static_cast<int>(doc.size())) != 0)
    std::fprintf(stderr, "libxml2 reported an error\n");
  return n;
}

void Report(const char* name, double seconds, std::size_t bytes, const Counts& n) {
  std::printf("%-10s %8.1f MB/s  (%.3f s; %llu events: %llu start, %llu end, %llu text, %llu comment, %llu pi)\n",
              name, bytes / 1e6 / seconds, seconds, static_cast<unsigned long long>(n.Total()),
              static_cast<unsigned long long>(n.start), static_cast<unsigned long long>(n.end),
              static_cast<unsigned long long>(n.text), static_cast<unsigned long long>(n.comment),
              static_cast<unsigned long long>(n.pi));
}

}  // namespace

int main() {
  xmlInitParser();
  const std::string doc = MakeDocument(60u * 1000 * 1000);
  std::printf("XML event parser vs libxml2 SAX2, %.1f MB document, best of 3\n", doc.size() / 1e6);
  Counts ours, theirs;
  const auto [tOurs, tTheirs] = BestSeconds([&] { ours = RunOurs(doc); }, [&] { theirs = RunLibxml2(doc); });
  Report("TXMLParser", tOurs, doc.size(), ours);
  Report("libxml2", tTheirs, doc.size(), theirs);
  std::printf("ratio ours/libxml2: %.2fx\n", tTheirs / tOurs);
  std::fflush(stdout);
  xmlCleanupParser();
  // The XML declaration is a processing instruction to us, not to libxml2.
  if (ours.start != theirs.start || ours.end != theirs.end || ours.comment != theirs.comment ||
      ours.pi != theirs.pi + 1) {
    std::fprintf(stderr, "event counts differ\n");
    return 1;
  }
  return 0;
}
