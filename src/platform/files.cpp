#include "platform/files.h"

#include <cerrno>
#include <cstring>

namespace velda {

bool SameFile(const std::string& a, const std::string& b) {
    const FileIdentity first = IdentifyFile(a);
    const FileIdentity second = IdentifyFile(b);
    return first.known && second.known && first.volume == second.volume && first.index == second.index;
}

std::string ErrorText(int errorNumber) { return std::strerror(errorNumber); }

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (FileNameStart(folder) == folder.size()) return folder + name;  // ends in a separator
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

}  // namespace velda
