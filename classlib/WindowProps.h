// An object kept in a window's property and mirrored in a table by window.
//
// The property is the record; the table spares the lookup a read of the property, which costs a
// round trip to the window server under Wine (more than a message's whole way through the class
// library). The table is written and cleared exactly where the property is set and removed, and a
// window that is gone leaves it, since its handle may be given to a new window. A window missing
// from the table is looked up by its property (Lookup says so; the caller decides whether the
// property may be read).
#pragma once

#include "classlib/Win.h"

#include <mutex>
#include <unordered_map>

template <class T>
class TWindowPropTable {
 public:
  explicit TWindowPropTable(const char* Prop) : Prop_(Prop) {}

  void Set(HWND Wnd, T* Object) {
    SetPropA(Wnd, Prop_, Object);
    std::lock_guard<std::mutex> hold(Lock_);
    Map_[Wnd] = Object;
  }

  // Object leaves the table, and the property of a live window when it names Object.
  void Remove(HWND Wnd, T* Object, bool WindowAlive = true) {
    bool mirrored = false;
    {
      std::lock_guard<std::mutex> hold(Lock_);
      if (auto at = Map_.find(Wnd); at != Map_.end() && at->second == Object) {
        Map_.erase(at);
        mirrored = true;
      }
    }
    // (The table named the object: the property is its.)
    if (WindowAlive && (mirrored || GetPropA(Wnd, Prop_) == Object)) RemovePropA(Wnd, Prop_);
  }

  // The window is gone: whatever the table held for it goes.
  void Forget(HWND Wnd) {
    std::lock_guard<std::mutex> hold(Lock_);
    Map_.erase(Wnd);
  }

  // True with Object set when the table holds the window; false when only its property can tell.
  bool Lookup(HWND Wnd, T*& Object) {
    std::lock_guard<std::mutex> hold(Lock_);
    auto at = Map_.find(Wnd);
    if (at == Map_.end()) return false;
    Object = at->second;
    return true;
  }

  T* FromProperty(HWND Wnd) const { return static_cast<T*>(GetPropA(Wnd, Prop_)); }

 private:
  const char* Prop_;
  std::mutex Lock_;
  std::unordered_map<HWND, T*> Map_;
};
