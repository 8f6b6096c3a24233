#include "model/TProject.h"

#include <map>
#include <memory>
#include <sys/stat.h>

#include "model/AttributeList.h"
#include "model/XMLEscape.h"
#include "resource/AtomicFile.h"
#include "resource/ProgramFile.h"
#include "resource/TRegularFile.h"
#include "xmlparse/TXMLParser.h"

namespace {

const char* const CRLF = "\r\n";

std::string Quoted(const std::string& value)
{
  return "\"" + XMLEscapeAttr(value) + "\"";
}

// One url element: name, URL text and, for ftp, the log-in data.
std::string URLElement(const std::string& name, const TURL& url)
{
  std::string text = "<url name=" + Quoted(name) + " url=" + Quoted(url.GetURL()) + " ";
  if (url.Protocol == TURLProtocol::ftp) {
    text += "user=" + Quoted(url.User) + " password=" + Quoted(url.Password) + " ";
    if (url.Passive) text += "ftppassive=\"true\" ";
  }
  return text + "/>";
}

std::string ListBlock(const char* name, const TMRUURL& list)
{
  std::string text = std::string("  <mru name=\"") + name + "\">" + CRLF;
  for (int i = 0; i < list.Count(); ++i)
    text += "  " + URLElement(name + std::to_string(i), list.GetItem(i)) + CRLF;
  return text + "</mru>" + CRLF + CRLF;
}

bool FileExists(const std::string& path)
{
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace

bool RestrictToOwner(const std::string& path)
{
  // The file that is read and written only: a link may name a folder or a
  // device, whose mode is not this file's to change. The mode is changed on
  // what was opened, so the name cannot be swapped in between.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if ((info.st_mode & 07777) == TProject::FileMode) return true;
  TRegularFile file(path);
  return file.IsOpen() && ::fchmod(file.Handle(), TProject::FileMode) == 0;
}

// Reads the start tags of one project text. List entries are gathered per
// list and put in when the text is done, last entry first, so that the first
// entry of a block ends at index 0, a duplicate keeps its earliest position and
// a block longer than the capacity keeps its first entries.
class TProject::TReader {
public:
  explicit TReader(TProject& project) : Project(project) {}

  void ParserStartTag(const std::string& name, const std::vector<std::string>& attributes)
  {
    if (name == "mru") SelectList(Value(attributes, "name"));
    else if (name == "url") ReadURL(attributes);
  }

  void Finish()
  {
    for (auto& [list, entries] : Pending) {
      for (auto it = entries.rbegin(); it != entries.rend(); ++it) list->Add(**it);
    }
    Pending.clear();
  }

private:
  TProject& Project;
  std::map<TMRUURL*, std::vector<std::unique_ptr<TURL>>> Pending;

  static std::string Value(const std::vector<std::string>& attributes, const char* name)
  {
    return XMLDecode(GetAttribute(attributes, name));
  }

  void SelectList(const std::string& listName)
  {
    if (listName == "mru") Project.CurrentList = &Project.MRU;
    else if (listName == "ftphistory") Project.CurrentList = &Project.FtpHistory;
    else if (listName == "httphistory") Project.CurrentList = &Project.HttpHistory;
  }

  static void ReadInto(TURL& url, const std::vector<std::string>& attributes)
  {
    url.SetURL(Value(attributes, "url"));
    if (url.Protocol != TURLProtocol::ftp) return;
    url.SetUser(Value(attributes, "user"));
    url.SetPassword(Value(attributes, "password"));
    url.SetPassive(Value(attributes, "ftppassive") == "true");
  }

  void ReadURL(const std::vector<std::string>& attributes)
  {
    std::string urlName = Value(attributes, "name");
    if (urlName == "project") ReadInto(Project.ProjectURL, attributes);
    else if (urlName == "open") ReadInto(Project.OpenURL, attributes);
    else if (urlName == "save") ReadInto(Project.SaveURL, attributes);
    else if (Project.CurrentList) {
      auto entry = std::make_unique<TURL>();
      ReadInto(*entry, attributes);
      // Server entries hold no path, as AddToHistory makes them: "ftp:server"
      // reads back with the path "/", which would no longer match the same
      // server used again and leave it twice in the history.
      if (Project.CurrentList == &Project.FtpHistory && entry->Protocol == TURLProtocol::ftp) {
        entry->SetPath("");
        entry->SetFileName("");
      }
      Pending[Project.CurrentList].push_back(std::move(entry));
    }
    // An entry before any list block has no list and is dropped.
  }
};

TProject::TProject()
    : ProjectURL("file:" + ProgramFolder())
{
  ProjectURL.SetFileName(FileName);
  OpenURL = ProjectURL;
  SaveURL = ProjectURL;
}

void TProject::Load()
{
  std::string name = ProgramFolder() + FileName;
  if (FileExists(name)) {
    RestrictToOwner(name);
    Parse(ReadWholeFile(name));
  }
  ProjectURL.SetNativeName(name);
}

void TProject::Save() const
{
  WriteFileAtomicallyWithMode(ProjectURL.GetNativeName(), GetXML(), FileMode);
}

// Both work on a copy: the URL passed in may be an entry of a recent list,
// which adding to that list removes.
void TProject::UseURL(const TURL& url, bool isSave)
{
  const TURL used(url);
  AddToHistory(used);
  if (used.Protocol != TURLProtocol::file) return;
  if (isSave) SaveURL.Assign(used);
  else OpenURL.Assign(used);
}

void TProject::AddToHistory(const TURL& entry)
{
  const TURL url(entry);
  MRU.Add(url);
  if (url.Protocol == TURLProtocol::ftp) {
    TURL server(url);
    server.SetPath("");
    server.SetFileName("");
    FtpHistory.Add(server);
  } else if (url.IsWeb()) {
    HttpHistory.Add(url);
  }
}

std::string TProject::GetXML() const
{
  std::string text = std::string("<project>") + CRLF;
  text += "  " + URLElement("project", ProjectURL) + CRLF;
  text += "  " + URLElement("open", OpenURL) + CRLF;
  text += "  " + URLElement("save", SaveURL) + CRLF;
  text += ListBlock("mru", MRU);
  text += ListBlock("ftphistory", FtpHistory);
  text += ListBlock("httphistory", HttpHistory);
  return text + "</project>" + CRLF;
}

void TProject::Parse(const std::string& text)
{
  TReader reader(*this);
  TXMLParser parser;
  parser.OnStartTag = [&reader](TXMLParser&, const std::string& name, const std::vector<std::string>& attributes,
                                bool) { reader.ParserStartTag(name, attributes); };
  parser.Parse(text);
  reader.Finish();
}
