// Throughput of the XML event parser against libxml2's SAX2 parser on five
// generated documents of at least 50 MB each: a mixed one (elements with
// attributes, text, entity references, comments and processing instructions),
// an attribute-heavy one, a deeply nested one, a text-heavy one and one of
// many small elements. Both parsers count their events; on each document they
// run in turn three times and the best time of each counts.

#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "xmlparse/zevxml.h"

namespace {

constexpr std::size_t kMinSize = 50u * 1000 * 1000;

class Random {
public:
  std::uint32_t Next(std::uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33) % bound;
  }
  std::uint32_t Between(std::uint32_t low, std::uint32_t high) { return low + Next(high - low + 1); }

private:
  std::uint64_t state_ = 0x5eed;
};

const char* const kWords[] = {"editor", "schema", "document", "template", "value",  "window", "format",
                              "project", "folder", "transform", "element", "output", "server", "the",
                              "a",       "of",     "and",       "with",    "for",    "in",     "to"};
constexpr std::uint32_t kWordCount = sizeof kWords / sizeof *kWords;
const char* const kTags[] = {"item", "title", "description", "price", "para", "link", "entry", "note"};
constexpr std::uint32_t kTagCount = sizeof kTags / sizeof *kTags;
const char* const kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&#233;", "&#x2014;"};
constexpr std::uint32_t kEntityCount = sizeof kEntities / sizeof *kEntities;

std::string Words(Random& rnd, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    if (i) s += ' ';
    s += kWords[rnd.Next(kWordCount)];
  }
  return s;
}

// name="value" or name='value', the quote kind chosen at random.
void AppendAttribute(std::string& out, Random& rnd, const std::string& name, const std::string& value) {
  const char quote = rnd.Next(2) ? '"' : '\'';
  out += ' ';
  out += name;
  out += '=';
  out += quote;
  out += value;
  out += quote;
}

// ---------------------------------------------------------------- document shapes

void AppendRecord(std::string& out, Random& rnd, std::uint32_t id) {
  out += "  <record id=\"" + std::to_string(id) + "\" type='" + kWords[rnd.Next(8)] + "' status=\"active\">\r\n";
  const std::uint32_t children = 3 + rnd.Next(6);
  for (std::uint32_t i = 0; i < children; ++i) {
    const char* tag = kTags[rnd.Next(kTagCount)];
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

std::string MakeMixed() {
  Random rnd;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- generated test data -->\r\n<records>\r\n";
  for (std::uint32_t id = 0; out.size() < kMinSize; ++id) AppendRecord(out, rnd, id);
  out += "</records>\r\n";
  return out;
}

// Elements of 8 to 20 attributes each, in both quote kinds; a third of them
// hold a short text, the others are empty-element tags.
std::string MakeAttributeHeavy() {
  Random rnd;
  std::string out = "<?xml version=\"1.0\"?>\n<table>\n";
  while (out.size() < kMinSize) {
    const char* tag = kTags[rnd.Next(kTagCount)];
    out += "  <";
    out += tag;
    const std::uint32_t count = rnd.Between(8, 20);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string value;
      switch (rnd.Next(3)) {
        case 0: value = std::to_string(rnd.Next(1000000)); break;
        case 1: value = kWords[rnd.Next(kWordCount)]; break;
        default: value = Words(rnd, 1 + static_cast<int>(rnd.Next(4)));
      }
      AppendAttribute(out, rnd, std::string(kWords[rnd.Next(kWordCount)]) + "-" + std::to_string(i), value);
    }
    if (rnd.Next(3) == 0)
      out += ">" + Words(rnd, 3) + "</" + tag + ">\n";
    else
      out += "/>\n";
  }
  out += "</table>\n";
  return out;
}

// Chains of 50 to 250 nested elements, one attribute each, one line per tag
// and a short text at the innermost level.
std::string MakeNested() {
  Random rnd;
  std::string out = "<?xml version=\"1.0\"?>\n<tree>\n";
  std::vector<const char*> open;
  while (out.size() < kMinSize) {
    const std::uint32_t depth = rnd.Between(50, 250);
    for (std::uint32_t level = 0; level < depth; ++level) {
      const char* tag = kTags[rnd.Next(kTagCount)];
      open.push_back(tag);
      out += '<';
      out += tag;
      AppendAttribute(out, rnd, "level", std::to_string(level));
      out += ">\n";
    }
    out += Words(rnd, 3) + "\n";
    for (; !open.empty(); open.pop_back()) out += std::string("</") + open.back() + ">\n";
  }
  out += "</tree>\n";
  return out;
}

// Paragraphs of 150 to 600 words with entity and character references and
// inline elements.
std::string MakeTextHeavy() {
  Random rnd;
  std::string out = "<?xml version=\"1.0\"?>\n<book>\n";
  while (out.size() < kMinSize) {
    out += "<para>";
    const std::uint32_t words = rnd.Between(150, 600);
    for (std::uint32_t i = 0; i < words; ++i) {
      if (i) out += ' ';
      switch (rnd.Next(40)) {
        case 0: out += kEntities[rnd.Next(kEntityCount)]; break;
        case 1: out += "<b>" + Words(rnd, 2) + "</b>"; break;
        case 2: out += "<i>" + Words(rnd, 1) + "</i>"; break;
        case 3: out += "<a href=\"#s" + std::to_string(rnd.Next(1000)) + "\">" + Words(rnd, 3) + "</a>"; break;
        default: out += kWords[rnd.Next(kWordCount)];
      }
      if (rnd.Next(15) == 0) out += '.';
    }
    out += "</para>\n";
  }
  out += "</book>\n";
  return out;
}

// Many small elements: short names, short or no text, few attributes.
std::string MakeSmallElements() {
  Random rnd;
  std::string out = "<?xml version=\"1.0\"?>\n<list>\n";
  static const char* const kShort[] = {"a", "b", "c", "d", "e", "f", "g", "h", "id", "n", "v", "x"};
  constexpr std::uint32_t kShortCount = sizeof kShort / sizeof *kShort;
  while (out.size() < kMinSize) {
    out += "<r>";
    const std::uint32_t count = rnd.Between(3, 8);
    for (std::uint32_t i = 0; i < count; ++i) {
      const char* tag = kShort[rnd.Next(kShortCount)];
      switch (rnd.Next(4)) {
        case 0: out += std::string("<") + tag + "/>"; break;
        case 1: out += std::string("<") + tag + " k=\"" + std::to_string(rnd.Next(100)) + "\"/>"; break;
        default: out += std::string("<") + tag + ">" + std::to_string(rnd.Next(10000)) + "</" + tag + ">";
      }
    }
    out += "</r>\n";
  }
  out += "</list>\n";
  return out;
}

// ---------------------------------------------------------------- the parsers

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

// Text events are not compared: libxml2 splits text at references and at its
// buffer bounds, we do neither. The XML declaration is a processing
// instruction to us, not to libxml2.
bool CountsMatch(const Counts& ours, const Counts& theirs) {
  return ours.start == theirs.start && ours.end == theirs.end && ours.comment == theirs.comment &&
         ours.pi == theirs.pi + 1;
}

void PrintCounts(const char* who, const Counts& n) {
  std::fprintf(stderr, "  %-8s %llu start, %llu end, %llu text, %llu comment, %llu pi\n", who,
               static_cast<unsigned long long>(n.start), static_cast<unsigned long long>(n.end),
               static_cast<unsigned long long>(n.text), static_cast<unsigned long long>(n.comment),
               static_cast<unsigned long long>(n.pi));
}

struct Shape {
  const char* Name;
  std::string (*Make)();
};

// Measures one shape and prints its line; false when the event counts differ.
bool RunShape(const Shape& shape) {
  const std::string doc = shape.Make();
  Counts ours, theirs;
  const auto [tOurs, tTheirs] = BestSeconds([&] { ours = RunOurs(doc); }, [&] { theirs = RunLibxml2(doc); });
  const bool match = CountsMatch(ours, theirs);
  const double mb = doc.size() / 1e6;
  std::printf("%-16s %6.1f %9.3f %9.3f %7.2fx %9.1f %9.1f %9llu  %s\n", shape.Name, mb, tOurs, tTheirs,
              tTheirs / tOurs, mb / tOurs, mb / tTheirs, static_cast<unsigned long long>(ours.start),
              match ? "yes" : "NO");
  std::fflush(stdout);
  if (!match) {
    std::fprintf(stderr, "%s: event counts differ\n", shape.Name);
    PrintCounts("ours", ours);
    PrintCounts("libxml2", theirs);
  }
  return match;
}

}  // namespace

int main() {
  xmlInitParser();
  const Shape shapes[] = {{"mixed", MakeMixed},
                          {"attribute-heavy", MakeAttributeHeavy},
                          {"deeply-nested", MakeNested},
                          {"text-heavy", MakeTextHeavy},
                          {"small-elements", MakeSmallElements}};
  std::printf("XML event parser (ours) vs libxml2 SAX2, best of 3 each; ratio = libxml2 time / ours\n");
  std::printf("%-16s %6s %9s %9s %8s %9s %9s %9s  %s\n", "shape", "MB", "ours s", "libxml2 s", "ratio",
              "ours MB/s", "lx2 MB/s", "elements", "events match");
  bool ok = true;
  for (const Shape& shape : shapes) ok = RunShape(shape) && ok;
  xmlCleanupParser();
  return ok ? 0 : 1;
}
