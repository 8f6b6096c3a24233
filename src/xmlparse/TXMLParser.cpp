#include "xmlparse/TXMLParser.h"

#include <cstring>
#include <typeinfo>

namespace {

// Token kinds dispatched on by Action.
enum : std::int32_t {
  kText = 1,
  kTagName = 2,
  kStartTag = 3,
  kWhitespace = 4,
  kName = 5,
  kValueQuery = 6,
  kValueSpace = 7,
  kValue = 8,
  kLiteral = 9,
  kLiteral2 = 10,
  kEndTag = 11,
  kSingleTag = 12,
  kComment = 13,
  kDeclName = 14,
  kDecl = 15,
  kPIName = 16,
  kPI = 17,
};

constexpr unsigned char NUL = 0, LF = 10, CR = 13, SP = 32, DQ = '"', SQ = '\'';

std::string_view DropFirst(std::string_view s, std::size_t n) {
  return s.substr(n < s.size() ? n : s.size());
}

std::string_view DropLast(std::string_view s) {
  return s.empty() ? s : s.substr(0, s.size() - 1);
}

// to := bytes, in the buffer to already has: appending to a cleared string
// takes a shorter path in the library than assigning.
void Put(std::string& to, std::string_view bytes) {
  to.clear();
  to.append(bytes.data(), bytes.size());
}

}  // namespace

TXMLParser::TXMLParser() {
  BuildStates();
}

// The 40 states in their order of creation, then their transitions: for each
// state first the default for all 256 byte values, then the overrides.
void TXMLParser::BuildStates() {
  auto state = [this](const char* name, std::int32_t kind, bool accept, bool pushback) {
    return new TState(*this, name, accept, pushback, kind);
  };
  TState* intext = state("intext", 0, false, false);
  TState* text = state("text", kText, true, true);
  TState* intag1 = state("intag1", 0, false, false);
  TState* intag2 = state("intag2", 0, false, false);
  TState* tagname = state("tagname", kTagName, true, true);
  TState* starttag = state("starttag", kStartTag, true, false);
  TState* incomment1 = state("incomment1", 0, false, false);
  TState* incomment2 = state("incomment2", 0, false, false);
  TState* incomment3 = state("incomment3", 0, false, false);
  TState* incomment4 = state("incomment4", 0, false, false);
  TState* incomment5 = state("incomment5", 0, false, false);
  TState* comment = state("comment", kComment, true, false);
  TState* indecl1 = state("indecl1", 0, false, false);
  TState* declname = state("declname", kDeclName, true, true);
  TState* indecl2 = state("indecl2", 0, false, false);
  TState* indecl3 = state("indecl3", 0, false, false);
  TState* decl = state("decl", kDecl, true, false);
  TState* inwhitespace = state("inwhitespace", 0, false, false);
  TState* whitespace = state("whitespace", kWhitespace, true, true);
  TState* inname = state("inname", 0, false, false);
  TState* name = state("name", kName, true, true);
  TState* invaluequery = state("invaluequery", kValueQuery, true, false);
  TState* invaluespace = state("invaluespace", 0, false, false);
  TState* valuespace = state("valuespace", kValueSpace, true, true);
  TState* invalue = state("invalue", 0, false, false);
  TState* value = state("value", kValue, true, true);
  TState* inliteral = state("inliteral", 0, false, false);
  TState* literal = state("literal", kLiteral, true, false);
  TState* inliteral2 = state("inliteral2", 0, false, false);
  TState* literal2 = state("literal2", kLiteral2, true, false);
  TState* inendtag = state("inendtag", 0, false, false);
  TState* endtag = state("endtag", kEndTag, true, false);
  TState* insingletag = state("insingletag", 0, false, false);
  TState* singletag = state("singletag", kSingleTag, true, false);
  TState* inpi1 = state("inpi1", 0, false, false);
  TState* inpi2 = state("inpi2", 0, false, false);
  TState* inpi3 = state("inpi3", 0, false, false);
  TState* inpi4 = state("inpi4", 0, false, false);
  TState* piname = state("piname", kPIName, true, true);
  TState* pi = state("pi", kPI, true, false);

  const TCharSet all = AllChars();
  const TCharSet ws = Chars({LF, CR, SP});

  intext->SetTransitions(all, intext);
  intext->SetTransitions(Chars({NUL, '<'}), text);

  text->SetTransitions(all, intext);
  text->SetTransitions(Chars({'<'}), intag1);

  intag1->SetTransitions(all, intag2);
  intag1->SetTransitions(Chars({NUL, LF, CR, SP, '>'}), tagname);
  intag1->SetTransitions(Chars({'/'}), inendtag);
  intag1->SetTransitions(Chars({'!'}), incomment1);
  intag1->SetTransitions(Chars({'?'}), inpi1);

  intag2->SetTransitions(all, intag2);
  intag2->SetTransitions(Chars({NUL, LF, CR, SP, '/', '>'}), tagname);

  tagname->SetTransitions(all, inwhitespace);
  tagname->SetTransitions(Chars({NUL, '>'}), starttag);
  tagname->SetTransitions(Chars({'/'}), insingletag);

  starttag->SetTransitions(all, intext);
  starttag->SetTransitions(Chars({'<'}), intag1);
  starttag->SetTransitions(Chars({NUL}), text);

  incomment1->SetTransitions(all, indecl1);
  incomment1->SetTransitions(Chars({'-'}), incomment2);
  incomment1->SetTransitions(Chars({NUL, '>'}), comment);

  incomment2->SetTransitions(all, indecl1);
  incomment2->SetTransitions(Chars({'-'}), incomment3);
  incomment2->SetTransitions(Chars({NUL, '>'}), comment);

  incomment3->SetTransitions(all, incomment3);
  incomment3->SetTransitions(Chars({'-'}), incomment4);
  incomment3->SetTransitions(Chars({NUL}), comment);

  incomment4->SetTransitions(all, incomment3);
  incomment4->SetTransitions(Chars({'-'}), incomment5);
  incomment4->SetTransitions(Chars({NUL}), comment);

  incomment5->SetTransitions(all, incomment3);
  incomment5->SetTransitions(Chars({NUL, '>'}), comment);

  comment->SetTransitions(all, intext);
  comment->SetTransitions(Chars({'<'}), intag1);

  indecl1->SetTransitions(all, indecl1);
  indecl1->SetTransitions(Chars({NUL, LF, CR, SP, '>'}), declname);

  declname->SetTransitions(all, indecl2);
  declname->SetTransitions(Chars({NUL, '>'}), decl);

  indecl2->SetTransitions(all, indecl2);
  indecl2->SetTransitions(Chars({'['}), indecl3);
  indecl2->SetTransitions(Chars({NUL, '>'}), decl);

  indecl3->SetTransitions(all, indecl3);
  indecl3->SetTransitions(Chars({']'}), indecl2);
  indecl3->SetTransitions(Chars({NUL}), decl);

  decl->SetTransitions(all, intext);
  decl->SetTransitions(Chars({'<'}), intag1);

  inwhitespace->SetTransitions(all, whitespace);
  inwhitespace->SetTransitions(ws, inwhitespace);

  whitespace->SetTransitions(all, inname);
  whitespace->SetTransitions(ws, inwhitespace);
  whitespace->SetTransitions(Chars({NUL, '>'}), starttag);
  whitespace->SetTransitions(Chars({'='}), invaluequery);
  whitespace->SetTransitions(Chars({'/'}), insingletag);

  inname->SetTransitions(all, inname);
  inname->SetTransitions(Chars({NUL, LF, CR, SP, '/', '=', '>'}), name);

  name->SetTransitions(all, inwhitespace);
  name->SetTransitions(Chars({NUL, '>'}), starttag);
  name->SetTransitions(Chars({'='}), invaluequery);
  name->SetTransitions(Chars({'/'}), insingletag);

  invaluequery->SetTransitions(all, invalue);
  invaluequery->SetTransitions(ws, invaluespace);
  invaluequery->SetTransitions(Chars({DQ}), inliteral2);
  invaluequery->SetTransitions(Chars({SQ}), inliteral);
  invaluequery->SetTransitions(Chars({NUL}), valuespace);

  invaluespace->SetTransitions(all, valuespace);
  invaluespace->SetTransitions(ws, invaluespace);

  valuespace->SetTransitions(all, invalue);
  valuespace->SetTransitions(ws, invaluespace);
  valuespace->SetTransitions(Chars({DQ}), inliteral2);
  valuespace->SetTransitions(Chars({SQ}), inliteral);
  valuespace->SetTransitions(Chars({'/'}), insingletag);

  invalue->SetTransitions(all, invalue);
  invalue->SetTransitions(Chars({NUL, LF, CR, SP, '/', '>'}), value);

  value->SetTransitions(all, inwhitespace);
  value->SetTransitions(Chars({NUL, '>'}), starttag);
  value->SetTransitions(Chars({'/'}), insingletag);

  inliteral->SetTransitions(all, inliteral);
  inliteral->SetTransitions(Chars({NUL, SQ}), literal);

  literal->SetTransitions(all, inname);
  literal->SetTransitions(ws, inwhitespace);
  literal->SetTransitions(Chars({NUL, '>'}), starttag);
  literal->SetTransitions(Chars({'/'}), insingletag);

  inliteral2->SetTransitions(all, inliteral2);
  inliteral2->SetTransitions(Chars({NUL, DQ}), literal2);

  literal2->SetTransitions(all, inname);
  literal2->SetTransitions(ws, inwhitespace);
  literal2->SetTransitions(Chars({NUL, '>'}), starttag);
  literal2->SetTransitions(Chars({'/'}), insingletag);

  inendtag->SetTransitions(all, inendtag);
  inendtag->SetTransitions(Chars({NUL, '>'}), endtag);

  endtag->SetTransitions(all, intext);
  endtag->SetTransitions(Chars({'<'}), intag1);
  endtag->SetTransitions(Chars({NUL}), text);

  insingletag->SetTransitions(all, insingletag);
  insingletag->SetTransitions(Chars({NUL, '>'}), singletag);

  singletag->SetTransitions(all, intext);
  singletag->SetTransitions(Chars({'<'}), intag1);
  singletag->SetTransitions(Chars({NUL}), text);

  inpi1->SetTransitions(all, inpi2);
  inpi1->SetTransitions(Chars({NUL, '>'}), piname);

  inpi2->SetTransitions(all, inpi2);
  inpi2->SetTransitions(Chars({NUL, SP, '?'}), piname);

  inpi3->SetTransitions(all, inpi3);
  inpi3->SetTransitions(Chars({'?'}), inpi4);
  inpi3->SetTransitions(Chars({NUL}), pi);

  inpi4->SetTransitions(all, inpi3);
  inpi4->SetTransitions(Chars({NUL, '>'}), pi);

  piname->SetTransitions(all, inpi3);
  piname->SetTransitions(Chars({'?'}), inpi4);
  piname->SetTransitions(Chars({NUL}), pi);

  pi->SetTransitions(all, intext);
  pi->SetTransitions(Chars({'<'}), intag1);

  Start = intext;
}

void TXMLParser::Parse(std::string_view text) {
  Stream = text;
  Position = 0;
  Execute();
}

void TXMLParser::Reset() {
  TZevLex::Reset();
  ClearAttributes();
}

// ---------------------------------------------------------------- attributes

// Attribute entries reuse the strings of the entries reported before, so that
// a long entry costs no allocation once the parser has seen one as long.
std::string& TXMLParser::NewAttribute() {
  if (SpareAttributes.empty()) return Attributes.emplace_back();
  Attributes.push_back(std::move(SpareAttributes.back()));
  SpareAttributes.pop_back();
  return Attributes.back();
}

void TXMLParser::ClearAttributes() {
  if (Attributes.empty()) return;
  if (PoolEntries)
    for (std::string& entry : Attributes) SpareAttributes.push_back(std::move(entry));
  Attributes.clear();
}

void TXMLParser::AddBareAttrName() {
  if (AttrName.empty()) return;
  Put(NewAttribute(), AttrName);
  AttrName.clear();
}

void TXMLParser::AddAttribute(std::string_view value) {
  const std::size_t nameSize = AttrName.size();
  const std::size_t size = nameSize + 1 + value.size();
  if (!PoolEntries && size <= kShortEntry) {
    char bytes[kShortEntry];
    std::memcpy(bytes, AttrName.data(), nameSize);
    bytes[nameSize] = '=';
    std::memcpy(bytes + nameSize + 1, value.data(), value.size());
    Attributes.emplace_back(bytes, size);
    AttrName.clear();
    return;
  }
  PoolEntries = true;
  std::string& entry = NewAttribute();
  Put(entry, AttrName);
  entry += '=';
  entry.append(value);
  AttrName.clear();
}

void TXMLParser::AddWhitespace(std::string_view run) {
  if (!(Options & poTagWhitespace) || run == " ") return;
  std::string& entry = NewAttribute();
  Put(entry, "=");
  entry.append(run);
}

// ---------------------------------------------------------------- actions

bool TXMLParser::Acts(const TState& state) const {
  if (typeid(*this) != typeid(TXMLParser)) return true;
  switch (state.Kind) {
    case kValueQuery:
      return false;
    case kWhitespace:
    case kValueSpace:
      return (Options & poTagWhitespace) != 0;
    default:
      return true;
  }
}

void TXMLParser::Action(TState& state) {
  switch (state.Kind) {
    case kText:
      Text.append(TokenView());
      break;
    case kTagName:
      Put(Name, DropFirst(TokenView(), 1));
      if (!Attributes.empty()) ClearAttributes();
      AttrName.clear();
      break;
    case kStartTag:
      if (!AttrName.empty()) AddBareAttrName();
      FlushText();
      DoStartTag(false);
      break;
    case kWhitespace:
    case kValueSpace:
      if (Options & poTagWhitespace) AddWhitespace(TokenView());
      break;
    case kName:
      if (!AttrName.empty()) Put(NewAttribute(), AttrName);
      Put(AttrName, TokenView());
      break;
    case kValueQuery:
      break;
    case kValue:
      AddAttribute(TokenView());
      break;
    case kLiteral:
    case kLiteral2:
      AddAttribute(DropLast(DropFirst(TokenView(), 1)));
      break;
    case kEndTag:
      FlushText();
      Put(Name, DropFirst(DropLast(TokenView()), 2));
      DoEndTag();
      break;
    case kSingleTag:
      if (!AttrName.empty()) AddBareAttrName();
      FlushText();
      if (Options & poEmptyTag) {
        DoStartTag(true);
      } else {
        DoStartTag(false);
        DoEndTag();
      }
      break;
    case kComment:
      FlushText();
      Put(Body, TokenView());
      DoComment();
      break;
    case kDeclName:
    case kPIName:
      FlushText();
      Put(Name, DropFirst(TokenView(), 2));
      break;
    case kDecl:
      FlushText();
      Put(Body, DropLast(TokenView()));
      DoDecl();
      break;
    case kPI: {
      std::string_view data = TokenView();
      if (!data.empty() && data.back() == '>') data.remove_suffix(1);
      if (!data.empty() && data.back() == '?') data.remove_suffix(1);
      Put(Text, data);
      DoPI();
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------- events

void TXMLParser::DoStartTag(bool empty) {
  if (OnStartTag) OnStartTag(*this, Name, Attributes, empty);
  if (!Attributes.empty()) ClearAttributes();
}

void TXMLParser::DoEndTag() {
  if (OnEndTag) OnEndTag(*this, Name);
  Name.clear();
}

void TXMLParser::FlushText() {
  if (Text.empty()) return;
  if (OnText) OnText(*this, Text);
  Text.clear();
}

void TXMLParser::DoComment() {
  if (OnComment) OnComment(*this, Body);
  Body.clear();
}

void TXMLParser::DoDecl() {
  if (OnDecl) OnDecl(*this, Name, Body);
  Name.clear();
  Body.clear();
}

void TXMLParser::DoPI() {
  if (OnPI) OnPI(*this, Name, Text);
  Name.clear();
  Text.clear();
}
