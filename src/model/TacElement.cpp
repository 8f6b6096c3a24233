#include "model/TacElement.h"

#include <utility>

TacElement::TacElement(std::string name, std::string insertText)
    : Name(std::move(name)), InsertText(std::move(insertText))
{
}
