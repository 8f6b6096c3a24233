#include "workspace/ToolsCommandText.h"

#include <cctype>

int GetErrorLine(const std::string& message)
{
  const std::string tag = "Line: ";
  std::size_t at = message.find(tag);
  if (at == std::string::npos) return 1;
  std::string rest = message.substr(at + tag.size());
  std::size_t cr = rest.find('\r');
  if (cr == std::string::npos) return 1;
  std::string digits = rest.substr(0, cr);
  if (!digits.empty() && digits[0] == '+') digits.erase(0, 1);
  if (digits.empty() || digits.size() > 9) return 1;
  int line = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 1;
    line = line * 10 + (c - '0');
  }
  return line >= 1 ? line : 1;
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext)
{
  std::size_t separator = fileName.find_last_of("/\\:");
  std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return fileName + ext;
  return fileName.substr(0, dot) + ext;
}

std::string ExpandPreviewCommand(const std::string& command, const std::string& target)
{
  std::string result;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command.compare(i, 2, "%1") == 0) {
      result += target;
      ++i;
    } else {
      result += command[i];
    }
  }
  return result;
}

std::vector<std::string> PreviewArguments(const std::string& command, const std::string& target)
{
  std::vector<std::string> words = SplitCommandLine(command);
  for (std::string& word : words) word = ExpandPreviewCommand(word, target);
  return words;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}
