#pragma once
// The command vocabularies of key bindings: the 32 application command names
// (bound to menu items by the main window) and how a binding's command name is
// classified. A name whose first two characters are exactly "ec" is an editor
// command; any other name is an application command.

#include <array>
#include <string>

constexpr int ApplicationCommandCount = 32;

// The application command names, in their fixed order.
const std::array<const char*, ApplicationCommandCount>& ApplicationCommandNames();
// True when name is one of the application command names (exact comparison).
bool IsApplicationCommandName(const std::string& name);

// The key categories of the configuration dialog, in order.
constexpr int KeyCategoryCount = 2;
const std::array<const char*, KeyCategoryCount>& KeyCategories();

// True exactly when the first two characters of name are "ec" (case-sensitive).
bool IsEditorCommandName(const std::string& name);
