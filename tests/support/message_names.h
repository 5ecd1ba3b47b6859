// The names of the window messages the tests record, for failure messages
// and traces. Free of GoogleTest.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <string>

namespace vorntest {

struct MessageName {
  UINT message;
  const char *name;
};

// The mouse button and wheel messages, client area first.
inline const MessageName *buttonMessageNames(size_t *count) {
  static const MessageName names[] = {
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
      {WM_MBUTTONUP, "WM_MBUTTONUP"},
      {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
      {WM_XBUTTONDOWN, "WM_XBUTTONDOWN"},
      {WM_XBUTTONUP, "WM_XBUTTONUP"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
      {WM_NCMBUTTONDOWN, "WM_NCMBUTTONDOWN"},
      {WM_NCMBUTTONUP, "WM_NCMBUTTONUP"},
      {WM_NCMBUTTONDBLCLK, "WM_NCMBUTTONDBLCLK"},
      {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"},
      {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"},
      {WM_NCRBUTTONDBLCLK, "WM_NCRBUTTONDBLCLK"},
  };
  *count = sizeof names / sizeof names[0];
  return names;
}

// The name of a mouse button or wheel message; NULL for any other.
inline const char *buttonMessageName(UINT message) {
  size_t count = 0;
  const MessageName *names = buttonMessageNames(&count);
  for (size_t i = 0; i < count; ++i) {
    if (names[i].message == message) return names[i].name;
  }
  return NULL;
}

// The name of any message the tests record ("WM_ACTIVATE"), or its number
// in hexadecimal ("message 0xC123").
inline std::string messageName(UINT message) {
  if (const char *button = buttonMessageName(message)) return button;
  static const MessageName names[] = {
      {WM_NULL, "WM_NULL"},
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_PAINT, "WM_PAINT"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_WININICHANGE, "WM_WININICHANGE"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_HSCROLL, "WM_HSCROLL"},
      {WM_VSCROLL, "WM_VSCROLL"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_MDIACTIVATE, "WM_MDIACTIVATE"},
  };
  for (const MessageName &entry : names) {
    if (entry.message == message) return entry.name;
  }
  char number[32];
  snprintf(number, sizeof number, "message 0x%X", message);
  return number;
}

}  // namespace vorntest
