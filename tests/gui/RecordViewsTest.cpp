// The contact card and the conversation view: real child dialogs in a real
// parent window, fed with records built here and driven by the show and
// scroll messages; checked by layout and by the pixels they paint.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/CContactInfoBoard.h"
#include "records/CMsgInfoBoard.h"
#include "tests/gui/RecordViewsSupport.h"

// Rectangles in expectations, found by argument lookup; local to this file.
static bool operator==(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }
static std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << '(' << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ')';
}

namespace {

using records::CContactInfoBoard;
using records::CMsgInfoBoard;
using records::CMsgInfoItem;
using records_testing::RecordBuilder;
using view_test::ClientPicture;
using view_test::MainWindowStandIn;

constexpr std::int32_t kPhone = 1;
constexpr std::int32_t kEmail = 2;

// ---- the contact card

class ContactCardTest : public ::testing::Test {
 protected:
  void Show(const phone::ContactRecord* contact) {
    if (!card_.IsWindow()) {
      lists_ = view_test::ContactListsOf(build_.records);
      ASSERT_TRUE(card_.Create(parent_.handle(), lists_));
    }
    card_.Send(records::kShowContactMessage, 0, reinterpret_cast<LPARAM>(contact));
  }

  SCROLLINFO ScrollState() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(card_.m_hWnd, SB_VERT, &info);
    return info;
  }

  MainWindowStandIn parent_;
  RecordBuilder build_;
  phone::ContactLists lists_;
  CContactInfoBoard card_;
};

TEST_F(ContactCardTest, PlacedRightOfTheListAndDisabledBarWhenTheContactFits) {
  const auto& contact = build_.contact(1, "Ana Lima");
  build_.dataRow(1, kPhone, "555-0101", "2");
  Show(&contact);

  EXPECT_EQ(card_.GetRectInParent(), CContactInfoBoard::kPlacement);
  EXPECT_NE(::GetWindowLongPtrW(card_.m_hWnd, GWL_STYLE) & WS_VISIBLE, 0) << "shown";
  EXPECT_EQ(card_.name(), L"Ana Lima");
  ASSERT_EQ(card_.rows().size(), 1u);
  EXPECT_EQ(card_.rows()[0].labelRect, (RECT{5, 100, 95, 100 + card_.lineHeight()}));
  EXPECT_EQ(card_.rows()[0].valueRect.left, 100);
  const SCROLLINFO state = ScrollState();
  EXPECT_LT(state.nMax, static_cast<int>(state.nPage)) << "everything fits: nothing to scroll";
}

TEST_F(ContactCardTest, LineBreaksAndAVeryLongPhoneValueAreShownWholeAndScrollToTheEnd) {
  const auto& contact = build_.contact(2, "Long Values");
  std::string longNumber;
  for (int i = 0; i < 1000; ++i) longNumber += std::to_string(i % 10) + (i % 7 == 6 ? " " : "");
  build_.dataRow(2, kPhone, "first line\nsecond line", "1");
  build_.dataRow(2, kEmail, "a\r\nb", "2");
  build_.dataRow(2, kPhone, longNumber, "2");
  build_.dataRow(2, kPhone, "", "3");
  build_.dataRow(2, kPhone, "555-0199", "7");
  Show(&contact);

  const auto& rows = card_.rows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].lines.size(), 2u);
  EXPECT_EQ(rows[1].lines.size(), 3u) << "CR LF keeps its extra empty line";
  std::size_t shown = 0;
  for (const auto& line : rows[2].lines) shown += line.length;
  EXPECT_EQ(shown, longNumber.size()) << "every character of the long value is on some line";
  EXPECT_GT(longNumber.size(), 1000u) << "far more than a 260-byte buffer holds";
  EXPECT_GT(rows[2].lines.size(), 40u);
  const int line = card_.lineHeight();
  EXPECT_EQ(rows[3].valueRect.bottom - rows[3].valueRect.top, 0) << "an empty value has no line";
  EXPECT_EQ(rows[4].labelRect.top, rows[3].labelRect.top + line) << "but its row is one line high";
  for (std::size_t i = 0; i + 1 < 3; ++i) {
    EXPECT_EQ(rows[i + 1].labelRect.top, rows[i].valueRect.bottom) << "rows follow without a gap";
  }

  // The content is taller than the card: a 15-pixel spacer, and the bar's
  // range is the content height.
  const int contentHeight = rows.back().valueRect.bottom + CContactInfoBoard::kSpacerHeight;
  const SCROLLINFO state = ScrollState();
  EXPECT_EQ(state.nMax, contentHeight);
  EXPECT_EQ(static_cast<int>(state.nPage), card_.GetClientRect().bottom);

  // One pixel per line step, ten per wheel step; the bottom shows the last row.
  card_.Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(card_.scrollOffset(), 1);
  card_.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)));
  EXPECT_EQ(card_.scrollOffset(), 11);
  card_.Send(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(card_.scrollOffset(), contentHeight - static_cast<int>(state.nPage) + 1);

  const ClientPicture picture(card_.m_hWnd);
  RECT last = rows[4].valueRect;
  ::OffsetRect(&last, 0, -card_.scrollOffset());
  EXPECT_GT(picture.CountNear(last, RGB(50, 50, 50), 120), 5) << "the last value is drawn";
  EXPECT_LE(last.bottom, card_.GetClientRect().bottom);
}

TEST_F(ContactCardTest, DeletedContactShowsItsValuesAndWhereItWasFoundInRed) {
  const auto& vanessa = build_.deletedContact("Vanessa Price", records_testing::RecordBuilder::kWal);
  build_.deletedValue(vanessa.contactKey, kPhone, "+1 310-555-0129", "2");
  build_.deletedValue(vanessa.contactKey, 2, "vanessa@talent.example.com", "2");
  Show(&vanessa);
  EXPECT_EQ(card_.name(), L"Vanessa Price");
  ASSERT_EQ(card_.rows().size(), 3u);
  EXPECT_EQ(card_.rows()[0].label, L"Mobile");
  EXPECT_EQ(card_.rows()[1].label, L"Work Email");
  EXPECT_EQ(card_.rows()[2].label, L"Deleted:");
  EXPECT_EQ(card_.rows()[2].value, L"found in the database's write-ahead log");
  const ClientPicture picture(card_.m_hWnd);
  EXPECT_GT(picture.CountNear(card_.rows()[2].valueRect, RGB(200, 40, 40), 60), 5) << "the note is red";
}

TEST_F(ContactCardTest, NoRecordKeepsTheCardAndANewContactStartsAtTheTop) {
  const auto& tall = build_.contact(3, "Tall");
  for (int i = 0; i < 60; ++i) build_.dataRow(3, kPhone, "555-01" + std::to_string(i), "2");
  const auto& other = build_.contact(4, "Other");
  Show(&tall);
  card_.Send(WM_VSCROLL, SB_PAGEDOWN);
  ASSERT_GT(card_.scrollOffset(), 0);

  Show(nullptr);
  EXPECT_EQ(card_.name(), L"Tall");
  EXPECT_EQ(card_.rows().size(), 60u);

  Show(&other);
  EXPECT_EQ(card_.name(), L"Other");
  EXPECT_TRUE(card_.rows().empty());
  EXPECT_EQ(card_.scrollOffset(), 0);
  EXPECT_EQ(ScrollState().nPos, 0);
}

// ---- the conversation view

class ConversationViewTest : public ::testing::Test {
 protected:
  void Show(const phone::ConversationRecord* conversation) {
    if (!view_.IsWindow()) {
      lists_ = view_test::SmsListsOf(build_.records);
      ASSERT_TRUE(view_.Create(parent_.handle(), lists_));
    }
    view_.Send(records::kShowConversationMessage, 0, reinterpret_cast<LPARAM>(conversation));
  }

  // The bands of rows with text pixels inside the bubble's inner rectangle
  // as painted: one per drawn line of the body.
  int DrawnBodyLines(std::size_t index) const {
    const ClientPicture picture(view_.m_hWnd);
    RECT inner = view_.bubbles()[index].InnerRect();
    const RECT bubble = view_.BubbleRectInClient(index);
    ::OffsetRect(&inner, bubble.left, bubble.top);
    return picture.TextBands(inner, RGB(0, 0, 0), 100);
  }

  MainWindowStandIn parent_;
  RecordBuilder build_;
  phone::SmsLists lists_;
  CMsgInfoBoard view_;
};

TEST_F(ConversationViewTest, ShortWrappedAndMultiLineBodiesAreSizedToShowEveryLine) {
  const auto& conversation = build_.conversation(1);
  build_.message(1, "555", 0, phone::kDirectionReceived, "Short one", "2024-05-01 09:00");
  build_.message(1, "555", 0, phone::kDirectionSent,
                 "This reply is long enough that it has to wrap over three lines in a bubble.");
  build_.message(1, "555", 0, phone::kDirectionReceived, "one\ntwo\nthree\nfour");
  build_.message(1, "555", 0, phone::kDirectionSent, "ok");
  Show(&conversation);

  EXPECT_EQ(view_.GetRectInParent(), CMsgInfoBoard::kPlacement);
  const auto& bubbles = view_.bubbles();
  ASSERT_EQ(bubbles.size(), 4u);

  const CMsgInfoItem& shortOne = bubbles[0];
  EXPECT_EQ(shortOne.top(), 30);
  EXPECT_EQ(shortOne.kind(), records::kBubbleReceived);
  EXPECT_EQ(shortOne.frame().left, 0);
  EXPECT_EQ(shortOne.frame().top, 30);
  EXPECT_LT(shortOne.frame().right, 30 + CMsgInfoItem::kMaxTextWidth) << "a short body gets a narrow frame";
  const int line = shortOne.InnerRect().bottom - shortOne.InnerRect().top;
  EXPECT_EQ(shortOne.height(), line + 63);
  EXPECT_EQ(DrawnBodyLines(0), 1);

  const CMsgInfoItem& wrapped = bubbles[1];
  EXPECT_EQ(wrapped.top(), shortOne.bottom());
  EXPECT_EQ(wrapped.frame().right, CMsgInfoItem::kWidth) << "sent messages sit on the right";
  EXPECT_EQ(wrapped.height(), 3 * line + 66);
  EXPECT_EQ(DrawnBodyLines(1), 3) << "no wrapped line is cut off";

  const CMsgInfoItem& multiLine = bubbles[2];
  EXPECT_EQ(multiLine.height(), 4 * line + 63);
  EXPECT_EQ(DrawnBodyLines(2), 4) << "every line break gets its line";

  // The fill colours of both kinds, inside their frames.
  const ClientPicture picture(view_.m_hWnd);
  const RECT received = view_.BubbleRectInClient(0);
  const RECT inner = shortOne.InnerRect();
  EXPECT_EQ(picture.At(received.left + inner.right - 2, received.top + inner.bottom - 2), RGB(216, 216, 216));
  const RECT sent = view_.BubbleRectInClient(3);
  const RECT sentInner = bubbles[3].InnerRect();
  EXPECT_EQ(picture.At(sent.left + sentInner.left + 1, sent.top + sentInner.bottom - 1), RGB(136, 193, 33));

  SCROLLINFO state{};
  state.cbSize = sizeof state;
  state.fMask = SIF_ALL;
  ::GetScrollInfo(view_.m_hWnd, SB_VERT, &state);
  EXPECT_EQ(state.nMax, bubbles.back().bottom() / 10);
}

TEST_F(ConversationViewTest, AWordWiderThanTheBubbleIsBrokenInsideTheFrame) {
  const auto& conversation = build_.conversation(2);
  build_.message(2, "555", 0, phone::kDirectionReceived, std::string(60, 'W'));
  Show(&conversation);
  ASSERT_EQ(view_.bubbles().size(), 1u);
  const RECT inner = view_.bubbles()[0].InnerRect();
  EXPECT_LE(inner.right - inner.left, CMsgInfoItem::kMaxTextWidth);
  EXPECT_GE(DrawnBodyLines(0), 3) << "60 W are far wider than one line";
  const ClientPicture picture(view_.m_hWnd);
  const RECT bubble = view_.BubbleRectInClient(0);
  RECT beyond{bubble.left + inner.right, bubble.top + inner.top, bubble.right, bubble.top + inner.bottom};
  EXPECT_EQ(picture.CountNear(beyond, RGB(0, 0, 0), 100), 0) << "no text right of the frame";
}

TEST_F(ConversationViewTest, DeletedMessageIsMarkedInRedOnItsSideWithWhereItWasFound) {
  const auto& conversation = build_.conversation(3);
  build_.message(3, "+15125550163", 0, phone::kDirectionSent, "Surprise party on Saturday", "2019-01-10 18:00:00");
  build_.deletedMessage(3, "+15125550163", phone::kDirectionReceived, "Don't tell her about the party!",
                        "2019-01-10 18:02:00", records_testing::RecordBuilder::kWal);
  Show(&conversation);
  ASSERT_EQ(view_.bubbles().size(), 2u);
  EXPECT_FALSE(view_.bubbles()[0].deleted());
  const CMsgInfoItem& bubble = view_.bubbles()[1];
  EXPECT_TRUE(bubble.deleted());
  EXPECT_EQ(bubble.kind(), records::kBubbleReceived) << "on the side it was written from";
  EXPECT_EQ(bubble.date(), L"2019-01-10 18:02:00 \u00B7 deleted");
  EXPECT_EQ(bubble.note(), L"found in the database's write-ahead log");
  EXPECT_GT(bubble.height(), bubble.frame().bottom) << "the note stands under the frame";
  const ClientPicture picture(view_.m_hWnd);
  RECT dateBand = view_.BubbleRectInClient(1);
  dateBand.bottom = dateBand.top + CMsgInfoItem::kDateBand;
  EXPECT_GT(picture.CountNear(dateBand, CMsgInfoItem::kDeletedColour, 60), 5) << "the date line is red";

  Show(nullptr);
  EXPECT_TRUE(view_.bubbles().empty()) << "no record empties the view";
}

TEST_F(ConversationViewTest, EveryMessageOfA20000MessageConversationIsReachable) {
  const auto& conversation = build_.conversation(9);
  constexpr int kMessages = 20000;
  for (int i = 0; i < kMessages; ++i) {
    const std::string body = i % 10 == 0 ? "message " + std::to_string(i) + "\nwith a second line"
                                         : "message " + std::to_string(i);
    build_.message(9, "555", 0, i % 2 == 0 ? phone::kDirectionReceived : phone::kDirectionSent, body);
  }
  Show(&conversation);
  const auto& bubbles = view_.bubbles();
  ASSERT_EQ(bubbles.size(), static_cast<std::size_t>(kMessages));
  EXPECT_EQ(bubbles.back().body(), L"message 19999");

  view_.Send(WM_VSCROLL, SB_BOTTOM);
  const RECT client = view_.GetClientRect();
  const RECT last = view_.BubbleRectInClient(kMessages - 1);
  EXPECT_GE(last.top, 0);
  EXPECT_LE(last.bottom, client.bottom) << "the last bubble is whole in view at the bottom";
  const RECT inner = bubbles.back().InnerRect();
  const ClientPicture picture(view_.m_hWnd);
  EXPECT_EQ(picture.At(last.left + inner.left + 1, last.top + inner.bottom - 1), RGB(136, 193, 33))
      << "and it is drawn there";

  // Wheel and page steps move from there as they do anywhere.
  const int bottom = view_.scrollPosition();
  view_.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
  EXPECT_EQ(view_.scrollPosition(), bottom - CMsgInfoBoard::kWheelStep);
  view_.Send(WM_VSCROLL, SB_TOP);
  EXPECT_EQ(view_.scrollPosition(), 0);
}

}  // namespace

namespace {

// The panes as the main window creates them: on the records of a scan, here
// the live records of the demo phone.
TEST(RecordViewsOnPhoneRecords, CardAndViewShowTheDemoPhonesRecords) {
  phone::PhoneRecords phone;
  phone.ReadContacts(std::string(ZR_SOURCE_DIR) + "/demo/contacts2.db");
  phone.ReadSms(std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db");
  ASSERT_NE(phone.contactLists().contacts, nullptr);
  ASSERT_NE(phone.smsLists().conversations, nullptr);
  MainWindowStandIn parent;

  CContactInfoBoard card;
  ASSERT_TRUE(card.Create(parent.handle(), phone));
  std::size_t rows = 0;
  for (const phone::ContactRecord* contact = phone.contactLists().contacts; contact != nullptr; contact = contact->next) {
    card.Send(records::kShowContactMessage, 0, reinterpret_cast<LPARAM>(contact));
    rows += card.rows().size();
  }
  EXPECT_GT(rows, 40u) << "the demo contacts' phones and e-mail addresses";

  CMsgInfoBoard view;
  ASSERT_TRUE(view.Create(parent.handle(), phone));
  std::size_t bubbles = 0;
  for (const phone::ConversationRecord* thread = phone.smsLists().conversations; thread != nullptr;
       thread = thread->next) {
    view.Send(records::kShowConversationMessage, 0, reinterpret_cast<LPARAM>(thread));
    bubbles += view.bubbles().size();
  }
  EXPECT_EQ(bubbles, 263u) << "every live message of the demo phone";
}

}  // namespace
