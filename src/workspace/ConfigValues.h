#pragma once
// Configuration colours and fonts as Qt values live in the platform library,
// where the dialogs reach them too.
#include "platform/ConfigValues.h"
