#pragma once

#include <array>
#include <map>
#include <string>

namespace tdwk::test {

// The single-value fields of the user manager's form, in the order the save reads them.
inline constexpr std::array<const char*, 23> kFormFieldNames{"DAY",
                                                             "MONTH",
                                                             "YEAR",
                                                             "BROTHERS_NAME_1",
                                                             "BROTHERS_NAME_2",
                                                             "BROTHERS_NAME_3",
                                                             "TOWN_CITY_NAME",
                                                             "COUNTRY_NAME",
                                                             "FIRST_NAME",
                                                             "FRIENDS_NAME_1",
                                                             "FRIENDS_NAME_2",
                                                             "FRIENDS_NAME_3",
                                                             "SURNAME",
                                                             "MIDDLE_NAME",
                                                             "FAVOURITE_PET_NAME",
                                                             "PET_TYPE",
                                                             "SCHOOL_NAME",
                                                             "SEX",
                                                             "SISTERS_NAME_1",
                                                             "SISTERS_NAME_2",
                                                             "SISTERS_NAME_3",
                                                             "STREET_NAME",
                                                             "TEACHERS_NAME"};

// The four adults' slots of the form: each a type and a name.
inline constexpr std::array<const char*, 8> kAdultFieldNames{
    "ADULT_TYPE1", "ADULT_NAME1", "ADULT_TYPE2", "ADULT_NAME2",
    "ADULT_TYPE3", "ADULT_NAME3", "ADULT_TYPE4", "ADULT_NAME4"};

// Every field of the user manager's form: the given values, the other single-value fields set
// to `others`.
inline std::map<std::string, std::string> FormFields(
    const std::map<std::string, std::string>& values, const std::string& others = "") {
  std::map<std::string, std::string> fields;
  for (const char* name : kFormFieldNames) fields[name] = others;
  for (const auto& [name, value] : values) fields[name] = value;
  return fields;
}

}  // namespace tdwk::test
