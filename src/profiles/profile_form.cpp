#include "profiles/profile_form.h"

#include <array>
#include <string_view>

#include "base/text.h"
#include "profiles/profile_key.h"
#include "shell/serial_date.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

namespace {

struct FormField {
  std::string_view variable;
  std::string child_details::*field;
};

// The form's texts in the order they are read.
constexpr std::array<FormField, 20> kFormFields{{
    {"BROTHERS_NAME_1", &child_details::brothersName1},
    {"BROTHERS_NAME_2", &child_details::brothersName2},
    {"BROTHERS_NAME_3", &child_details::brothersName3},
    {"TOWN_CITY_NAME", &child_details::cityName},
    {"COUNTRY_NAME", &child_details::countryName},
    {"FIRST_NAME", &child_details::firstName},
    {"FRIENDS_NAME_1", &child_details::friendsName1},
    {"FRIENDS_NAME_2", &child_details::friendsName2},
    {"FRIENDS_NAME_3", &child_details::friendsName3},
    {"SURNAME", &child_details::lastName},
    {"MIDDLE_NAME", &child_details::middleName},
    {"FAVOURITE_PET_NAME", &child_details::petName},
    {"PET_TYPE", &child_details::petType},
    {"SCHOOL_NAME", &child_details::schoolName},
    {"SEX", &child_details::sex},
    {"SISTERS_NAME_1", &child_details::sistersName1},
    {"SISTERS_NAME_2", &child_details::sistersName2},
    {"SISTERS_NAME_3", &child_details::sistersName3},
    {"STREET_NAME", &child_details::streetName},
    {"TEACHERS_NAME", &child_details::teachersName},
}};

constexpr int kAdultSlots = 4;

// A year of one or two digits is read in the window the user manager's year field implies.
int FullYear(int year) {
  if (year >= 0 && year <= 29) return 2000 + year;
  if (year >= 30 && year <= 99) return 1900 + year;
  return year;
}

}  // namespace

void ProfileForm::saveUserDetails(std::string action) {
  ShellState& state = shell_.state;
  const std::int16_t countBefore = state.userCount;
  const std::string userIDBefore = state.currentUserID;
  bool added = false;
  bool written = false;
  // An addition whose file was never written gives its number back, so no gap is left.
  const auto undoAddition = [&] {
    if (!added || written) return;
    state.userCount = countBefore;
    state.currentUserID = userIDBefore;
    added = false;
  };

  RunTrapped(shell_.errors, kMainModule, "saveUserDetails", [&] {
    if (action == "ADD") {
      if (state.userCount >= kHighestProfileNumber) Raise(vb::kOverflow);
      ++state.userCount;
      state.currentUserID = "USER" + DecimalText(state.userCount) + ".DAT";
      added = true;
    } else {
      // An edit rewrites one of the profiles 1 to userCount; any other name (a key past the
      // last profile, a stray file listed last) would leave a gap or a stray file.
      const std::optional<std::int16_t> number = ProfileFileNumber(state.currentUserID);
      if (!number || *number > state.userCount) Raise(vb::kBadFileName);
    }
    state.currentChild.emplace();
    readForm();
    written = shell_.profiles.WriteDataFile();
    undoAddition();
    shell_.users.publishUserList();
  });
  undoAddition();
}

void ProfileForm::readForm() {
  ShellState& state = shell_.state;
  const std::int16_t day = readDatePart("DAY");
  const std::int16_t month = readDatePart("MONTH");
  const std::int16_t year = readDatePart("YEAR");
  const double dob = SerialFromDays(CarriedDate(FullYear(year), month, day));
  if (!IsValidSerial(dob)) Raise(vb::kInvalidProcedureCall);
  state.currentChild->age = DecimalText(shell_.profiles.Age(dob));

  FlashControl& main = shell_.frmTDWK.swfMain();
  for (const FormField& form : kFormFields) {
    std::string value = main.GetVariable(std::string(form.variable));
    (*state.currentChild).*form.field = std::move(value);
  }
  state.currentChild->dob = dob;
  state.currentChild->userID = state.currentUserID;
  readAdultSlots();
}

std::int16_t ProfileForm::readDatePart(const std::string& name) {
  return ToInteger16(TextToNumber(shell_.frmTDWK.swfMain().GetVariable(name)));
}

void ProfileForm::readAdultSlots() {
  FlashControl& main = shell_.frmTDWK.swfMain();
  child_details& child = *shell_.state.currentChild;
  for (int i = 1; i <= kAdultSlots; ++i) {
    const std::string slot = DecimalText(i);
    if (!flashVariableExists("ADULT_TYPE" + slot)) break;
    const std::string type = UpperCase(main.GetVariable("ADULT_TYPE" + slot));
    std::string* field = nullptr;
    if (type == "DAD") {
      field = &child.fatherName;
    } else if (type == "MUM") {
      field = &child.mothersName;
    } else if (type == "GRAN") {
      field = &child.GransName;
    } else if (type == "GRANDAD") {
      field = &child.GrandadsName;
    } else if (type == "OTHER") {
      field = child.responsibleAdult1.empty() ? &child.responsibleAdult1 : &child.responsibleAdult2;
    }
    if (field != nullptr) *field = main.GetVariable("ADULT_NAME" + slot);
  }
}

bool ProfileForm::flashVariableExists(std::string name) {
  try {
    shell_.frmTDWK.swfMain().GetVariable(name);
    return true;
  } catch (...) {
    return false;  // never reported: an unanswered variable only ends the slots
  }
}

}  // namespace tdwk
