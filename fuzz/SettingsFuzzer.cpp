// The settings file loader, with the input as the INI file: loaded as the
// desktop program loads it at start (limits and defaults applied), saved as
// it saves at the end, and loaded again. The second start must find what
// the first one had.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/AppSettings.h"
#include "fuzz/FuzzSupport.h"
#include "platform/InstanceLock.h"
#include "platform/Screen.h"
#include "platform/qtcore/QtSettingsStore.h"

using namespace parlo;

namespace {

// This process is the only instance, so the settings are saved at the end.
class HeldLock : public InstanceLock {
public:
    LockResult TryAcquire() override { return LockResult::Acquired; }
    void Release() override {}
};

struct Loaded {
    std::vector<std::pair<std::string, std::string>> values;
    std::map<int32_t, std::string> ports;
    std::vector<std::string> devices;

    bool operator==(const Loaded&) const = default;
};

Loaded What(AppSettings& env) {
    Loaded l{env.NamedValues(), env.PortMap(), {}};
    for (int32_t n : {-1, 0, 1, 2, 256, 257}) l.devices.push_back(env.PortDevice(n));
    return l;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::SetUpOnce();
    // One file, in memory where the system has a memory file system, so no
    // save waits for a disk. The settings library keeps the files it has
    // read and reads one again only when its time stamp changed: each input
    // gets a time of its own.
    static const std::string path = fuzz::ScratchFile(".ini", "/dev/shm");
    static int64_t run = 0;
    fuzz::WriteScratch(path, data, size);
    const timespec stamp[2] = {{++run, 0}, {run, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), stamp, 0);
    const FixedScreen screen;
    try {
        Loaded first;
        {
            qt::QtSettingsStore store(path);
            HeldLock lock;
            AppSettings env(store, screen, &lock);
            if (!env.InstanceOk()) fuzz::Finding("the only instance is not the instance");
            first = What(env);
        }
        qt::QtSettingsStore store(path);
        AppSettings again(store, screen, nullptr);
        if (!(What(again) == first)) fuzz::Finding("the settings changed between two starts");
    } catch (const fuzz::FatalError& e) {
        fuzz::Finding(std::string("a settings file caused the program error: ") + e.what());
    }
    std::remove(path.c_str());
    return 0;
}
