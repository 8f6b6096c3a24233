#include "model/TFileTypes.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "model/AttributeList.h"
#include "resource/ProgramFile.h"
#include "model/DataFileProblems.h"

namespace fs = std::filesystem;

// ---------------------------------------------------------------- the list

TFileType& TFileTypes::AddFileType(std::unique_ptr<TFileType> fileType)
{
  return InsertFileType(Count(), std::move(fileType));
}

TFileType& TFileTypes::InsertFileType(int position, std::unique_ptr<TFileType> fileType)
{
  if (position < 0 || position > Count()) throw EListError::IndexOutOfBounds(position);
  std::string key = fileType->Id;
  auto it = Entries_.insert(Entries_.begin() + position, TEntry{std::move(key), std::move(fileType)});
  return *it->FileType;
}

void TFileTypes::Delete(int position)
{
  CheckPosition(position);
  Entries_.erase(Entries_.begin() + position);
}

void TFileTypes::Move(int from, int to)
{
  if (from == to) return;
  CheckPosition(from);
  CheckPosition(to);
  TEntry entry = std::move(Entries_[from]);
  Entries_.erase(Entries_.begin() + from);
  Entries_.insert(Entries_.begin() + to, std::move(entry));
}

void TFileTypes::Clear()
{
  Entries_.clear();
}

void TFileTypes::CheckPosition(int position) const
{
  if (position < 0 || position >= Count()) throw EListError::IndexOutOfBounds(position);
}

TFileType& TFileTypes::GetFileType(int position) const
{
  CheckPosition(position);
  return *Entries_[position].FileType;
}

const std::string& TFileTypes::GetKey(int position) const
{
  CheckPosition(position);
  return Entries_[position].Key;
}

void TFileTypes::SetKey(int position, const std::string& key)
{
  CheckPosition(position);
  Entries_[position].Key = key;
}

int TFileTypes::IndexOf(const TFileType* fileType) const
{
  for (int i = 0; i < Count(); ++i)
    if (Entries_[i].FileType.get() == fileType) return i;
  return -1;
}

TFileType* TFileTypes::FindById(const std::string& id) const
{
  if (Entries_.empty()) return nullptr;
  for (const TEntry& entry : Entries_)
    if (SameTextAscii(entry.Key, id)) return entry.FileType.get();
  return Entries_.back().FileType.get();
}

TFileType* TFileTypes::FindByExtension(const std::string& ext) const
{
  if (Entries_.empty()) return nullptr;
  for (const TEntry& entry : Entries_)
    if (entry.FileType->GetDefaultExt() == ext) return entry.FileType.get();
  return Entries_.front().FileType.get();
}

std::string TFileTypes::GetFilter() const
{
  std::string filter;
  for (const TEntry& entry : Entries_) {
    const TFileType& type = *entry.FileType;
    filter += type.Title + " (" + type.Filter + ")|" + type.Filter + "|";
  }
  return filter;
}

void TFileTypes::SortByIndex()
{
  const int n = Count();
  for (int p = 0; p < n; ++p) {
    if (Entries_[p].FileType->Index == p) continue;
    for (int j = p + 1; j < n; ++j)
      if (Entries_[j].FileType->Index == p) Move(j, p);
  }
}

void TFileTypes::Renumber()
{
  for (int i = 0; i < Count(); ++i) {
    TFileType& type = *Entries_[i].FileType;
    if (type.Index == i) continue;
    // The index changes only with its file: one that cannot be written
    // keeps the index it has on disk.
    const std::int32_t old = type.Index;
    type.Index = i;
    try {
      type.SaveToFile();
    } catch (...) {
      type.Index = old;
      throw;
    }
  }
}

// ---------------------------------------------------------------- the program-wide list

namespace {

std::unique_ptr<TFileTypes>& GlobalFileTypes()
{
  static std::unique_ptr<TFileTypes> list;
  return list;
}

}  // namespace

TFileTypes& FileTypes()
{
  auto& list = GlobalFileTypes();
  if (!list) list = std::make_unique<TFileTypes>();
  return *list;
}

void CreateFileTypes()
{
  GlobalFileTypes() = std::make_unique<TFileTypes>();
}

void FreeFileTypes()
{
  GlobalFileTypes().reset();
}

// ---------------------------------------------------------------- discovery

namespace {

bool NameLess(const std::string& a, const std::string& b)
{
  int c = CompareTextAscii(a, b);
  return c != 0 ? c < 0 : a < b;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& suffix)
{
  return text.size() >= suffix.size() && SameTextAscii(text.substr(text.size() - suffix.size()), suffix);
}

// Names of the entries of folder that pass the test, in name order ignoring
// ASCII case. A folder that cannot be listed gives no names (reported when it
// exists).
template <typename Test>
std::vector<std::string> ListFolder(const std::string& folder, Test test)
{
  std::vector<std::string> names;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return names;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec))
    if (test(*it)) names.push_back(it->path().filename().string());
  if (ec) ReportDataProblem("Cannot list folder \"" + folder + "\". " + ec.message());
  std::sort(names.begin(), names.end(), NameLess);
  return names;
}

}  // namespace

void LoadFileTypes(TFileTypes& list, const std::string& baseFolder)
{
  std::string base = baseFolder;
  if (!base.empty() && base.back() != '/') base += '/';
  auto isFolder = [](const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_directory(ec);
  };
  for (const std::string& name : ListFolder(base, isFolder)) LoadFileTypeFolder(list, base + name + "/");
  list.SortByIndex();
}

void LoadFileTypes()
{
  LoadFileTypes(FileTypes(), ProgramFolder() + "help/");
}

void LoadFileTypeFolder(TFileTypes& list, const std::string& folder)
{
  // Every entry matching "*.config", whatever its kind: one that is no
  // readable file is reported and skipped by LoadFileType.
  auto isConfig = [](const fs::directory_entry& entry) {
    return EndsWithIgnoringCase(entry.path().filename().string(), ".config");
  };
  for (const std::string& name : ListFolder(folder, isConfig)) LoadFileType(list, folder + name);
}

bool LoadFileType(TFileTypes& list, const std::string& path)
{
  auto type = std::make_unique<TFileType>(path);
  try {
    if (!type->LoadDefinition()) {
      ReportDataProblem("Document type \"" + path + "\" skipped: no filetype element.");
      return false;
    }
  } catch (const std::exception& e) {
    ReportDataProblem("Document type \"" + path + "\" skipped. " + e.what());
    return false;
  }
  try {
    type->LoadSchema();
  } catch (const std::exception& e) {
    ReportDataProblem("Autocompletion schema of \"" + path + "\" not loaded. " + e.what());
  }
  for (const auto& [parent, child] : type->Schema->MissingChildren())
    ReportDataProblem("Autocompletion schema \"" + type->GetSchemaFile() + "\": child \"" + child +
                        "\" of element \"" + parent + "\" not found.");
  list.AddFileType(std::move(type));
  return true;
}
