#include "core/paths.h"

#include "core/text.h"

namespace jumpnest {

namespace {

// Length of the part of `path` that is a root and never created: "C:\",
// "\\server\share\", "\\?\C:\", "\\?\UNC\server\share\" or a leading "\".
size_t RootLength(std::string_view path) {
    auto afterComponents = [&](size_t start, int count) {
        size_t pos = start;
        for (int i = 0; i < count; ++i) {
            const size_t slash = path.find('\\', pos);
            if (slash == std::string_view::npos) return path.size();
            pos = slash + 1;
        }
        return pos;
    };
    auto driveRoot = [&](size_t start) {
        if (path.size() >= start + 2 && path[start + 1] == ':') {
            return (path.size() > start + 2 && path[start + 2] == '\\') ? start + 3 : start + 2;
        }
        return start;
    };

    if (path.starts_with("\\\\?\\UNC\\")) return afterComponents(8, 2);
    if (path.starts_with("\\\\?\\")) return driveRoot(4);
    if (path.starts_with("\\\\")) return afterComponents(2, 2);
    if (path.starts_with("\\")) return 1;
    return driveRoot(0);
}

}  // namespace

std::string AddBackslash(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != '\\') result += '\\';
    return result;
}

std::string GetParentFolder(std::string_view path) {
    const size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash + 1));
}

std::string GetFileName(std::string_view path, bool keepExtension) {
    const size_t slash = path.rfind('\\');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!keepExtension) {
        const size_t dot = name.rfind('.');
        if (dot != std::string_view::npos && dot >= 1) name = name.substr(0, dot);
    }
    return std::string(name);
}

std::vector<std::string> FolderChain(std::string_view folder) {
    std::vector<std::string> chain;
    const size_t root = RootLength(folder);
    for (size_t i = root; i <= folder.size(); ++i) {
        const bool end = i == folder.size();
        if (!end && folder[i] != '\\') continue;
        // Skip empty components: a doubled "\" or the trailing one.
        if (i == root || folder[i - 1] == '\\') continue;
        chain.emplace_back(folder.substr(0, i));
    }
    return chain;
}

std::string DataFolderPath(std::string_view commonAppData, std::string_view exeName,
                           std::string_view appPath) {
    if (commonAppData.empty()) return AddBackslash(appPath);
    std::string folder = AddBackslash(commonAppData);
    folder.append(kMakerFolder).append("\\").append(exeName).append("\\");
    return folder;
}

std::string EntryFilePath(std::string_view dataFolder, std::string_view exeName,
                          std::string_view userName) {
    std::string file(dataFolder);
    file.append(exeName).append(".").append(userName).append(".ini");
    return file;
}

bool IsUserDataFileName(std::string_view fileName, std::string_view exeName,
                        std::string_view userName) {
    std::string name = AsciiLower(fileName);
    if (name.ends_with(".tmp")) {
        // "<name>.<digits>-<digits>.tmp"
        name.resize(name.size() - 4);
        const size_t dot = name.rfind('.');
        const std::string_view save = std::string_view(name).substr(dot + 1);
        const size_t dash = save.find('-');
        const auto digits = [](std::string_view part) {
            return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
        };
        if (dot == std::string::npos || dash == std::string_view::npos ||
            !digits(save.substr(0, dash)) || !digits(save.substr(dash + 1))) {
            return false;
        }
        name.resize(dot);
    }
    std::string base = AsciiLower(exeName);
    base.append(".").append(AsciiLower(userName));
    if (!name.starts_with(base) || !name.ends_with(".ini")) return false;
    const std::string_view rest = std::string_view(name).substr(base.size());
    return rest == ".ini" || rest.starts_with('@');  // ending in ".ini", as asked above
}

std::string StartupLinkPath(std::string_view startupFolder) {
    return AddBackslash(startupFolder).append(kStartupLinkName);
}

}  // namespace jumpnest
