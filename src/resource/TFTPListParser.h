#pragma once
// Parsers of FTP directory listings: machine-readable MLSD lines and the
// human-readable LIST formats of Unix ("ls -l") and Windows/IIS servers.

#include <string>
#include <vector>

enum class TFTPEntryKind { Folder, Symlink, File };

// One entry of a directory listing, in the server's order.
struct TFTPListEntry {
  TFTPEntryKind Kind;
  std::string Name;
  // MLSD's "unique" fact: the same for every name of one file or folder
  // (a link's is that of what it names); empty where the server gives none.
  std::string Identity = std::string();
};

// Both parsers leave out every entry whose name holds a "/" or a NUL byte:
// such a name would lead outside the folder once joined to a path. A line
// they cannot read is left out too and added to unreadable (when given): one
// odd line (a server's note, a date in another language) does not cost the
// rest of the listing.

// The entries of an MLSD reply ("type=dir;size=0; name" lines). The folder
// itself and its parent (types cdir and pdir) are left out.
std::vector<TFTPListEntry> ParseMlsdListing(const std::string& text, std::vector<std::string>* unreadable = nullptr);

// The entries of a LIST reply in the Unix or the Windows/IIS format. Blank
// lines and "total N" lines are skipped. A symbolic link is named without
// its " -> target".
std::vector<TFTPListEntry> ParseListListing(const std::string& text, std::vector<std::string>* unreadable = nullptr);
