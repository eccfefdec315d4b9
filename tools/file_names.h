// The parts of a file path that output naming needs: the place of the file
// name, its directory, its extension. A dot in a directory name is not an
// extension.
#ifndef LOOPWEAVE_TOOL_FILE_NAMES_H
#define LOOPWEAVE_TOOL_FILE_NAMES_H

#include <string>

namespace lwtool {

inline std::string::size_type FileNameStart(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// "dir/" of "dir/name", "" of "name".
inline std::string DirectoryOf(const std::string& path) { return path.substr(0, FileNameStart(path)); }

// The path without its extension, and the extension without its dot.
inline std::string WithoutExtension(const std::string& path) {
    const std::string::size_type dot = path.rfind('.');
    return dot == std::string::npos || dot <= FileNameStart(path) ? path : path.substr(0, dot);
}
inline std::string ExtensionOf(const std::string& path) {
    const std::string stem = WithoutExtension(path);
    return stem.size() == path.size() ? "" : path.substr(stem.size() + 1);
}

// GDAL's virtual file systems: /vsistdout/ streams to standard output; the
// others (/vsizip/, /vsimem/, ...) are not files the tool can stage and
// commit.
inline bool IsVirtualPath(const std::string& path) { return path.compare(0, 4, "/vsi") == 0; }
inline bool IsStream(const std::string& path) { return path.compare(0, 11, "/vsistdout/") == 0; }

}  // namespace lwtool

#endif  // LOOPWEAVE_TOOL_FILE_NAMES_H
