// The debug privilege in the program's own token, switched on while any
// operation on other processes, on any thread, holds it.
#pragma once
#include <windows.h>

#include "base/handles.h"

// Enables or disables one named privilege; success is judged by the last
// error alone (a privilege the account lacks gives ERROR_NOT_ALL_ASSIGNED).
bool SetPrivilege(HANDLE token, const char* name, bool enable);

// Holds the debug privilege for one scope: the first scope of the program
// switches it on, the last to end switches it off again. Where the token
// cannot be opened or the account lacks the privilege, the operation goes on
// without it, and the privilege is switched off only where it was switched on.
class DebugPrivilegeScope {
 public:
  DebugPrivilegeScope();
  ~DebugPrivilegeScope();
  DebugPrivilegeScope(const DebugPrivilegeScope&) = delete;
  DebugPrivilegeScope& operator=(const DebugPrivilegeScope&) = delete;
  bool Enabled() const { return enabled_; }

 private:
  const bool enabled_;
};
