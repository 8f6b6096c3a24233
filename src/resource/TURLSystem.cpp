#include "resource/TURLSystem.h"

#include "resource/EResourceError.h"
#include "resource/TURL.h"
#include "resource/zevlog.h"

namespace {

std::unique_ptr<TURLSystem>& URLSystemInstance()
{
  static std::unique_ptr<TURLSystem> instance;
  return instance;
}

}  // namespace

TURLSystem::TURLSystem() = default;

// Drivers go first (they free their clients), in reverse registration order.
TURLSystem::~TURLSystem()
{
  while (!Protocols.empty()) Protocols.pop_back();
}

void TURLSystem::Register(std::unique_ptr<TAbstractProtocol> protocol)
{
  Protocols.push_back(std::move(protocol));
}

// The protocol name is asked afresh for each driver: an unknown scheme logs
// once per driver examined.
TAbstractProtocol* TURLSystem::FindProtocol(const TURL& url)
{
  for (auto& protocol : Protocols)
    if (protocol->ProtocolName == url.GetProtocolName()) return protocol.get();
  return nullptr;
}

TAbstractProtocol& TURLSystem::Driver(const TURL& url)
{
  TAbstractProtocol* protocol = FindProtocol(url);
  if (!protocol) throw EResourceError("No driver for the protocol \"" + url.GetProtocolName() + "\"");
  return *protocol;
}

void TURLSystem::ListFolder(TURL& url)
{
  Driver(url).ListFolder(url);
}

void TURLSystem::GetFile(TURL& url, std::string& text)
{
  Driver(url).GetFile(url, text);
}

void TURLSystem::GetResource(TURL& url, std::string& text)
{
  Driver(url).GetResource(url, text);
}

void TURLSystem::PutFile(TURL& url, const std::string& text)
{
  Driver(url).PutFile(url, text);
}

void TURLSystem::TimerTick()
{
  for (auto& protocol : Protocols) protocol->CheckIdle();
}

bool TURLSystem::TrafficLogged()
{
  return AppLog().Enabled(kTrafficLevel);
}

void TURLSystem::LogReceived(const std::string& data)
{
  AppLog().Log(kTrafficLevel, data);
}

void TURLSystem::LogSent(const std::string& data)
{
  AppLog().Log(kTrafficLevel, "> " + data);
}

// The instance is stored before the drivers are registered, so a driver that
// reaches for the URL system while it is constructed finds this one.
TURLSystem& URLSystem()
{
  auto& instance = URLSystemInstance();
  if (!instance) {
    instance = std::make_unique<TURLSystem>();
    RegisterDefaultProtocols(*instance);
  }
  return *instance;
}

void FreeURLSystem()
{
  URLSystemInstance().reset();
}
