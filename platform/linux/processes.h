// Other programs as /proc shows them to this user: who holds a descriptor, and what it is called.
// Another user's descriptors are visible to root only.
#pragma once

#include <functional>
#include <string>

namespace platform {

// The first process with a descriptor for which matches(fdinfo path, link target) holds, this
// process included only when includeSelf; 0 if there is none.
int FindDescriptorHolder(
    bool includeSelf,
    const std::function<bool(const std::string& fdInfo, const std::string& target)>& matches);

// The kernel's name for the program, or where that is cut at 15 bytes, the name of the file it
// was started as.
std::string ProgramName(int pid);

}  // namespace platform
