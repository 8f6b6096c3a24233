#pragma once
// Driver for "ftp" URLs: a pool of four FTP connections, each aimed at one
// host at a time. An operation on a fifth host takes over the connection used
// least recently; connections unused for more than 3 minutes are dropped by
// the idle check. An operation may run on a worker thread while the user
// interface's timers go on: the idle check passes while the pool is in use.

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "resource/TAbstractProtocol.h"
#include "resource/TFTPClient.h"

struct TFTPPoolEntry {
  std::unique_ptr<TFTPClient> FTP;
  double LastUse = 0;  // days, local time, of the last use; 0 until first used
};

class TFTPProtocol : public TAbstractProtocol {
public:
  static constexpr int kPoolSize = 4;
  static constexpr double kIdleLimit = 3.0 / 1440.0;  // 3 minutes, in days

  TFTPProtocol();
  ~TFTPProtocol() override;

  std::array<TFTPPoolEntry, kPoolSize> Pool;

  // The clock in days (local time); tests replace it.
  std::function<double()> Now;

  // Seconds allowed to connect, and for a transfer or reply that stops
  // moving; handed to a client each time it connects.
  long ConnectTimeout = 20;
  long StallTimeout = 60;
  // A listing is small and the user waits for it: a server that stops
  // answering one is given up sooner.
  long ListStallTimeout = 15;
  // The limits of a file fetched on the fly (GetResource): its largest size
  // and the seconds the whole transfer may last.
  std::size_t MaxResourceSize = std::size_t(64) << 20;
  long ResourceTimeout = 120;

  // ListFolder swallows every error of the listing command, so an empty
  // listing may mean a failed one. LastListFailed tells which: it is set when
  // the last ListFolder lost its listing to an error (LastListError holds the
  // message, which the URL's ListError gets too) and cleared when a listing
  // starts.
  bool LastListFailed = false;
  std::string LastListError;

  // The client for the URL's host: the one aimed at it, else a free one, else
  // the least recently used (disconnected first). Touch marks it used now.
  TFTPClient& GetConnection(const TURL& url, bool touch);

  // Whether the client aimed at the URL's host is connected; changes nothing.
  bool IsConnected(TURL& url) override;
  void Connect(TURL& url) override;
  void Disconnect(TURL& url) override;
  void DeleteFile(TURL& url) override;
  void ListFolder(TURL& url) override;
  void GetFile(TURL& url, std::string& text) override;
  // GetFile within the resource limits (MaxResourceSize, ResourceTimeout).
  void GetResource(TURL& url, std::string& text) override;
  void PutFile(TURL& url, const std::string& text) override;
  void CheckIdle() override;

  // The current local time as days since 1899-12-30.
  static double LocalNow();

private:
  // Held by every operation for its whole length: one thread at a time works
  // with the pool. IsConnected and CheckIdle never wait for it.
  std::recursive_mutex PoolLock;

  TFTPClient& ConnectedClient(TURL& url);
  bool LoggedInAsAnother(TURL& url);
};
