#include "personalisation/child_attributes.h"

#include <string_view>

#include "base/text.h"
#include "shell/serial_date.h"
#include "shell/shell.h"
#include "shell/trap.h"

namespace tdwk {

namespace {

std::int16_t PresentCount(const std::string& a, const std::string& b, const std::string& c) {
  // Present means not empty: a field of blanks counts.
  return static_cast<std::int16_t>(!a.empty() + !b.empty() + !c.empty());
}

}  // namespace

void ChildAttributes::setFlashClildAttributes() {
  RunTrapped(shell_.errors, kFormModule, "setFlashClildAttributes", [&] {
    FlashControl& main = shell_.frmTDWK.swfMain();
    // Every step reads the child afresh; with none the publication fails at its first step.
    const auto child = [&]() -> const child_details& {
      if (!shell_.state.currentChild) Raise(vb::kObjectNotSet);
      return *shell_.state.currentChild;
    };
    const auto set = [&](const std::string& name, const std::string& value) {
      main.SetVariable(name, value);
    };

    std::int16_t adults = 0;
    // An absent adult takes no number, so the present ones are numbered without gaps.
    const auto adultSlot = [&](const std::string& field, std::string_view type) {
      if (field.empty()) return;
      const std::string n = DecimalText(adults + 1);
      set("ADULT_NAME" + n, field);
      set("ADULT_TYPE" + n, std::string(type));
      ++adults;
    };

    set("FIRST_NAME", child().firstName);
    set("MIDDLE_NAME", child().middleName);
    set("SURNAME", child().lastName);
    set("STREET_NAME", child().streetName);
    set("TOWN_CITY_NAME", child().cityName);
    set("COUNTRY_NAME", child().countryName);
    set("DOB", shell_.platform.locale.ShortDate(DateFromSerial(child().dob)));
    set("DAY", DecimalText(unsigned(DateFromSerial(child().dob).day())));
    set("MONTH", DecimalText(unsigned(DateFromSerial(child().dob).month())));
    set("YEAR", DecimalText(int(DateFromSerial(child().dob).year())));
    set("SEX", child().sex);
    set("FRIENDS_NAME_1", child().friendsName1);
    set("FRIENDS_NAME_2", child().friendsName2);
    set("FRIENDS_NAME_3", child().friendsName3);
    set("NUM_FRIENDS", DecimalText(PresentCount(child().friendsName1, child().friendsName2,
                                                child().friendsName3)));
    set("AGE", child().age);
    set("MUMS_NAME", child().mothersName);
    adultSlot(child().mothersName, "Mum");
    set("DADS_NAME", child().fatherName);
    adultSlot(child().fatherName, "Dad");
    set("GRANS_NAME", child().GransName);
    adultSlot(child().GransName, "Gran");
    set("GRANDADS_NAME", child().GrandadsName);
    adultSlot(child().GrandadsName, "Grandad");
    set("RESPONSIBLE_ADULT_1", child().responsibleAdult1);
    set("RESPONSIBLE_ADULT_2", child().responsibleAdult2);
    adultSlot(child().responsibleAdult1, "Other");
    adultSlot(child().responsibleAdult2, "Other");
    // Slots left over from an earlier child are cleared only this far.
    if (adults < 4) {
      set("ADULT_NAME4", "");
      set("ADULT_TYPE4", "");
    }
    if (adults == 2) {
      set("ADULT_NAME3", "");
      set("ADULT_TYPE3", "");
    }
    set("NUM_ADULTS", DecimalText(adults));
    set("BROTHERS_NAME_1", child().brothersName1);
    set("BROTHERS_NAME_2", child().brothersName2);
    set("BROTHERS_NAME_3", child().brothersName3);
    set("NUM_BROTHERS", DecimalText(PresentCount(child().brothersName1, child().brothersName2,
                                                 child().brothersName3)));
    set("SISTERS_NAME_1", child().sistersName1);
    set("SISTERS_NAME_2", child().sistersName2);
    set("SISTERS_NAME_3", child().sistersName3);
    set("NUM_SISTERS", DecimalText(PresentCount(child().sistersName1, child().sistersName2,
                                                child().sistersName3)));
    set("FAVOURITE_PET_NAME", child().petName);
    set("PET_TYPE", child().petType);
    set("TEACHERS_NAME", child().teachersName);
    set("SCHOOL_NAME", child().schoolName);
    // Empty for a movie that is no game, unlike the "0" a score check answers.
    set("TOP_SCORE", shell_.highScores.GetTopScore(main.Movie(), true));
    set("VALIDATED", "1");
  });
}

}  // namespace tdwk
