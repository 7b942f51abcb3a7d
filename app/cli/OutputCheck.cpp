#include "app/cli/OutputCheck.h"

#include <filesystem>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <tuple>

namespace qv::app::cli {
namespace {

/// Which file a path names: a file that is there by its device and inode; one still to be made
/// by its folder's device and inode and its name; one in a folder still to be made by its whole
/// path written plainly.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;
    auto operator<=>(const Identity &) const = default;
};

std::string folderOf(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

Identity identityOf(const std::string &path, int links = 0) {
    struct stat s {};
    if (::stat(path.c_str(), &s) == 0)
        return {s.st_dev, s.st_ino, {}};
    // A link to a file still to be made: the file it points to is the one written.
    std::error_code error;
    if (links < 16) {
        const std::string target = std::filesystem::read_symlink(path, error).string();
        if (!target.empty())
            return identityOf(target.front() == '/' ? target : folderOf(path) + "/" + target,
                              links + 1);
    }
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (::stat(folderOf(path).c_str(), &s) == 0 && name != "." && name != "..")
        return {s.st_dev, s.st_ino, name};
    const auto absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    return {0, 0, (error ? std::filesystem::path(path) : absolute).lexically_normal().string()};
}

std::string quoted(const NamedFile &file) {
    return "\"" + file.path + "\" (" + file.label + ")";
}

} // namespace

std::string outputConflict(std::span<const NamedFile> inputs, std::span<const NamedFile> outputs) {
    std::map<Identity, const NamedFile *> read;
    for (const NamedFile &input : inputs)
        read.emplace(identityOf(input.path), &input);
    std::map<Identity, const NamedFile *> written;
    const NamedFile *toStandardOutput = nullptr;
    for (const NamedFile &output : outputs) {
        if (output.path == "-") {
            if (toStandardOutput)
                return toStandardOutput->label + " and " + output.label +
                       " both write to standard output";
            toStandardOutput = &output;
            continue;
        }
        const Identity identity = identityOf(output.path);
        if (const auto input = read.find(identity); input != read.end())
            return "the output " + quoted(output) + " is the input \"" + input->second->path +
                   "\": nothing was written";
        const auto [other, added] = written.emplace(identity, &output);
        if (!added)
            return "the outputs " + quoted(*other->second) + " and " + quoted(output) +
                   " are the same file: nothing was written";
    }
    return {};
}

} // namespace qv::app::cli
