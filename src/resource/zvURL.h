#pragma once
// URLs, recent-URL lists and the URL system with its protocol drivers.

#include "resource/EResourceError.h"
#include "resource/TAbstractProtocol.h"
#include "resource/TFILEProtocol.h"
#include "resource/TFTPProtocol.h"
#include "resource/THTTPProtocol.h"
#include "resource/TMRUURL.h"
#include "resource/TURL.h"
#include "resource/TURLSystem.h"
