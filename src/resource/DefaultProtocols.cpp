#include "resource/TFILEProtocol.h"
#include "resource/TFTPProtocol.h"
#include "resource/THTTPProtocol.h"
#include "resource/TURLSystem.h"

// The drivers every URL system serves, in the order they are searched.
void RegisterDefaultProtocols(TURLSystem& system)
{
  system.Register(std::make_unique<TFILEProtocol>());
  system.Register(std::make_unique<TFTPProtocol>());
  system.Register(std::make_unique<THTTPProtocol>());
}
