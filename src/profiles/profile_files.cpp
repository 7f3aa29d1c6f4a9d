#include "profiles/profile_files.h"

#include <array>
#include <chrono>

#include "base/text.h"
#include "shell/serial_date.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

namespace {

// The 26 stored texts in file order: the field names sorted alphabetically, case ignored.
constexpr std::array<std::string child_details::*, 26> kStoredFields{
    &child_details::brothersName1,
    &child_details::brothersName2,
    &child_details::brothersName3,
    &child_details::cityName,
    &child_details::countryName,
    &child_details::fatherName,
    &child_details::firstName,
    &child_details::friendsName1,
    &child_details::friendsName2,
    &child_details::friendsName3,
    &child_details::GrandadsName,
    &child_details::GransName,
    &child_details::lastName,
    &child_details::middleName,
    &child_details::mothersName,
    &child_details::petName,
    &child_details::petType,
    &child_details::responsibleAdult1,
    &child_details::responsibleAdult2,
    &child_details::schoolName,
    &child_details::sex,
    &child_details::sistersName1,
    &child_details::sistersName2,
    &child_details::sistersName3,
    &child_details::streetName,
    &child_details::teachersName,
};

}  // namespace

std::string ProfileFiles::UsersFolder() const {
  return shell_.state.appPath + "Users/";
}

std::string ProfileFiles::ReadStringFromBinaryFile(BinaryReader& file) {
  return Trapped(shell_.errors, kMainModule, "ReadStringFromBinaryFile", [&] {
    const std::int16_t length = file.ReadInt16();
    if (length == 0) return std::string();
    if (length < 0) Raise(vb::kInvalidProcedureCall);
    // A string cut short by the end of the file keeps the characters that are present.
    return shell_.platform.codePage.ToUtf8(file.Read(static_cast<std::size_t>(length)));
  });
}

bool ProfileFiles::WriteStringToBinaryFile(BinaryWriter& file, const std::string& text) {
  return Trapped(shell_.errors, kMainModule, "WriteStringToBinaryFile", [&] {
    // One byte a character, so the byte count is the stored length.
    const std::string bytes = shell_.platform.codePage.FromUtf8(text);
    if (bytes.size() > kLongestStoredText) Raise(vb::kOverflow);
    file.WriteInt16(static_cast<std::int16_t>(bytes.size()));
    file.WriteBytes(bytes);
    return true;
  });
}

std::optional<child_details> ProfileFiles::getUserDetails() {
  return Trapped(shell_.errors, kMainModule, "getUserDetails", [&] {
    std::optional<child_details> result;
    BinaryReader file(shell_.platform.files.ReadFile(UsersFolder() + shell_.state.currentUserID));
    child_details details;
    const double dob = file.ReadDouble();
    if (!IsValidSerial(dob)) Raise(vb::kOverflow);
    details.dob = dob;
    details.age = DecimalText(Age(dob));
    for (auto field : kStoredFields) details.*field = ReadStringFromBinaryFile(file);
    details.userID = shell_.state.currentUserID;
    if (!details.responsibleAdult2.empty() && details.responsibleAdult1.empty()) {
      details.responsibleAdult1 = details.responsibleAdult2;
    }
    result = std::move(details);
    return result;
  });
}

void ProfileFiles::ReadDataFile() {
  RunTrapped(shell_.errors, kMainModule, "ReadDataFile",
             [&] { shell_.state.currentChild = getUserDetails(); });
}

bool ProfileFiles::WriteDataFile() {
  FileSystem& files = shell_.platform.files;
  const std::string usersFolder = shell_.state.appPath + "Users";
  const bool folderReady = RunTrapped(shell_.errors, kMainModule, "WriteDataFile", [&] {
    if (!files.Exists(usersFolder)) files.CreateFolder(usersFolder);
  });
  if (!folderReady) return false;

  // Failures from here on pass to the caller, which reports them under its own name.
  const std::string& userID = shell_.state.currentUserID;
  // After a refused key currentUserID names no profile; nothing is written then.
  if (userID.empty() || userID.find('/') != std::string::npos) Raise(vb::kBadFileName);
  const auto& child = shell_.state.currentChild;
  if (!child) Raise(vb::kObjectNotSet);
  BinaryWriter file;
  file.WriteDouble(child->dob);
  bool failed = false;
  for (auto field : kStoredFields) {
    if (!WriteStringToBinaryFile(file, (*child).*field)) failed = true;
  }
  if (failed) {
    // A record that cannot be stored whole is not written at all: the old file stays.
    shell_.errors.WriteLog("There was an error writing the file");
    return false;
  }
  files.ReplaceFile(UsersFolder() + userID, file.Bytes());
  return true;
}

std::int16_t ProfileFiles::Age(double dob) {
  return Trapped(shell_.errors, kMainModule, "Age", [&] {
    using namespace std::chrono;
    const local_days today = floor<days>(shell_.platform.clock.Now());
    const year_month_day now{today};
    const year_month_day birth = DateFromSerial(dob);
    const int years = static_cast<int>(now.year()) - static_cast<int>(birth.year());
    // A day the month lacks this year carries over: 29 February counts from 1 March.
    const local_days birthday =
        CarriedDate(static_cast<int>(now.year()), static_cast<int>(unsigned(birth.month())),
                    static_cast<int>(unsigned(birth.day())));
    return ToInteger16(today < birthday ? years - 1 : years);
  });
}

}  // namespace tdwk
