#include "resource/TFTPClient.h"

// Listing a remote folder: MLSD where the server offers it (LIST asked too to
// tell links to folders), LIST otherwise, with the lines neither format
// reads logged and left out.

#include <algorithm>
#include <cstdint>
#include <set>

#include "resource/ControlCharacters.h"
#include "resource/EResourceError.h"
#include "resource/TFTPTransfer.h"
#include "resource/TScopedSetting.h"
#include "resource/TURL.h"
#include "resource/TWorkProgress.h"
#include "resource/zevlog.h"

namespace {

constexpr std::uint8_t kSkippedLineLevel = 3;

}  // namespace

std::vector<TFTPListEntry> TFTPClient::List(const std::string& path)
{
  RequireConnection("list", path);
  TScopedSetting<long> stall(StallTimeout, std::min(StallTimeout, ListStallTimeout));
  std::string folder = path;
  if (folder.empty() || folder.back() != '/') folder += '/';
  const std::string url = RemoteURL(folder);
  TWorkProgress::SetCurrentStep("Listing ftp://" + HidePassword(Host) + path);
  if (!MlsdRefused) {
    TFTPTransfer transfer;
    PrepareListing(transfer, url);
    curl_easy_setopt(static_cast<CURL*>(Handle), CURLOPT_CUSTOMREQUEST, "MLSD");
    int code = Run(transfer);
    long reply = transfer.ReplyCode();
    bool refused = code != CURLE_OK && Open && (reply == 500 || reply == 502 || reply == 504);
    if (!refused) {
      Check(transfer, code, "list", path);
      std::vector<TFTPListEntry> entries = ParseListing(transfer.Download.Bytes, true, path);
      MarkLinks(entries, url);
      return entries;
    }
    MlsdRefused = true;
  }
  TFTPTransfer transfer;
  PrepareListing(transfer, url);
  Check(transfer, Run(transfer), "list", path);
  return ParseListing(transfer.Download.Bytes, false, path);
}

// MLSD describes what a link leads to, so a link to a folder comes as a
// plain folder (a recursive run would follow it out of its tree). LIST shows
// links as links: a folder that it marks so is marked a link here. A LIST
// that fails, or whose lines cannot be read, changes nothing.
void TFTPClient::MarkLinks(std::vector<TFTPListEntry>& entries, const std::string& url)
{
  auto isFolder = [](const TFTPListEntry& entry) { return entry.Kind == TFTPEntryKind::Folder; };
  if (std::none_of(entries.begin(), entries.end(), isFolder)) return;
  TFTPTransfer transfer;
  PrepareListing(transfer, url);
  if (Run(transfer) != CURLE_OK) return;
  std::set<std::string> links;
  for (const TFTPListEntry& entry : ParseListListing(transfer.Download.Bytes))
    if (entry.Kind == TFTPEntryKind::Symlink) links.insert(entry.Name);
  for (TFTPListEntry& entry : entries)
    if (isFolder(entry) && links.count(entry.Name) > 0) entry.Kind = TFTPEntryKind::Symlink;
}

void TFTPClient::PrepareListing(TFTPTransfer& transfer, const std::string& url)
{
  transfer.Download.Limit = MaxListingSize;
  transfer.What = "listing";
  Prepare(transfer, url);
  curl_easy_setopt(static_cast<CURL*>(Handle), CURLOPT_TIMEOUT, std::min(TransferTimeout, ListTimeout));
}

// Lines that neither format reads are left out of the listing and logged.
std::vector<TFTPListEntry> TFTPClient::ParseListing(const std::string& text, bool mlsd, const std::string& path) const
{
  std::vector<std::string> unreadable;
  std::vector<TFTPListEntry> entries = mlsd ? ParseMlsdListing(text, &unreadable) : ParseListListing(text, &unreadable);
  for (const std::string& line : unreadable)
    AppLog().Log(kSkippedLineLevel, EscapeControlCharacters("FTP list \"" + path + "\" on " + Host +
                                                            ": line not understood, left out: " + line));
  return entries;
}
