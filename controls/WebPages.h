#pragma once
// The vendor's web pages that buttons, menu entries and links open, and
// the host that the update check asks.

#include "ProductVersion.h"

namespace controls {

constexpr const wchar_t* kVendorHost = L"www.zephyrloom.example";
constexpr const wchar_t* kVendorSite = L"https://www.zephyrloom.example";
constexpr const wchar_t* kProductPage = L"https://www.zephyrloom.example/phone-sms-contacts-rescue.html";
constexpr const wchar_t* kSupportPage = L"https://www.zephyrloom.example/support.html";
constexpr const wchar_t* kOnlineHelpPage = L"https://www.zephyrloom.example/online-help/phone-sms-contacts-rescue/";

constexpr const wchar_t* kProductName = L"Zephyrloom Phone SMS + Contacts Rescue";
constexpr const wchar_t* kProductVersion = ZR_VERSION_WIDE;

}  // namespace controls
