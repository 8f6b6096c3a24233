#include "editor/TagScanning.h"

#include <algorithm>

namespace {

// Blank, tab and the control characters end a tag name.
bool EndsTagName(char c)
{
  return static_cast<unsigned char>(c) < 33;
}

// Where a walk on a line starts: at the caret on the caret's line (never
// past the line's end), at the line's end above it.
long StartPosition(std::string_view line, long y, long caretX, long caretY)
{
  long length = static_cast<long>(line.size());
  return y == caretY ? std::min(caretX - 1, length) : length;
}

// The text after the "<" at position p (1-based) up to position start,
// ending before the first character that stop accepts.
template <typename Stop>
std::string_view TextAfter(std::string_view line, long p, long start, Stop stop)
{
  std::string_view text = line.substr(static_cast<std::size_t>(p), static_cast<std::size_t>(std::max(0L, start - p)));
  return text.substr(0, static_cast<std::size_t>(std::find_if(text.begin(), text.end(), stop) - text.begin()));
}

}  // namespace

TTagKind ClassifyTag(std::string_view tag)
{
  if (tag == "?xml") return TTagKind::XmlDecl;
  if (tag == "!DOCTYPE") return TTagKind::DocType;
  if (tag.substr(0, 3) == "!--") return TTagKind::Comment;
  if (tag.empty()) return TTagKind::Other;
  switch (tag.front()) {
    case '?':
      return TTagKind::PI;
    case '/':
      return TTagKind::EndTag;
    case '!':
      return TTagKind::Other;
    default:
      return TTagKind::StartTag;
  }
}

std::string PadLine(std::string_view line, long length)
{
  std::string result(line);
  if (static_cast<long>(result.size()) < length) result.resize(static_cast<std::size_t>(length), ' ');
  return result;
}

std::string InsertInLine(std::string_view text, std::string_view line, long column)
{
  long at = std::max(0L, column - 1);
  std::string result = PadLine(line, at);
  result.insert(static_cast<std::size_t>(at), text);
  return result;
}

char CharBeforeCaret(std::string_view caretLine, long caretX)
{
  if (caretX <= 1) return 0;
  auto index = static_cast<std::size_t>(caretX - 2);
  return index < caretLine.size() ? caretLine[index] : ' ';
}

long FindTagMark(std::string_view line, long start, long stop, long& quotes)
{
  for (long p = start; p >= stop; --p) {
    char c = line[static_cast<std::size_t>(p - 1)];
    if (c == '"')
      ++quotes;
    else if (c == '<' || c == '>')
      return p;
  }
  return 0;
}

void DecideTagContext(std::string_view line, long p, long start, long quotes, TTagContext& context)
{
  context.InTag = line[static_cast<std::size_t>(p - 1)] == '<' && quotes % 2 == 0;
  context.TagName = context.InTag ? std::string(TextAfter(line, p, start, EndsTagName)) : std::string();
}

bool ScanBackForTag(std::string_view line, long start, long& quotes, TTagContext& context)
{
  long p = FindTagMark(line, start, 1, quotes);
  if (p == 0) return false;
  DecideTagContext(line, p, start, quotes, context);
  return true;
}

TTagContext GetTagContext(const TLineAt& lines, long caretX, long caretY)
{
  TTagContext context;
  long quotes = 0;
  for (long y = caretY; y >= 1; --y) {
    std::string_view line = lines(y - 1);
    if (ScanBackForTag(line, StartPosition(line, y, caretX, caretY), quotes, context)) return context;
  }
  return TTagContext{};
}

void StackPush(TTagStack& stack, const std::string& name)
{
  stack.push_back(name);
}

std::string StackTop(const TTagStack& stack)
{
  return stack.empty() ? std::string() : stack.back();
}

void StackPop(TTagStack& stack)
{
  if (!stack.empty()) stack.pop_back();
}

long WalkBackToStartTag(std::string_view line, long from, long start, long stop, TTagStack& stack,
                        bool& emptyPending, std::string& tag)
{
  for (long p = from; p >= stop; --p) {
    char c = line[static_cast<std::size_t>(p - 1)];
    if (c == '>') {
      if (p > 1 && line[static_cast<std::size_t>(p - 2)] == '/') emptyPending = true;
      continue;
    }
    if (c != '<') continue;
    if (emptyPending) {
      emptyPending = false;
      continue;
    }
    std::string_view text = TextAfter(line, p, start, [](char ch) { return EndsTagName(ch) || ch == '>'; });
    switch (ClassifyTag(text)) {
      case TTagKind::StartTag:
        // The top compared in place: a long walk meets millions of tags.
        if (!stack.empty() && text == stack.back()) {
          StackPop(stack);
          break;
        }
        tag = text;
        return p;
      case TTagKind::EndTag:
        stack.emplace_back(text.substr(1));
        break;
      default:
        break;
    }
  }
  return 0;
}

bool ScanBackForOpenElement(std::string_view line, long start, TTagStack& stack, bool& emptyPending,
                            std::string& result)
{
  return WalkBackToStartTag(line, start, start, 1, stack, emptyPending, result) != 0;
}

std::string GetEnclosingElement(const TLineAt& lines, long caretX, long caretY)
{
  TTagStack stack;
  bool emptyPending = false;
  std::string result;
  for (long y = caretY; y >= 1; --y) {
    std::string_view line = lines(y - 1);
    if (ScanBackForOpenElement(line, StartPosition(line, y, caretX, caretY), stack, emptyPending, result))
      return result;
  }
  return std::string();
}
