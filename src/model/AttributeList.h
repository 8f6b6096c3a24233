#pragma once
// Reading the attribute list of a start-tag event: entries are "name=value"
// lines (the value unquoted, split at the first "=") or bare names.

#include <string>
#include <vector>

// The value of the first attribute whose name equals name ignoring ASCII case;
// the empty text when there is none (or the attribute is bare).
std::string GetAttribute(const std::vector<std::string>& attributes, const std::string& name);

// True when an attribute of that name (ignoring ASCII case) is present.
bool HasAttribute(const std::vector<std::string>& attributes, const std::string& name);

// ASCII case-blind comparison helpers shared by the model.
bool SameTextAscii(const std::string& a, const std::string& b);
int CompareTextAscii(const std::string& a, const std::string& b);
std::string UpperCaseAscii(std::string text);
std::string LowerCaseAscii(std::string text);
