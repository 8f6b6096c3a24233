#pragma once
// The registry of protocol drivers. Every TURL operation finds its driver
// here. It also owns the traffic log (level 5 of the application log) and the
// one-second idle tick that the user interface drives with a timer.
//
// An operation may run on a worker thread (under a work progress that can
// cancel it) while the user interface's thread goes on. Meanwhile that thread
// may call TimerTick and ask IsConnected (answered at once: false while the
// FTP pool is busy); other operations of the FTP driver wait for the running
// one. Drivers are registered and freed only while no operation runs.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resource/TAbstractProtocol.h"

class TURL;

class TURLSystem {
public:
  TURLSystem();
  ~TURLSystem();

  static constexpr int kTimerInterval = 1000;  // milliseconds between TimerTick calls
  static constexpr std::uint8_t kTrafficLevel = 5;  // the log level of FTP and HTTP traffic

  // True while the application log lets traffic through (level 5 enabled).
  static bool TrafficLogged();

  std::vector<std::unique_ptr<TAbstractProtocol>> Protocols;

  void Register(std::unique_ptr<TAbstractProtocol> protocol);
  // The first driver whose name equals the URL's protocol name; nullptr when none.
  TAbstractProtocol* FindProtocol(const TURL& url);
  // Like FindProtocol, but raises when no driver serves the URL.
  TAbstractProtocol& Driver(const TURL& url);

  void ListFolder(TURL& url);
  void GetFile(TURL& url, std::string& text);
  // The driver's GetResource: a DTD, entity or stylesheet read on the fly.
  void GetResource(TURL& url, std::string& text);
  void PutFile(TURL& url, const std::string& text);

  // Lets every driver drop idle connections; call once a second.
  void TimerTick();

  // Traffic log handlers of the Internet clients.
  void LogReceived(const std::string& data);
  void LogSent(const std::string& data);
};

// Registers the file, ftp and http drivers, in this order.
void RegisterDefaultProtocols(TURLSystem& system);

// The one URL system, created with its drivers (file, ftp, http) on first use.
TURLSystem& URLSystem();
// Frees the URL system and its drivers (at program exit).
void FreeURLSystem();
