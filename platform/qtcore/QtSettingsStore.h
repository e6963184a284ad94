#pragma once
// The per-user settings in an INI file (QSettings, IniFormat): one INI group
// per settings group, the same value names.
#include <memory>

#include "platform/SettingsStore.h"

class QSettings;

namespace parlo::qt {

// $XDG_CONFIG_HOME/Keld/Parlo.ini, or ~/.config/Keld/Parlo.ini.
std::string UserSettingsPath();

class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const std::string& path = UserSettingsPath());
    ~QtSettingsStore() override;

    std::optional<int32_t> ReadInt(const std::string& group,
                                   const std::string& name) const override;
    std::optional<std::string> ReadText(const std::string& group,
                                        const std::string& name) const override;
    std::vector<std::string> Names(const std::string& group) const override;
    void WriteInt(const std::string& group, const std::string& name, int32_t value) override;
    void WriteText(const std::string& group, const std::string& name,
                   const std::string& value) override;
    bool Flush() override;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace parlo::qt
