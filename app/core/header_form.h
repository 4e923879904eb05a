// What the header dialogs of a game and a tsume problem edit, without the dialog: the fields in dialog
// order with their widths in bytes (CP932, as the record keeps them) and choice lists, the display form of
// the digit fields, the checks before storing, the storing itself with the players' short title, and the
// list of opening types the 戦型 box offers. Texts here are UTF-8, as the dialog shows them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "record/header_fields.h"

namespace app {

enum class FormFieldKind {
  kText,        // a line of text
  kDigits,      // digits, shown in display form while the field has no focus
  kChoice,      // a line of text with a list to choose from (typing allowed)
  kAnnotation,  // several lines (the header's annotation)
  kFixed,       // shown, not edited (出題図: the database sets it)
};

struct FormField {
  const char* label;
  FormFieldKind kind;
  int width;         // bytes of CP932 text
  int header_index;  // the header's field index; -1 for the names, the annotation and 出題図
  record::FieldRule rule = record::FieldRule::kText;
  std::vector<std::string> choices = {};
};

// The game form: 先手 and 後手 (the names), then the fields in dialog order, the annotation last. The two
// names come first so that a form's values line up with GameFormFields() by index.
const std::vector<FormField>& GameFormFields();
const std::vector<FormField>& ProblemFormFields();

// The opening types the 戦型 box lists before the remembered ones.
const std::vector<std::string>& StandardOpeningTypes();
// Whether a typed opening type is new to both lists (then it is remembered).
bool IsNewOpeningType(std::string_view type, const std::vector<std::string>& remembered);

// Display forms: 対局日 "2026/12/06", times "01:30:00", 登録日時 "2026/12/06 21:47:47". A value that is not
// the whole digit field (empty, or already in display form) comes back as it is.
std::string DigitsToDisplay(record::FieldRule rule, std::string_view digits);
// The digits of a text the user typed in either form ("2026/12/06" and "20261206" give "20261206").
std::string DigitsOf(std::string_view text);

// Bytes a UTF-8 text takes in CP932 (characters that have no CP932 form count as two).
int Cp932Length(std::string_view utf8);

// The values of a form, by field (UTF-8; digit fields may be in display form).
using FormValues = std::vector<std::string>;

FormValues GameFormValues(const record::GameHeader& header);
FormValues ProblemFormValues(const record::ProblemHeader& header);

// The first field whose value the header would refuse (too long, digits that are no date or time), or
// -1 when every value can be stored.
int FirstBadGameValue(const FormValues& values);
int FirstBadProblemValue(const FormValues& values);

// Stores the values in the header. The players text becomes "先手-後手" with 対局者不詳 for an empty name.
// REQUIRES: First…BadValue(values) == -1.
void StoreGameValues(const FormValues& values, record::GameHeader& header);
void StoreProblemValues(const FormValues& values, record::ProblemHeader& header);

}  // namespace app
