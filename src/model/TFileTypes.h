#pragma once
// The ordered list of all document types, filled at start-up from the
// program's "help/" folder and arranged by the types' Index values. Its order
// is the order of every list of types the user sees; positions are what the
// new-file, change-file-type and transform dialogs return.
//
// The program-wide list:
//   module start:  CreateFileTypes(); LoadFileTypes();
//   module stop:   FreeFileTypes();
//   anywhere:      FileTypes()  (creates an empty list when none exists)
//
// The list may be empty (no "help/" folder, no definition files): FindById and
// FindByExtension then return nullptr and callers must cope.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/EListError.h"
#include "model/TFileType.h"

class TFileTypes {
public:
  struct TEntry {
    std::string Key; // the type's Id when added; renamed by the configuration page
    std::unique_ptr<TFileType> FileType;
  };

  TFileTypes() = default;
  TFileTypes(const TFileTypes&) = delete;
  TFileTypes& operator=(const TFileTypes&) = delete;

  int Count() const { return static_cast<int>(Entries_.size()); }
  bool Empty() const { return Entries_.empty(); }

  // Appends an entry with key FileType.Id; the list takes ownership.
  TFileType& AddFileType(std::unique_ptr<TFileType> fileType);
  // Inserts at position (0..Count()) with key FileType.Id.
  TFileType& InsertFileType(int position, std::unique_ptr<TFileType> fileType);
  // Removes the entry and frees its type.
  void Delete(int position);
  // Takes the entry at from out and inserts it at to.
  void Move(int from, int to);
  void Clear();

  // Raise EListError ("List index out of bounds (n)") outside 0..Count()-1.
  TFileType& GetFileType(int position) const;
  const std::string& GetKey(int position) const;
  void SetKey(int position, const std::string& key);
  // Position of the type, or -1.
  int IndexOf(const TFileType* fileType) const;

  // The type of the first key equal to id ignoring case; else the last type;
  // nullptr for an empty list.
  TFileType* FindById(const std::string& id) const;
  // The first type whose GetDefaultExt() equals ext exactly (".xml"); else the
  // first type; nullptr for an empty list.
  TFileType* FindByExtension(const std::string& ext) const;
  // "Title (Filter)|Filter|" for each type in order; "" for an empty list.
  std::string GetFilter() const;

  // Moves each type whose Index is a position p (reached in turn) from after p
  // to p; Index values 0..n-1 give ascending order, others keep their order.
  void SortByIndex();
  // Sets each type's Index to its position, rewriting the definition file of
  // every type whose Index changed. Raises EFCreateError on a failed write;
  // the type whose file could not be written keeps its old Index.
  void Renumber();

private:
  void CheckPosition(int position) const;
  std::vector<TEntry> Entries_;
};

// The program-wide document-type list.
TFileTypes& FileTypes();
// Creates the program-wide list anew (empty), freeing any previous one.
void CreateFileTypes();
// Frees the program-wide list and its types.
void FreeFileTypes();

// Discovery: every "*.config" of every direct sub-folder of baseFolder, folders
// and files taken in name order ignoring ASCII case, then SortByIndex. A
// definition file that cannot be read or has no "filetype" element is skipped
// and a schema that cannot be read is left empty; both are reported through
// AppLog() at level 3 and discovery goes on. A missing folder gives no types.
void LoadFileTypes(TFileTypes& list, const std::string& baseFolder);
// The same for the program-wide list and ProgramFolder() + "help/".
void LoadFileTypes();
// Every "*.config" of folder (ending in "/"; the extension compared ignoring
// case), in name order ignoring case.
void LoadFileTypeFolder(TFileTypes& list, const std::string& folder);
// One definition file (with its schema); returns whether a type was added.
bool LoadFileType(TFileTypes& list, const std::string& path);
