#include "panes/HelpFormData.h"

#include "model/AttributeList.h"
#include "model/IntegerText.h"

namespace {

char LowerAscii(char c)
{
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Position of needle in text at or after from, ignoring ASCII case; npos when absent.
std::string::size_type FindIgnoringCase(const std::string& text, const std::string& needle,
                                        std::string::size_type from)
{
  if (needle.size() > text.size()) return std::string::npos;
  for (std::string::size_type i = from; i + needle.size() <= text.size(); ++i) {
    std::string::size_type k = 0;
    while (k < needle.size() && LowerAscii(text[i + k]) == LowerAscii(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

// Occurrences of name in text, as ReplaceAllIgnoringCase finds them.
std::size_t CountIgnoringCase(const std::string& text, const std::string& name)
{
  std::size_t count = 0;
  for (auto at = FindIgnoringCase(text, name, 0); at != std::string::npos;
       at = FindIgnoringCase(text, name, at + name.size()))
    ++count;
  return count;
}

[[noreturn]] void ThrowTooLarge(std::size_t limit)
{
  throw EFilledTextTooLarge("The form's text would be larger than " + std::to_string(limit >> 20) +
                            " MiB once filled in (its fields hold each other's names); nothing was inserted.");
}

// Throws when replacing count occurrences of name by value in a text of size
// bytes would pass limit.
void CheckFilledSize(std::size_t size, std::size_t count, const std::string& name, const std::string& value,
                     std::size_t limit)
{
  if (value.size() <= name.size()) return;
  std::size_t growth = value.size() - name.size();
  if (size > limit || count > (limit - size) / growth) ThrowTooLarge(limit);
}

std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& name, const std::string& value,
                                   std::size_t resultSize = 0)
{
  std::string result;
  result.reserve(resultSize);
  std::string::size_type start = 0;
  for (auto at = FindIgnoringCase(text, name, 0); at != std::string::npos;
       at = FindIgnoringCase(text, name, start)) {
    result.append(text, start, at - start);
    result += value;
    start = at + name.size();
  }
  result.append(text, start, std::string::npos);
  return result;
}

TFormField* FindField(TFormFieldList& list, const std::string& name)
{
  for (auto& field : list)
    if (SameTextAscii(field.Name, name)) return &field;
  return nullptr;
}

void AddField(TFormFieldList& list, const std::string& decoded)
{
  auto equals = decoded.find('=');
  if (equals == std::string::npos) return; // no name: nothing to fill
  AddFormField(list, decoded.substr(0, equals), decoded.substr(equals + 1));
}

} // namespace

void AddFormField(TFormFieldList& list, const std::string& name, const std::string& value)
{
  if (name.empty()) return;
  if (TFormField* field = FindField(list, name)) {
    field->Value += ' ';
    field->Value += value;
  } else {
    list.push_back({name, value});
  }
}

std::string PostDataToString(const QByteArray& postData)
{
  return std::string(postData.constData(), static_cast<std::string::size_type>(postData.size()));
}

std::string URLDecode(const std::string& text)
{
  enum class TState { Normal, AfterPercent, AfterDigit };
  TState state = TState::Normal;
  char first = 0;
  std::string result;
  for (char c : text) {
    switch (state) {
    case TState::Normal:
      if (c == '%')
        state = TState::AfterPercent;
      else
        result += (c == '+') ? ' ' : c;
      break;
    case TState::AfterPercent:
      if (c == '%') {
        result += '%';
        state = TState::Normal;
      } else {
        first = c;
        state = TState::AfterDigit;
      }
      break;
    case TState::AfterDigit:
      if (c == '%') break; // skipped
      {
        int high = HexDigitValue(first), low = HexDigitValue(c);
        if (high >= 0 && low >= 0) result += static_cast<char>(high * 16 + low);
      }
      state = TState::Normal;
      break;
    }
  }
  return result;
}

void ParseFormData(TFormFieldList& list, const std::string& body)
{
  std::string::size_type start = 0;
  for (;;) {
    auto amp = body.find('&', start);
    if (amp == std::string::npos) {
      AddField(list, URLDecode(body.substr(start)));
      return;
    }
    AddField(list, URLDecode(body.substr(start, amp - start)));
    start = amp + 1;
  }
}

std::string FieldValue(const TFormFieldList& list, const std::string& name)
{
  for (const auto& field : list)
    if (SameTextAscii(field.Name, name)) return field.Value;
  return std::string();
}

std::string FillTemplate(const std::string& templateText, const TFormFieldList& list, std::size_t limit)
{
  if (templateText.size() > limit) ThrowTooLarge(limit);
  std::string result = templateText;
  for (const auto& field : list) {
    if (field.Name.empty() || field.Name[0] == '_') continue;
    std::size_t count = CountIgnoringCase(result, field.Name);
    if (count == 0) continue;
    CheckFilledSize(result.size(), count, field.Name, field.Value, limit);
    std::size_t filledSize = result.size() - count * field.Name.size() + count * field.Value.size();
    result = ReplaceAllIgnoringCase(result, field.Name, field.Value, filledSize);
  }
  return result;
}
