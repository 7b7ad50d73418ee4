// Pictures of every screen for people to look at: written when
// ZR_SCREENSHOT_DIR names a folder (make screenshots), skipped otherwise.

#include <gtest/gtest.h>

#include <climits>

#include <functional>
#include <string>

#include "app/CMainDlg.h"
#include "controls/CAboutBox.h"
#include "controls/CMsgBox.h"
#include "records/CContactInfoBoard.h"
#include "records/CMsgInfoBoard.h"
#include "records/RecordViewMessages.h"
#include "tests/app/LocalHttpServer.h"
#include "tests/gui/DemoPhoneLoader.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/RecordViewsSupport.h"
#include "tests/gui/Screenshot.h"

namespace {

class Screenshots : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = gui_test::ScreenshotFolder();
    if (folder_.empty()) GTEST_SKIP() << "ZR_SCREENSHOT_DIR is not set";
  }

  void Save(HWND window, const wchar_t* name) {
    // Let animations and deferred painting settle before the copy.
    gui_test::PumpUntil([] { return false; }, 400);
    EXPECT_TRUE(gui_test::SaveWindowPng(window, folder_ + L"\\" + name)) << "cannot save the screenshot";
  }

  std::wstring folder_;
};

}  // namespace

TEST_F(Screenshots, ConnectPage) {
  CMainDlg window(gui_test::NoPhone());
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    Save(handle, L"connect-page.png");
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
}

TEST_F(Screenshots, FailureScreen) {
  CMainDlg window(gui_test::NoPhone());
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    window.ShowLoadFailure();
    Save(handle, L"failure-screen.png");
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
}

TEST_F(Screenshots, WarningBox) {
  gui_test::WhenDialogAppears(nullptr, [&](HWND box) {
    Save(box, L"warning-box.png");
    ::PostMessageW(box, WM_COMMAND, IDC_MSG_OK, 0);
  });
  controls::CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxOk,
                          L"Please select the file(s) you want to recover.", nullptr);
}

TEST_F(Screenshots, YesNoBox) {
  gui_test::WhenDialogAppears(nullptr, [&](HWND box) {
    Save(box, L"yes-no-box.png");
    ::PostMessageW(box, WM_COMMAND, IDC_MSG_NO, 0);
  });
  controls::CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxYes | controls::kMsgBoxNo,
                          L"Are you sure to go back to reload the data from Android phone?", nullptr);
}

// The update prompt over the connect page, as a server offering another
// version makes it appear a second after the window opens.
TEST_F(Screenshots, UpdatePrompt) {
  test_http::LocalHttpServer server(R"({"PhoneContactsRescue":[{"Version":"2.1.0.0","Nversion":"2.2.0.0",)"
                                    R"("Update_URL":"http://www.zephyrloom.example/download/zephyrloom.exe"}]})");
  const test_http::UpdateAddressVariable address(server.Url());
  CMainDlg window;
  bool saved = false;
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    gui_test::WhenDialogAppears(handle, [&](HWND box) {
      Save(box, L"update-prompt.png");
      saved = true;
      ::PostMessageW(box, WM_COMMAND, IDC_MSG_NO, 0);
    });
    gui_test::PumpUntil([&] { return window.m_updateCheck.Finished(); }, 20000);
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
  EXPECT_TRUE(saved) << "the prompt did not appear";
}

TEST_F(Screenshots, AboutBox) {
  gui_test::WhenDialogAppears(nullptr, [&](HWND box) {
    Save(box, L"about-box.png");
    ::PostMessageW(box, WM_COMMAND, IDC_ABOUT_OK, 0);
  });
  controls::CAboutBox about(nullptr);
  about.DoModal(nullptr);
}

// The contact card in a plain window of the main window's size: several
// phones, an e-mail address, an organisation and a long wrapped value.
TEST_F(Screenshots, ContactCard) {
  view_test::MainWindowStandIn parent(true);
  records_testing::RecordBuilder build;
  const auto& contact = build.contact(1, "Margaret Hollingsworth-Delacroix");
  build.dataRow(1, 3, "Lumen Labs", nullptr);
  build.dataRow(1, 1, "+44 20 7946 0321", "2");
  build.dataRow(1, 1, "020 7946 0958", "1");
  build.dataRow(1, 1, "+33 1 99 00 12 34 ext. 5521, ask the front desk for the research wing", "3");
  build.dataRow(1, 1, "555-0142\n555-0143 (evenings)", "17");
  build.dataRow(1, 2, "margaret.hollingsworth@lumen-labs.example.com", "2");
  build.dataRow(1, 2, "mh@example.org", "1");
  const phone::ContactLists lists = view_test::ContactListsOf(build.records);
  records::CContactInfoBoard card;
  ASSERT_TRUE(card.Create(parent.handle(), lists));
  card.Send(records::kShowContactMessage, 0, reinterpret_cast<LPARAM>(&contact));
  Save(card.m_hWnd, L"contact-card.png");
}

// The conversation view: received and sent bubbles, a long wrapped body,
// a body with line breaks; then scrolled to the end: Chinese text and an
// emoji, and a long address without spaces.
TEST_F(Screenshots, ConversationView) {
  view_test::MainWindowStandIn parent(true);
  records_testing::RecordBuilder build;
  const auto& conversation = build.conversation(4);
  build.message(4, "555", 0, phone::kDirectionReceived, "Are you still coming tonight?", "2024-05-01 18:02:11");
  build.message(4, "555", 0, phone::kDirectionSent, "Yes!", "2024-05-01 18:03:40");
  build.message(4, "555", 0, phone::kDirectionReceived,
                "Great. Parking is behind the building, the code for the gate is 4471. Bring the charger for "
                "the laptop please, mine died this afternoon.",
                "2024-05-01 18:05:02");
  build.message(4, "555", 0, phone::kDirectionSent, "Shopping list:\n- bread\n- milk\n- candles",
                "2024-05-01 18:07:45");
  build.message(4, "555", 0, phone::kDirectionReceived, "ok", "2024-05-01 18:08:00");
  build.message(4, "555", 0, phone::kDirectionSent, "收到 👍 à demain", "2024-05-01 18:09:12");
  build.message(4, "555", 0, phone::kDirectionReceived,
                "Map: https://maps.example.com/place/LumenLabs/@51.5072,-0.1276,17z?entry=shared", "2024-05-01 18:10:30");
  const phone::SmsLists lists = view_test::SmsListsOf(build.records);
  records::CMsgInfoBoard view;
  ASSERT_TRUE(view.Create(parent.handle(), lists));
  view.Send(records::kShowConversationMessage, 0, reinterpret_cast<LPARAM>(&conversation));
  Save(view.m_hWnd, L"conversation-view.png");
  view.Send(WM_VSCROLL, SB_BOTTOM);
  Save(view.m_hWnd, L"conversation-view-end.png");
}

namespace {

// Selects the first row whose record passes `wanted` and shows it in the
// detail pane, as a click on it does.
template <typename Record, typename Wanted>
void showRow(CMainDlg& window, UINT showMessage, HWND pane, Wanted wanted) {
  controls::CListViewCheck1& list = *window.m_pListView;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (!wanted(*reinterpret_cast<const Record*>(list.RowData(row)))) continue;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    list.Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    ::SendMessageW(pane, showMessage, 0, list.RowData(row));
    return;
  }
  ADD_FAILURE() << "no such row on the demo phone";
}

// The demo phone's scan page, with `arrange` done before the picture.
void scanPageShot(const std::function<void(CMainDlg&)>& arrange, const std::function<void(HWND)>& save) {
  CMainDlg window(gui_test::NoPhone());
  gui_test::WhenDialogAppears(nullptr, [&](HWND handle) {
    if (gui_test::LoadDemoPhone(window)) {
      arrange(window);
      save(handle);
    }
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
}

bool hasThread(const phone::ConversationRecord& record, std::int32_t thread) {
  return record.deleted == 0 && record.threadKey == thread;
}

}  // namespace

TEST_F(Screenshots, ScanPageContacts) {
  scanPageShot(
      [](CMainDlg& window) {
        showRow<phone::ContactRecord>(window, records::kShowContactMessage, window.m_pContactBoard->m_hWnd,
                                      [](const phone::ContactRecord& record) {
                                        return record.deleted == 0 && record.displayName != nullptr &&
                                               std::string(record.displayName) == "\xE4\xBD\x90\xE8\x97\xA4\xE5\x81\xA5";
                                      });
        // Back to the top, where the recovered contacts are.
        window.m_pListView->Send(LVM_ENSUREVISIBLE, 0, FALSE);
      },
      [&](HWND handle) { Save(handle, L"scan-page-contacts.png"); });
}

TEST_F(Screenshots, ScanPageMessages) {
  scanPageShot(
      [](CMainDlg& window) {
        window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hCategories[1]));
        showRow<phone::ConversationRecord>(window, records::kShowConversationMessage, window.m_pMsgBoard->m_hWnd,
                                           [](const phone::ConversationRecord& record) { return hasThread(record, 1); });
      },
      [&](HWND handle) { Save(handle, L"scan-page-messages.png"); });
}

// A deleted contact, whole: its card with every value and where it was found.
TEST_F(Screenshots, ScanPageDeletedContact) {
  scanPageShot(
      [](CMainDlg& window) {
        showRow<phone::ContactRecord>(window, records::kShowContactMessage, window.m_pContactBoard->m_hWnd,
                                      [](const phone::ContactRecord& record) {
                                        return record.deleted != 0 && record.displayName != nullptr &&
                                               std::string(record.displayName) == "Vanessa Price";
                                      });
      },
      [&](HWND handle) { Save(handle, L"scan-page-deleted-contact.png"); });
}

// A live conversation with deleted messages among its live ones: the
// shortest such, so that they show without scrolling.
TEST_F(Screenshots, ScanPageDeletedMessage) {
  scanPageShot(
      [](CMainDlg& window) {
        window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hCategories[1]));
        std::int32_t fewest = INT32_MAX;
        for (const phone::ConversationRecord* c = window.Records().smsLists().conversations; c != nullptr; c = c->next) {
          if (c->deletedCount > 0 && c->messageCount < fewest) fewest = c->messageCount;
        }
        showRow<phone::ConversationRecord>(window, records::kShowConversationMessage, window.m_pMsgBoard->m_hWnd,
                                           [fewest](const phone::ConversationRecord& record) {
                                             return record.deleted == 0 && record.deletedCount > 0 &&
                                                    record.messageCount == fewest;
                                           });
      },
      [&](HWND handle) { Save(handle, L"scan-page-deleted-message.png"); });
}

// A conversation that only deleted messages hold: its thread is gone.
TEST_F(Screenshots, ScanPageDeletedConversation) {
  scanPageShot(
      [](CMainDlg& window) {
        window.m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(window.m_hCategories[1]));
        showRow<phone::ConversationRecord>(window, records::kShowConversationMessage, window.m_pMsgBoard->m_hWnd,
                                           [](const phone::ConversationRecord& record) { return record.deleted != 0; });
      },
      [&](HWND handle) { Save(handle, L"scan-page-deleted-conversation.png"); });
}
