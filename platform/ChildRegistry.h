#pragma once
// The children that RunProcess started and has not waited for yet, shared by
// RunProcess and EndProcessesNamed on both systems. An entry is added under
// the lock together with the start, and taken out under the lock together
// with the wait (the reaping on POSIX), so that EndProcessesNamed never
// signals a process id or handle that has been given back to the system.

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

template <typename Child>
class ChildRegistry {
 public:
  // The one registry of this process for that kind of child.
  static ChildRegistry& instance() {
    static ChildRegistry registry;
    return registry;
  }

  std::mutex& lock() { return lock_; }

  // The entries; the caller holds the lock.
  std::vector<Child>& children() { return children_; }

  // Takes out the first entry that `matches` and returns it; nothing when
  // there is none. The caller holds the lock.
  template <typename Match>
  std::optional<Child> take(Match matches) {
    const auto entry = std::find_if(children_.begin(), children_.end(), matches);
    if (entry == children_.end()) return std::nullopt;
    Child child = *entry;
    children_.erase(entry);
    return child;
  }

 private:
  std::mutex lock_;
  std::vector<Child> children_;
};

}  // namespace platform
