#pragma once
// Follows a path to the entry it names one component at a time, holding a
// descriptor of each folder on the way, so that what is checked is what is
// then written: nothing can be swapped in between. Symbolic links are
// followed as the system follows them, except that a link in a sticky
// folder that anyone may write to (such as /tmp) is followed only when it
// belongs to this user or to the folder's owner: another user could
// otherwise point it at any of this user's files. The system has the same
// rule (fs.protected_symlinks), but it can be switched off.
#include <sys/stat.h>

#include <string>

#include "platform/SafeFile.h"

namespace parlo {

class PathWalk {
public:
    PathWalk() = default;
    ~PathWalk();
    PathWalk(const PathWalk&) = delete;
    PathWalk& operator=(const PathWalk&) = delete;

    // Walks `path`; a failure says why it leads nowhere a file can be.
    FileFailure Walk(const std::string& path);

    // The folder that holds the end (an O_PATH descriptor) and the end's
    // name in it; the end may not exist yet.
    int Folder() const { return folder_; }
    const std::string& Name() const { return name_; }
    bool Exists() const { return exists_; }
    const struct stat& Stat() const { return stat_; }
    // One of this process's own descriptors, when the path names it
    // through /proc/self/fd or /dev/fd (as /dev/stdout does); else -1.
    int Descriptor() const { return descriptor_; }

    // Hands the folder's descriptor over to the caller.
    int TakeFolder();

private:
    FileFailure FollowLink(int fd, const struct stat& link, const std::string& name,
                           std::string* text);
    void SetFolder(int fd);

    int folder_ = -1;
    std::string name_;
    bool exists_ = false;
    struct stat stat_ {};
    int descriptor_ = -1;
    int hops_ = 0;
};

}  // namespace parlo
