// The modules a process has loaded, walked here from its own loader list
// (PEB.Ldr, InLoadOrderModuleList) in the layout of a 32-bit or a 64-bit
// process. Needs no Windows: the memory is read through MemoryReader.
// The list is the process's to forge: the walk takes at most `most`
// entries, meets each entry once (a list that loops ends where it returns),
// stops when asked, and reads at most kMostNameUnits of a name; whatever it
// could not take is marked, never waited for.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "procinfo/params_block.h"

struct LoaderModule {
  uint64_t base = 0, size = 0;
  std::u16string path, name;  // as the process keeps them, up to kMostNameUnits
};

struct LoaderList {
  enum class State : uint8_t {
    Unread,  // the PEB or the loader data could not be read
    Read,    // the whole list, back to its head
    Cut,     // more than `most` entries, a loop, a link that cannot be read, or stopped
  };
  State state = State::Unread;
  std::vector<LoaderModule> modules;
};

inline constexpr size_t kMostLoaderEntries = 4096;
inline constexpr size_t kMostNameUnits = 1024;

// `peb`: the address of the process's PEB of that width. `stop`, when set,
// is asked before each entry.
LoaderList ReadLoaderList(MemoryReader& memory, uint64_t peb, PointerWidth width,
                          size_t most = kMostLoaderEntries,
                          const std::function<bool()>& stop = nullptr);
