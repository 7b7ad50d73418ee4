#include "tests/program/RemoteUi.h"

namespace program_test {

namespace {

// A block of memory in another process, freed with the object.
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, std::size_t size)
      : process_(process),
        address_(static_cast<char*>(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))) {}
  ~RemoteBlock() {
    if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  char* at(std::size_t offset) const { return address_ + offset; }
  bool ok() const { return address_ != nullptr; }
  void write(std::size_t offset, const void* data, std::size_t size) const {
    ::WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
  }
  void read(std::size_t offset, void* data, std::size_t size) const {
    ::ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  char* address_;
};

}  // namespace

std::vector<HTREEITEM> RemoteUi::TreeItems(HWND tree) const {
  std::vector<HTREEITEM> items;
  const auto root = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  if (root == nullptr) return items;
  items.push_back(root);
  for (auto child = reinterpret_cast<HTREEITEM>(
           ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
       child != nullptr;
       child = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                          reinterpret_cast<LPARAM>(child)))) {
    items.push_back(child);
  }
  return items;
}

std::wstring RemoteUi::TreeItemText(HWND tree, HTREEITEM item) const {
  constexpr int kChars = 260;
  RemoteBlock block(process_, sizeof(TVITEMW) + kChars * sizeof(wchar_t));
  if (!block.ok()) return L"";
  TVITEMW request{};
  request.mask = TVIF_TEXT;
  request.hItem = item;
  request.pszText = reinterpret_cast<wchar_t*>(block.at(sizeof(TVITEMW)));
  request.cchTextMax = kChars;
  block.write(0, &request, sizeof request);
  const wchar_t nothing = 0;
  block.write(sizeof(TVITEMW), &nothing, sizeof nothing);
  ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.at(0)));
  wchar_t text[kChars] = {};
  block.read(sizeof(TVITEMW), text, sizeof text - sizeof(wchar_t));
  return text;
}

RECT RemoteUi::TreeItemRect(HWND tree, HTREEITEM item) const {
  RemoteBlock block(process_, sizeof(RECT));
  RECT rect{};
  if (!block.ok()) return rect;
  // The request carries the item in the rectangle's place.
  block.write(0, &item, sizeof item);
  ::SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(block.at(0)));
  block.read(0, &rect, sizeof rect);
  return rect;
}

void ClickAt(HWND window, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  ::SendMessageW(window, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(window, WM_LBUTTONUP, 0, at);
}

void PressKey(HWND window, WPARAM key) {
  ::SendMessageW(window, WM_KEYDOWN, key, 1);
  ::SendMessageW(window, WM_KEYUP, key, 0xC0000001);
}

HWND OwnedDialog(HWND owner) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* wanted = reinterpret_cast<Search*>(data);
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (lstrcmpW(name, L"#32770") == 0 && ::GetWindow(window, GW_OWNER) == wanted->owner &&
            ::IsWindowVisible(window)) {
          wanted->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring ChildText(HWND dialog, int id) {
  wchar_t text[1024] = {};
  ::GetDlgItemTextW(dialog, id, text, 1024);
  return text;
}

bool ChildVisible(HWND dialog, int id) { return ::IsWindowVisible(::GetDlgItem(dialog, id)) != FALSE; }

int ProgressPosition(HWND mainWindow) {
  return static_cast<int>(::SendMessageW(::GetDlgItem(mainWindow, 1005), PBM_GETPOS, 0, 0));
}

}  // namespace program_test
