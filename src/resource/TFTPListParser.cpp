#include "resource/TFTPListParser.h"

#include <cctype>


namespace {

// The lines of a listing, without their CR LF or LF ends.
std::vector<std::string> SplitLines(const std::string& text)
{
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool IsBlank(const std::string& line)
{
  for (unsigned char c : line)
    if (!std::isspace(c)) return false;
  return true;
}

std::string Lower(std::string text)
{
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool AllDigits(const std::string& text)
{
  if (text.empty()) return false;
  for (unsigned char c : text)
    if (!std::isdigit(c)) return false;
  return true;
}

// A whitespace-separated word of a line and where it ends.
struct TToken {
  std::string Text;
  std::size_t End;
};

// The first maxCount words of a line.
std::vector<TToken> Tokens(const std::string& line, std::size_t maxCount)
{
  std::vector<TToken> tokens;
  std::size_t pos = 0;
  while (tokens.size() < maxCount) {
    while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos]))) ++pos;
    if (pos >= line.size()) break;
    std::size_t start = pos;
    while (pos < line.size() && !std::isspace(static_cast<unsigned char>(line[pos]))) ++pos;
    tokens.push_back({line.substr(start, pos - start), pos});
  }
  return tokens;
}

// A name that holds a "/" (or a NUL byte) names no entry of the folder: joined
// to a local or remote path it would reach elsewhere ("../../x").
bool IsEntryName(const std::string& name)
{
  return !name.empty() && name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

std::string SkipSpaces(const std::string& line, std::size_t pos)
{
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  return line.substr(pos);
}

// --- MLSD ---------------------------------------------------------------

// The entry of one MLSD line; false for the folder itself, its parent and a
// line without the blank before the name.
bool ParseMlsdLine(const std::string& line, TFTPListEntry& entry, bool& readable)
{
  std::size_t space = line.find(' ');
  readable = space != std::string::npos;
  if (!readable) return false;
  entry.Name = line.substr(space + 1);
  entry.Kind = TFTPEntryKind::File;
  entry.Identity.clear();
  std::string facts = Lower(line.substr(0, space));
  std::size_t start = 0;
  while (start < facts.size()) {
    std::size_t end = facts.find(';', start);
    if (end == std::string::npos) end = facts.size();
    std::string fact = facts.substr(start, end - start);
    start = end + 1;
    if (fact.compare(0, 7, "unique=") == 0) entry.Identity = fact.substr(7);
    if (fact.compare(0, 5, "type=") != 0) continue;
    std::string type = fact.substr(5);
    if (type == "cdir" || type == "pdir") return false;
    if (type == "dir") entry.Kind = TFTPEntryKind::Folder;
    else if (type.compare(0, 15, "os.unix=symlink") == 0 || type.compare(0, 13, "os.unix=slink") == 0)
      entry.Kind = TFTPEntryKind::Symlink;
  }
  return !entry.Name.empty();
}

// --- Unix "ls -l" ---------------------------------------------------------

bool IsPermissions(const std::string& word)
{
  static const std::string kTypes = "-dlbcpsDn";
  static const std::string kModes = "-rwxsStTlL";
  if (word.size() < 10 || kTypes.find(word[0]) == std::string::npos) return false;
  for (std::size_t i = 1; i < 10; ++i)
    if (kModes.find(word[i]) == std::string::npos) return false;
  return true;
}

bool IsMonth(const std::string& word)
{
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  std::string lower = Lower(word);
  for (const char* month : kMonths)
    if (lower == month) return true;
  return false;
}

bool IsTimeOrYear(const std::string& word)
{
  std::size_t colon = word.find(':');
  if (colon == std::string::npos) return word.size() == 4 && AllDigits(word);
  return AllDigits(word.substr(0, colon)) && AllDigits(word.substr(colon + 1));
}

// "drwxr-xr-x 2 owner group 4096 Jan 1 12:00 name": the name follows the
// date (month, day, time or year), whether or not the group column is there.
bool ParseUnixLine(const std::string& line, TFTPListEntry& entry)
{
  std::vector<TToken> tokens = Tokens(line, 9);
  if (tokens.size() < 5 || !IsPermissions(tokens[0].Text)) return false;
  for (std::size_t i = 2; i + 2 < tokens.size(); ++i) {
    if (!IsMonth(tokens[i].Text) || !AllDigits(tokens[i + 1].Text) || !IsTimeOrYear(tokens[i + 2].Text)) continue;
    std::size_t pos = tokens[i + 2].End;
    if (pos >= line.size()) return false;
    entry.Name = line.substr(pos + 1);  // one blank separates the date from the name
    char type = tokens[0].Text[0];
    entry.Kind = type == 'd' ? TFTPEntryKind::Folder : type == 'l' ? TFTPEntryKind::Symlink : TFTPEntryKind::File;
    if (entry.Kind == TFTPEntryKind::Symlink) {
      std::size_t arrow = entry.Name.find(" -> ");
      if (arrow != std::string::npos) entry.Name.erase(arrow);
    }
    return !entry.Name.empty();
  }
  return false;
}

// --- Windows / IIS ----------------------------------------------------------

bool IsWindowsDate(const std::string& word)
{
  if (word.size() != 8 && word.size() != 10) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    bool dash = i == 2 || i == 5;
    if (dash ? word[i] != '-' : !std::isdigit(static_cast<unsigned char>(word[i]))) return false;
  }
  return true;
}

// "03:04PM" or "15:04".
bool IsWindowsTime(const std::string& word)
{
  std::string time = Lower(word);
  if (time.size() > 2 && (time.compare(time.size() - 2, 2, "am") == 0 || time.compare(time.size() - 2, 2, "pm") == 0))
    time.erase(time.size() - 2);
  std::size_t colon = time.find(':');
  return colon != std::string::npos && colon > 0 && AllDigits(time.substr(0, colon)) && AllDigits(time.substr(colon + 1));
}

bool IsSize(const std::string& word)
{
  if (word.empty()) return false;
  for (unsigned char c : word)
    if (!std::isdigit(c) && c != ',' && c != '.') return false;
  return true;
}

// "01-15-21  03:04PM       <DIR>          name" or "... 1234 name".
bool ParseWindowsLine(const std::string& line, TFTPListEntry& entry)
{
  std::vector<TToken> tokens = Tokens(line, 3);
  if (tokens.size() < 3 || !IsWindowsDate(tokens[0].Text) || !IsWindowsTime(tokens[1].Text)) return false;
  bool folder = Lower(tokens[2].Text) == "<dir>";
  if (!folder && !IsSize(tokens[2].Text)) return false;
  entry.Name = SkipSpaces(line, tokens[2].End);
  entry.Kind = folder ? TFTPEntryKind::Folder : TFTPEntryKind::File;
  return !entry.Name.empty();
}

bool IsTotalLine(const std::string& line)
{
  std::vector<TToken> tokens = Tokens(line, 3);
  return tokens.size() == 2 && Lower(tokens[0].Text) == "total" && AllDigits(tokens[1].Text);
}

}  // namespace

std::vector<TFTPListEntry> ParseMlsdListing(const std::string& text, std::vector<std::string>* unreadable)
{
  std::vector<TFTPListEntry> entries;
  for (const std::string& line : SplitLines(text)) {
    if (IsBlank(line)) continue;
    TFTPListEntry entry;
    bool readable = true;
    if (ParseMlsdLine(line, entry, readable) && IsEntryName(entry.Name)) entries.push_back(entry);
    if (!readable && unreadable) unreadable->push_back(line);
  }
  return entries;
}

std::vector<TFTPListEntry> ParseListListing(const std::string& text, std::vector<std::string>* unreadable)
{
  std::vector<TFTPListEntry> entries;
  for (const std::string& line : SplitLines(text)) {
    if (IsBlank(line) || IsTotalLine(line)) continue;
    TFTPListEntry entry;
    if (!ParseUnixLine(line, entry) && !ParseWindowsLine(line, entry)) {
      if (unreadable) unreadable->push_back(line);
      continue;
    }
    if (IsEntryName(entry.Name)) entries.push_back(entry);
  }
  return entries;
}
