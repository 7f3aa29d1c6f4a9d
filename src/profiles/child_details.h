#pragma once

#include <string>

namespace tdwk {

// One child's profile, in declaration order. Texts are UTF-8; dob is a serial date.
class child_details {
 public:
  std::string firstName;
  std::string middleName;
  std::string lastName;
  std::string sex;
  double dob = 0.0;
  std::string age;
  std::string streetName;
  std::string cityName;
  std::string countryName;
  std::string mothersName;
  std::string fatherName;
  std::string GransName;
  std::string GrandadsName;
  std::string responsibleAdult1;
  std::string responsibleAdult2;
  std::string brothersName1;
  std::string brothersName2;
  std::string brothersName3;
  std::string sistersName1;
  std::string sistersName2;
  std::string sistersName3;
  std::string petName;
  std::string petType;
  std::string friendsName1;
  std::string friendsName2;
  std::string friendsName3;
  std::string schoolName;
  std::string teachersName;
  std::string userID;

  bool operator==(const child_details&) const = default;
};

}  // namespace tdwk
