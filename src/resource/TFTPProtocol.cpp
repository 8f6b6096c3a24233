#include "resource/TFTPProtocol.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <exception>
#include <mutex>

#include "resource/ControlCharacters.h"
#include "resource/TScopedSetting.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
#include "resource/TWorkProgress.h"
#include "resource/zevlog.h"

namespace {

constexpr std::uint8_t kOperationLevel = 4;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 counted from 1899-12-30
// Rounding of the day fractions must not make exactly 3 minutes look longer.
constexpr double kIdleTolerance = 0.001 / kSecondsPerDay;

std::string RemoteName(const TURL& url)
{
  return url.Path + url.FileName;
}

// A remote name as the log shows it: the server chose it.
std::string LoggedName(const TURL& url)
{
  return EscapeControlCharacters(RemoteName(url));
}

}  // namespace

TFTPProtocol::TFTPProtocol()
    : TAbstractProtocol("ftp"), Now(&TFTPProtocol::LocalNow)
{
  // The URL system is reached only when traffic is logged: this driver may be
  // created while the URL system itself is being set up.
  for (TFTPPoolEntry& entry : Pool) {
    entry.FTP = std::make_unique<TFTPClient>();
    entry.FTP->OnSent = [](const std::string& data) { URLSystem().LogSent(data); };
    entry.FTP->OnReceived = [](const std::string& data) { URLSystem().LogReceived(data); };
  }
}

TFTPProtocol::~TFTPProtocol() = default;

double TFTPProtocol::LocalNow()
{
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  double unixSeconds = duration<double>(now.time_since_epoch()).count() + static_cast<double>(local.tm_gmtoff);
  return kUnixEpochDays + unixSeconds / kSecondsPerDay;
}

TFTPClient& TFTPProtocol::GetConnection(const TURL& url, bool touch)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  for (TFTPPoolEntry& entry : Pool) {
    if (entry.FTP->Host != url.Host) continue;
    if (touch) entry.LastUse = Now();
    return *entry.FTP;
  }
  for (TFTPPoolEntry& entry : Pool) {
    if (entry.FTP->Connected()) continue;
    entry.FTP->Host = url.Host;
    entry.LastUse = Now();
    return *entry.FTP;
  }
  TFTPPoolEntry* oldest = &Pool[0];
  for (TFTPPoolEntry& entry : Pool)
    if (entry.LastUse < oldest->LastUse) oldest = &entry;
  oldest->FTP->Disconnect();
  oldest->FTP->Host = url.Host;
  oldest->LastUse = Now();
  return *oldest->FTP;
}

// Only asks: the state poll of the FTP dialog calls this every 300 ms, and
// choosing a client here would re-aim a free one or drop the connection
// used least recently. Asked while another thread works with the pool, it
// answers false at once rather than wait for that work.
bool TFTPProtocol::IsConnected(TURL& url)
{
  std::unique_lock<std::recursive_mutex> lock(PoolLock, std::try_to_lock);
  if (!lock) return false;
  for (TFTPPoolEntry& entry : Pool)
    if (entry.FTP->Host == url.Host) return entry.FTP->Connected();
  return false;
}

void TFTPProtocol::Connect(TURL& url)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  AppLog().Log(kOperationLevel, "ftp: connect: " + HidePassword(url.Host));
  TFTPClient& client = GetConnection(url, true);
  client.Host = url.Host;
  client.User = url.User;
  client.Password = url.Password;
  client.Passive = url.Passive;
  client.ConnectTimeout = ConnectTimeout;
  client.StallTimeout = StallTimeout;
  client.ListStallTimeout = ListStallTimeout;
  client.Connect();
}

// A host that no client is aimed at has nothing to close: choosing a client
// for it would drop another host's connection.
void TFTPProtocol::Disconnect(TURL& url)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  AppLog().Log(kOperationLevel, "ftp: disconnect: " + HidePassword(url.Host));
  for (TFTPPoolEntry& entry : Pool) {
    if (entry.FTP->Host != url.Host) continue;
    entry.LastUse = Now();
    entry.FTP->Disconnect();
    return;
  }
}

// A connection of the URL's host that another URL opened under another user
// name would act for that account (the host match ignores the user): the
// URL's own user logs in again.
bool TFTPProtocol::LoggedInAsAnother(TURL& url)
{
  if (!IsConnected(url)) return false;
  return GetConnection(url, false).User != url.User;
}

// No connecting here: a client that is not connected raises its error.
void TFTPProtocol::DeleteFile(TURL& url)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  GetConnection(url, true);
  if (LoggedInAsAnother(url)) Connect(url);
  GetConnection(url, false).Delete(RemoteName(url));
}

// The client for the URL, connected (as the URL's user) through Connect when
// it is not.
TFTPClient& TFTPProtocol::ConnectedClient(TURL& url)
{
  GetConnection(url, true);
  if (!IsConnected(url) || LoggedInAsAnother(url)) Connect(url);
  return GetConnection(url, false);
}

void TFTPProtocol::ListFolder(TURL& url)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  LastListFailed = false;
  LastListError.clear();
  url.ListError.clear();
  GetConnection(url, true);
  url.Items.clear();
  if (!IsConnected(url) || LoggedInAsAnother(url)) Connect(url);
  try {
    for (const TFTPListEntry& entry : GetConnection(url, false).List(url.Path)) {
      if (entry.Name == "." || entry.Name == "..") continue;
      if (entry.Kind != TFTPEntryKind::File)
        url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFolder, entry.Name,
                                                          entry.Kind == TFTPEntryKind::Symlink, entry.Identity));
      else if (url.MatchesFilter(entry.Name))
        url.Items.push_back(std::make_unique<TFolderItem>(TFolderItem::kFile, entry.Name));
    }
  } catch (const ECancelled&) {
    throw;  // no failure: the user stopped it
  } catch (const std::exception& e) {
    LastListFailed = true;
    LastListError = e.what();
  } catch (...) {
    LastListFailed = true;
    LastListError = "unknown error";
  }
  url.ListError = LastListError;
}

void TFTPProtocol::GetFile(TURL& url, std::string& text)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  AppLog().Log(kOperationLevel, "ftp: get file: " + LoggedName(url));
  text = ConnectedClient(url).Retrieve(RemoteName(url));
}

void TFTPProtocol::GetResource(TURL& url, std::string& text)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  AppLog().Log(kOperationLevel, "ftp: get file: " + LoggedName(url));
  TFTPClient& client = ConnectedClient(url);
  TScopedSetting<std::size_t> size(client.MaxFileSize, std::min(client.MaxFileSize, MaxResourceSize));
  TScopedSetting<long> time(client.TransferTimeout, std::min(client.TransferTimeout, ResourceTimeout));
  text = client.Retrieve(RemoteName(url));
}

void TFTPProtocol::PutFile(TURL& url, const std::string& text)
{
  std::lock_guard<std::recursive_mutex> lock(PoolLock);
  AppLog().Log(kOperationLevel, "ftp: put file: " + LoggedName(url));
  ConnectedClient(url).Store(RemoteName(url), text);
}

// A connection unused for more than 3 minutes is closed; LastUse stays. A
// pool that another thread works with is not idle: the tick passes.
void TFTPProtocol::CheckIdle()
{
  std::unique_lock<std::recursive_mutex> lock(PoolLock, std::try_to_lock);
  if (!lock) return;
  double now = Now();
  for (TFTPPoolEntry& entry : Pool)
    if (entry.FTP->Connected() && now - entry.LastUse > kIdleLimit + kIdleTolerance) entry.FTP->Disconnect();
}
