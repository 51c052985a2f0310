// Records the messages a window receives and compares them with an expected table.
//
// A spy watches a window either by subclassing it (Watch) or by being fed from a class-library
// WindowProc override (Record). Each entry keeps the message, its parameters and whether it was
// posted (retrieved from the queue) or sent. An expected table lists entries with flags that say
// which parts to compare and which entries are optional; CheckSequence walks both lists and, on
// a mismatch, prints both so the difference can be read off.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qvtest {

enum MsgFlags : unsigned {
  msgSent = 0x01,      // must have been sent (not retrieved from the queue)
  msgPosted = 0x02,    // must have been posted
  msgWParam = 0x04,    // compare WParam
  msgLParam = 0x08,    // compare LParam
  msgOptional = 0x10,  // may be missing
  msgHwnd = 0x20,      // compare the window (set on recording when a spy watches several windows)
};

struct MsgEntry {
  UINT Msg = 0;
  unsigned Flags = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  HWND Wnd = nullptr;
};

class MessageSpy {
 public:
  MessageSpy();
  ~MessageSpy();
  MessageSpy(const MessageSpy&) = delete;
  MessageSpy& operator=(const MessageSpy&) = delete;

  // Subclasses the window; the original procedure is put back by Unwatch or the destructor.
  void Watch(HWND wnd);
  void Unwatch(HWND wnd);
  // Records what the window gets through the thread's message hooks instead: every message sent
  // to it and every message taken from the queue for it, whatever procedures are put in front of
  // its own later (an adapter that attaches afterwards and answers a message itself). The first
  // spy alive owns the thread's hooks; another one subclasses the window instead.
  void Hook(HWND wnd);

  // Feeds one message by hand (from a WindowProc override or a hook).
  void Record(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  // Messages that are not interesting for a sequence (WM_GETICON, WM_TIMER of foreign timers ...).
  void Ignore(UINT msg) { Ignored_.push_back(msg); }
  void IgnoreDefaults();

  void Clear() { Entries_.clear(); }
  const std::vector<MsgEntry>& Entries() const { return Entries_; }
  bool Contains(UINT msg) const;
  int Count(UINT msg) const;

 private:
  struct Watched {
    HWND Wnd;
    WNDPROC Old;
  };
  static LRESULT CALLBACK SpyProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK GetMsgHook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam);
  bool IsIgnored(UINT msg) const;
  bool IsHooked(HWND wnd) const;
  void Add(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, unsigned flags);

  std::vector<MsgEntry> Entries_;
  std::vector<Watched> Watched_;
  std::vector<UINT> Ignored_;
  std::vector<HWND> Hooked_;
  HHOOK Hook_ = nullptr;
  HHOOK CallHook_ = nullptr;
  MSG LastRetrieved_{};
  bool HaveRetrieved_ = false;
};

// Compares recorded entries with the expected table; returns an empty string on a match and a
// readable report of both sequences otherwise. Use as EXPECT_EQ("", CheckSequence(...)).
std::string CheckSequence(const std::vector<MsgEntry>& actual, const std::vector<MsgEntry>& expected);

// A readable name of a window message ("WM_PAINT", "CM_MOUSEENTER", or the number in hex).
std::string MessageName(UINT msg);

}  // namespace qvtest
