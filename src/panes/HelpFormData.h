#pragma once
// Decoding the fields of a help page's form and filling its template.
//
// A form posts its fields in the form-data encoding: "name=value" fields
// separated by "&", a blank written as "+" and any other byte as "%" and two
// hexadecimal digits. Everything here works on byte strings: text typed into a
// page arrives as its UTF-8 bytes and stays so until the filled text is put
// on the clipboard as characters.

#include <QByteArray>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// One field of a form: its name and its value (repeated names joined).
struct TFormField {
  std::string Name;
  std::string Value;
};

// The fields of one form, one per distinct name (names compared ignoring
// ASCII case), in the order of each name's first appearance.
using TFormFieldList = std::vector<TFormField>;

// The bytes of a request body as a text, one character per byte.
std::string PostDataToString(const QByteArray& postData);

// Form-data decoding: "+" becomes a blank, "%XY" the byte of the hexadecimal
// number XY, "%%" a percent sign. A "%" after the first digit of an escape is
// skipped ("%4%1" is "A"); an escape whose two characters are no hexadecimal
// number drops both; an escape cut off by the end gives nothing.
std::string URLDecode(const std::string& text);

// Adds the field name=value to list: a name already in the list (ignoring
// ASCII case) gets a blank and value appended to its value; a field without a
// name is passed over.
void AddFormField(TFormFieldList& list, const std::string& name, const std::string& value);

// Adds the fields of body to list. Each field is decoded as a whole and then
// split at its first "=" (so an encoded "=" in a name splits there). A
// repeated name appends a blank and the new value to the first one's value.
// A field without a name (no "=", an empty name, an empty trailing field) is
// passed over.
void ParseFormData(TFormFieldList& list, const std::string& body);

// The value of the field name (ignoring ASCII case); empty when there is none.
std::string FieldValue(const TFormFieldList& list, const std::string& name);

// The largest text a template may fill to: fields whose values hold other
// fields' names can make the text grow without bound.
constexpr std::size_t MaxFilledText = 64u << 20;

// Raised when a template would fill to more than the limit.
class EFilledTextTooLarge : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The template with every occurrence of a field's name (ignoring ASCII case,
// left to right, not overlapping) replaced by its value, field after field in
// list order, each on the result of the previous one. Fields whose names begin
// with "_" only carry data and are never replaced. The size of each step is
// worked out before the step is made: throws EFilledTextTooLarge rather than
// build a text larger than limit bytes.
std::string FillTemplate(const std::string& templateText, const TFormFieldList& list,
                         std::size_t limit = MaxFilledText);
