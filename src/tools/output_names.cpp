#include "tools/output_names.h"

#include "platform/files.h"
#include "platform/names.h"

namespace velda {

std::string OutputPathFor(const std::string& input, OutputFormat format, const std::string& folder,
                          bool keepExtension) {
    const std::string renamed = keepExtension ? input + "." + FormatExtension(format)
                                              : WithExtension(input, FormatExtension(format));
    if (folder.empty()) return renamed;
    return JoinPath(folder, FileNameOf(renamed));
}

OutputKey OutputKeys::Of(const std::string& output) {
    const PathParts parts = SplitPath(output);
    auto known = folders_.find(parts.folder);
    if (known == folders_.end()) {
        const FileIdentity where = IdentifyFile(parts.folder.empty() ? "." : parts.folder);
        const std::string key = where.known ? std::to_string(where.volume) + ":" + std::to_string(where.index)
                                            : "path:" + parts.folder;
        known = folders_.emplace(parts.folder, key).first;
    }
    return OutputKey{known->second, NameKey(parts.Name())};
}

}  // namespace velda
