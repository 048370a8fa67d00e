#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/internet_transfer.h"

namespace platform {

// The handles an internet transfer gives out: internet handles, each with its
// agent, and URL handles opened through them. Each handle carries what the
// transfer keeps behind it (`Resource`); closing an internet handle closes the
// URL handles opened through it. Every call may come from any thread.
template <class Resource>
class TransferHandles {
 public:
  using Handle = InternetTransfer::Handle;

  Handle openInternet(std::string agent, Resource resource) {
    std::lock_guard lock(mutex_);
    const Handle handle = next_++;
    entries_.emplace(handle, Entry{0, std::move(agent), std::move(resource)});
    return handle;
  }

  // The agent of an open internet handle; nothing for a URL handle or an unknown one.
  std::optional<std::string> agentOf(Handle internet) const {
    std::lock_guard lock(mutex_);
    const auto entry = entries_.find(internet);
    if (entry == entries_.end() || entry->second.parent != 0) return std::nullopt;
    return entry->second.agent;
  }

  // 0 when the internet handle was closed meanwhile: the resource is dropped,
  // and whatever it stands for is the caller's to release.
  Handle openUrl(Handle internet, Resource resource) {
    std::lock_guard lock(mutex_);
    if (!entries_.contains(internet)) return 0;
    const Handle handle = next_++;
    entries_.emplace(handle, Entry{internet, {}, std::move(resource)});
    return handle;
  }

  // Forgets the handle (and, for an internet handle, its URL handles) and hands
  // back what they carried; nothing when the handle is unknown.
  std::optional<std::vector<Resource>> close(Handle handle) {
    std::lock_guard lock(mutex_);
    const auto entry = entries_.find(handle);
    if (entry == entries_.end()) return std::nullopt;
    std::vector<Resource> closed;
    const bool isInternet = entry->second.parent == 0;
    closed.push_back(std::move(entry->second.resource));
    entries_.erase(entry);
    if (isInternet) {
      std::erase_if(entries_, [&](auto& item) {
        if (item.second.parent != handle) return false;
        closed.push_back(std::move(item.second.resource));
        return true;
      });
    }
    return closed;
  }

  // Forgets every handle, handing back what they carried.
  std::vector<Resource> closeAll() {
    std::lock_guard lock(mutex_);
    std::vector<Resource> closed;
    for (auto& [handle, entry] : entries_) closed.push_back(std::move(entry.resource));
    entries_.clear();
    return closed;
  }

  std::size_t size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
  }

 private:
  struct Entry {
    Handle parent = 0;  // 0: an internet handle
    std::string agent;
    Resource resource;
  };

  mutable std::mutex mutex_;
  std::map<Handle, Entry> entries_;
  Handle next_ = 0x100;
};

}  // namespace platform
