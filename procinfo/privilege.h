// The debug privilege in the program's own token, switched on for the length
// of one operation on other processes.
#pragma once
#include <windows.h>

#include "base/handles.h"

// Enables or disables one named privilege; success is judged by the last
// error alone (a privilege the account lacks gives ERROR_NOT_ALL_ASSIGNED).
bool SetPrivilege(HANDLE token, const char* name, bool enable);

// Holds the debug privilege for one scope. Where the token cannot be opened
// or the account lacks the privilege, the operation goes on without it, and
// the privilege is switched off at the end only where it was switched on.
class DebugPrivilegeScope {
 public:
  DebugPrivilegeScope();
  ~DebugPrivilegeScope();
  DebugPrivilegeScope(const DebugPrivilegeScope&) = delete;
  DebugPrivilegeScope& operator=(const DebugPrivilegeScope&) = delete;
  bool Enabled() const { return enabled_; }

 private:
  base::UniqueHandle token_;  // owned
  bool enabled_ = false;
};
