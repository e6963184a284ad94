#include "platform/qtcore/QtSettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <limits>

namespace parlo::qt {

namespace {

QString Key(const std::string& group, const std::string& name) {
    return QString::fromStdString(group + "/" + name);
}

}  // namespace

std::string UserSettingsPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
    return (base + "/Keld/Parlo.ini").toStdString();
}

QtSettingsStore::QtSettingsStore(const std::string& path)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::optional<int32_t> QtSettingsStore::ReadInt(const std::string& group,
                                                const std::string& name) const {
    const QVariant v = settings_->value(Key(group, name));
    // An unquoted comma makes a list, which is no number either.
    if (!v.isValid() || v.typeId() == QMetaType::QStringList) return std::nullopt;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(n);
}

std::optional<std::string> QtSettingsStore::ReadText(const std::string& group,
                                                     const std::string& name) const {
    const QVariant v = settings_->value(Key(group, name));
    if (!v.isValid()) return std::nullopt;
    // A hand-written path with an unquoted comma reads as a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(',').toStdString();
    if (!v.canConvert<QString>()) return std::nullopt;
    return v.toString().toStdString();
}

std::vector<std::string> QtSettingsStore::Names(const std::string& group) const {
    settings_->beginGroup(QString::fromStdString(group));
    const QStringList keys = settings_->childKeys();
    settings_->endGroup();
    std::vector<std::string> names;
    for (const QString& k : keys) names.push_back(k.toStdString());
    return names;
}

void QtSettingsStore::WriteInt(const std::string& group, const std::string& name, int32_t value) {
    settings_->setValue(Key(group, name), value);
}

void QtSettingsStore::WriteText(const std::string& group, const std::string& name,
                                const std::string& value) {
    settings_->setValue(Key(group, name), QString::fromStdString(value));
}

bool QtSettingsStore::Flush() {
    QDir().mkpath(QFileInfo(settings_->fileName()).absolutePath());
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace parlo::qt
