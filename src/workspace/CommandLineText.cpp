#include "workspace/CommandLineText.h"

#include <QStringList>
#include <filesystem>

#include "model/AttributeList.h"

std::string DequoteText(const std::string& text, char quote)
{
  if (text.empty() || text[0] != quote) return text;
  std::string result;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == quote) {
      if (i + 1 < text.size() && text[i + 1] == quote) {
        result += quote;
        ++i;
        continue;
      }
      break;
    }
    result += text[i];
  }
  return result.empty() ? text : result;
}

std::string MacroArgument(const std::string& text)
{
  if (!text.empty() && (text[0] == '"' || text[0] == '\'')) {
    const char quote = text[0];
    for (std::size_t i = 1; i < text.size(); ++i) {
      if (text[i] != quote) continue;
      if (i + 1 < text.size() && text[i + 1] == quote) {
        ++i;
        continue;
      }
      return text.substr(0, i + 1);
    }
  }
  return text.substr(0, text.find(')'));
}

bool IsSwitchArgument(const std::string& argument)
{
  if (argument.empty() || argument[0] != '/') return false;
  std::error_code ignored;
  if (std::filesystem::is_regular_file(argument, ignored)) return false;
  std::string name = argument.substr(0, argument.find('='));
  return name.find('/', 1) == std::string::npos;
}

std::string SwitchTypeId(const std::string& argument, bool& found)
{
  std::size_t equals = argument.find('=');
  found = equals != std::string::npos;
  if (!found) return std::string();
  return UpperCaseAscii(argument.substr(equals + 1));
}

std::string CommandLinePath(const std::string& argument, const std::string& folder)
{
  std::string path = DequoteText(DequoteText(argument, '"'), '\'');
  for (char& c : path)
    if (c == '\\') c = '/';
  if (!path.empty() && path[0] != '/' && !folder.empty()) {
    std::string base = folder;
    if (base.back() != '/') base += '/';
    path = base + path;
  }
  return path;
}

QString QtFileFilter(const std::string& filter)
{
  QStringList parts = QString::fromLocal8Bit(filter.c_str()).split('|');
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString title = parts[i];
    QString patterns = parts[i + 1];
    if (patterns.isEmpty()) continue;
    QString spaced = QString(patterns).replace(';', ' ');
    // "Title (*.a;*.b)": Qt reads the patterns from the last parentheses.
    QString own = "(" + patterns + ")";
    if (title.endsWith(own))
      title = title.left(title.size() - own.size()) + "(" + spaced + ")";
    else
      title += " (" + spaced + ")";
    entries << title;
  }
  if (entries.isEmpty()) entries << "All files (*)";
  return entries.join(";;");
}

std::string NativeFolderPart(const std::string& nativeName)
{
  std::size_t last = nativeName.find_last_of("/:");
  return last == std::string::npos ? std::string() : nativeName.substr(0, last + 1);
}
