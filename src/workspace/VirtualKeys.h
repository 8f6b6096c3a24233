#pragma once
// Virtual keys and Qt keys live in the platform library, where the dialogs
// reach them too.
#include "platform/VirtualKeys.h"
