#pragma once
// The labels of Android's phone and e-mail type codes (the contacts
// provider's Phone.TYPE and Email.TYPE), shared by the contacts export file
// and the contact card, and of the message boxes of the SMS provider
// (Sms.TYPE), for the spreadsheet and the report.

#include <cstdint>
#include <string_view>

namespace records {

// PhoneTypeLabels[type] for types 0 to 20; an empty label has no name here
// (0 custom, 8 callback, 9 car, 12 main).
inline constexpr std::u16string_view PhoneTypeLabels[] = {
    u"",      u"Home",  u"Mobile",  u"Work",        u"WorkFax",   u"HomeFax",   u"Pager",
    u"Other", u"",      u"",        u"CompanyMain", u"ISDN",      u"",          u"OtherFax",
    u"Radio", u"Telex", u"TTY_TTD", u"WorkMobile",  u"WorkPager", u"Assistant", u"MMS",
};

// EmailTypeLabels[type] for types 0 to 4.
inline constexpr std::u16string_view EmailTypeLabels[] = {
    u"", u"Home Email", u"Work Email", u"Other Email", u"Mobile Email",
};

// MessageTypeLabels[type] for types 0 to 6: the box a message is kept in.
inline constexpr std::u16string_view MessageTypeLabels[] = {
    u"", u"Inbox", u"Sent", u"Draft", u"Outbox", u"Failed", u"Queued",
};

// The label of a phone type; empty for a type without one (below 1, above
// 20, 8, 9, 12).
std::u16string_view PhoneTypeLabel(std::int32_t type);

// The label of an e-mail type; empty for a type other than 1 to 4 (the
// export writes the empty label, the contact card shows "Email" instead).
std::u16string_view EmailTypeLabel(std::int32_t type);

// The label of a message type; empty for a type other than 1 to 6.
std::u16string_view MessageTypeLabel(std::int32_t type);

// The name of a phone or e-mail type for every type Android has, for the
// exports and views that name them all: the labels above, and for phones
// also 8 "Callback", 9 "Car" and 12 "Main"; a custom type (0) by the label
// the user gave it (`label`, narrow text), "Custom" when there is none.
// Empty for a number Android does not use.
std::u16string PhoneTypeName(std::int32_t type, const char* label);
std::u16string EmailTypeName(std::int32_t type, const char* label);

// A data row's type code text as a number, read the way atoi reads it:
// leading white space, a sign, then decimal digits up to the first other
// character. Null or no digits give 0; a value past the 32-bit range is
// clamped to it (atoi leaves that undefined).
std::int32_t TypeCodeOf(const char* text);

}  // namespace records
