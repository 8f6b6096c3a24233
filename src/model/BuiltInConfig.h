#pragma once
// The configuration the program starts with when no configuration file can be
// read: the same settings and key bindings as the shipped "default.config"
// (whose text is exactly GetXML of this configuration).

#include "model/TConfigInfo.h"

// Sets every field of config, and its key bindings, to the built-in defaults.
void SetBuiltInConfig(TConfigInfo& config);
// Sets every field but the key bindings, which stay as they are.
void SetBuiltInSettings(TConfigInfo& config);
// Replaces the key bindings by the built-in ones; the other fields stay.
void SetBuiltInShortcuts(TConfigInfo& config);
