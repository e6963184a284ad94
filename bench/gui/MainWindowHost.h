#pragma once
// The desktop program's main window as the GUI benchmarks run it: the
// defaults of a first start (nothing stored, nothing saved), the Qt event
// loop as the scheduler, shown at the size given.
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "gui/MainWindow.h"
#include "platform/SettingsStore.h"
#include "platform/qtcore/QtScheduler.h"

namespace parlo::bench {

class NoSettings : public SettingsStore {
public:
    std::optional<int32_t> ReadInt(const std::string&, const std::string&) const override {
        return std::nullopt;
    }
    std::optional<std::string> ReadText(const std::string&, const std::string&) const override {
        return std::nullopt;
    }
    std::vector<std::string> Names(const std::string&) const override { return {}; }
    void WriteInt(const std::string&, const std::string&, int32_t) override {}
    void WriteText(const std::string&, const std::string&, const std::string&) override {}
    bool Flush() override { return true; }
};

class MainWindowHost {
public:
    MainWindowHost(int width, int height, int variant = -1) {
        env_.Defaults();
        if (variant >= 0) env_.SetModelType(static_cast<int8_t>(variant));
        window_ = std::make_unique<qt::MainWindow>(env_, 0, nullptr);
        window_->resize(width, height);
        window_->show();
        QTest::qWait(150);
    }
    ~MainWindowHost() {
        window_.reset();
        SetScheduler(previousScheduler_);
    }
    MainWindowHost(const MainWindowHost&) = delete;
    MainWindowHost& operator=(const MainWindowHost&) = delete;

    qt::MainWindow& Window() { return *window_; }

private:
    qt::QtScheduler scheduler_;
    Scheduler* previousScheduler_ = SetScheduler(&scheduler_);  // before the window
    NoSettings store_;
    FixedScreen screen_;
    AppSettings env_{store_, screen_, nullptr};
    std::unique_ptr<qt::MainWindow> window_;
};

}  // namespace parlo::bench
