#pragma once
// One element of an autocompletion schema: its name, the text inserted when it
// is chosen, the insert texts of its attributes and the names of its children.

#include <string>
#include <vector>

class TacElement {
public:
  TacElement(std::string name, std::string insertText);

  std::string Name;                   // compared byte-wise by lookups
  std::string InsertText;             // entity-decoded
  std::vector<std::string> Attributes; // insert texts, entity-decoded, file order
  std::vector<std::string> Children;   // element names as written, file order

  const std::vector<std::string>& GetAttributes() const { return Attributes; }
  const std::vector<std::string>& GetChildren() const { return Children; }
};
