// Settings store over QSettings with typed values kept apart in the INI text.
#include "app_registry.h"

#include <QRegularExpression>
#include <QSettings>
#include <stdexcept>

namespace quennet::gui {

namespace {

// Windows programs keep their settings in the registry, under the product's name in the
// user's software key; elsewhere an INI file in the user's configuration folder.
#ifdef Q_OS_WIN
constexpr QSettings::Format kStoreFormat = QSettings::NativeFormat;
#else
constexpr QSettings::Format kStoreFormat = QSettings::IniFormat;
#endif

const QString kIntPrefix = QStringLiteral("dword:");
const QString kStrPrefix = QStringLiteral("sz:");

// Registry paths use backslashes; QSettings groups use slashes.
QString ToGroupPath(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool ParseDword(const QString& raw, int& out) {
    static const QRegularExpression re(QStringLiteral("^dword:[0-9a-fA-F]{8}$"));
    if (!re.match(raw).hasMatch()) return false;
    bool ok = false;
    uint v = raw.mid(kIntPrefix.size()).toUInt(&ok, 16);
    if (!ok) return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

QString WindowClassKey(const char* qualifiedClassName) {
    QString name = QString::fromLatin1(qualifiedClassName);
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    return colon >= 0 ? name.mid(colon + 1) : name;
}

TAppRegistry::TAppRegistry()
    : settings_(std::make_unique<QSettings>(kStoreFormat, QSettings::UserScope,
                                            QStringLiteral("Quennet"),
                                            QStringLiteral("Quennet Pro"))) {}

TAppRegistry::TAppRegistry(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

TAppRegistry::~TAppRegistry() {
    // A failed write at shutdown cannot be shown any more; QSettings keeps the old file.
    settings_->sync();
}

QString TAppRegistry::FileName() const {
    return settings_->fileName();
}

bool TAppRegistry::GroupHasContent(const QString& group) const {
    if (group.isEmpty()) return !settings_->allKeys().isEmpty();
    settings_->beginGroup(group);
    bool has = !settings_->childKeys().isEmpty() || !settings_->childGroups().isEmpty();
    settings_->endGroup();
    return has;
}

bool TAppRegistry::OpenSettingsKey(const QString& path, bool create) {
    // An empty INI group cannot be stored, so a created key exists once it holds a value.
    QString key = ToGroupPath(path);
    if (!create && !GroupHasContent(key)) {
        open_ = false;
        return false;
    }
    key_ = key;
    open_ = true;
    return true;
}

void TAppRegistry::CloseKey() {
    key_.clear();
    open_ = false;
}

QString TAppRegistry::FullName(const QString& name) const {
    QString n = ToGroupPath(name);
    if (key_.isEmpty()) return n;
    return n.isEmpty() ? key_ : key_ + QLatin1Char('/') + n;
}

bool TAppRegistry::KeyExists(const QString& name) const {
    return GroupHasContent(FullName(name));
}

void TAppRegistry::DeleteKey(const QString& name) {
    if (ToGroupPath(name).isEmpty()) return; // never wipe the open key through an empty name
    settings_->remove(FullName(name));
}

bool TAppRegistry::ValueExists(const QString& name) const {
    return settings_->contains(FullName(name));
}

void TAppRegistry::DeleteValue(const QString& name) {
    if (ValueExists(name)) settings_->remove(FullName(name));
}

std::optional<QString> TAppRegistry::RawValue(const QString& name) const {
    QVariant v = settings_->value(FullName(name));
    if (!v.isValid()) return std::nullopt;
    // An unquoted value with commas, edited by hand, comes back as a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    if (!v.canConvert<QString>()) return std::nullopt;
    return v.toString();
}

QString TAppRegistry::ReadString(const QString& name, const QString& def) const {
    auto raw = RawValue(name);
    if (!raw) return def;
    int dummy = 0;
    if (ParseDword(*raw, dummy)) return def;
    QString s = raw->startsWith(kStrPrefix) ? raw->mid(kStrPrefix.size()) : *raw;
    const qsizetype nul = s.indexOf(QChar(0));
    if (nul >= 0) s.truncate(nul);
    return s;
}

int TAppRegistry::ReadInteger(const QString& name, int def) const {
    auto raw = RawValue(name);
    int v = 0;
    if (raw && ParseDword(*raw, v)) return v;
    return def;
}

bool TAppRegistry::ReadBool(const QString& name, bool def) const {
    return ReadInteger(name, def ? 1 : 0) != 0;
}

void TAppRegistry::WriteString(const QString& name, const QString& value) {
    bool ambiguous = value.startsWith(kIntPrefix) || value.startsWith(kStrPrefix);
    settings_->setValue(FullName(name), ambiguous ? kStrPrefix + value : value);
}

void TAppRegistry::WriteInteger(const QString& name, int value) {
    settings_->setValue(
        FullName(name),
        kIntPrefix + QStringLiteral("%1").arg(static_cast<uint>(value), 8, 16, QLatin1Char('0')));
}

void TAppRegistry::WriteBool(const QString& name, bool value) {
    WriteInteger(name, value ? 1 : 0);
}

void TAppRegistry::ReadStringList(const QString& name, QStringList& list) {
    if (!KeyExists(name)) return;
    list.clear();
    const QString saved = key_;
    const bool savedOpen = open_;
    key_ = FullName(name);
    int n = ReadInteger(QStringLiteral("Count"), 0);
    for (int i = 0; i < n; ++i)
        list.append(ReadString(QString::number(i), QString()));
    key_ = saved;
    open_ = savedOpen;
}

void TAppRegistry::WriteStringList(const QString& name, const QStringList& list) {
    const QString saved = key_;
    const bool savedOpen = open_;
    DeleteKey(name);
    key_ = FullName(name);
    WriteInteger(QStringLiteral("Count"), static_cast<int>(list.size()));
    for (int i = 0; i < list.size(); ++i)
        WriteString(QString::number(i), list[i]);
    key_ = saved;
    open_ = savedOpen;
}

void TAppRegistry::Flush() {
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        throw std::runtime_error("Cannot write the settings file \"" +
                                 settings_->fileName().toStdString() + "\"");
}

} // namespace quennet::gui
