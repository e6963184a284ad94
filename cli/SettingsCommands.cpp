// parlo-cli settings: the settings the desktop program would start with.
#include <cstdio>

#include "app/AppSettings.h"
#include "cli/Commands.h"
#include "platform/Screen.h"
#include "platform/qtcore/QtSettingsStore.h"

namespace parlo::cli {

namespace {

// Reads without the single-instance guard and never writes, so it is safe
// while the desktop program runs. Without a screen, screen-derived defaults
// assume the usual size.
int RunSettings(const ParsedArgs&) {
    qt::QtSettingsStore store;
    const FixedScreen screen;
    AppSettings env(store, screen, nullptr);
    for (const auto& [name, value] : env.NamedValues()) {
        std::printf("%s=%s\n", name.c_str(), value.c_str());
    }
    std::printf("VerifyAfterWrite=%d\nBackupBeforeWrite=%d\n", env.VerifyAfterWrite() ? 1 : 0,
                env.BackupBeforeWrite() ? 1 : 0);
    for (const auto& [port, device] : env.PortMap()) {
        std::printf("Port%d=%s\n", static_cast<int>(port), device.c_str());
    }
    return 0;
}

}  // namespace

std::vector<Command> SettingsCommands() {
    return {
        {"settings",
         "settings",
         "Print the settings as loaded (defaults and limits applied), one Name=value per line, "
         "then the [Cloning] choices and the port map.",
         {},
         0,
         0,
         RunSettings},
    };
}

}  // namespace parlo::cli
