// The settings store: a registry-like key/value tree over QSettings, shared by all windows.
//
// Keys are QSettings groups under the base key (organisation "Quennet", application
// "Quennet Pro"). The INI format keeps no value types, so integers are written in the form
// "dword:0000000a" (the registry's export notation) and strings as they are; a string that
// itself begins with "dword:" or "sz:" is written with the prefix "sz:" so that every stored
// value reads back with the type it was written with. A value of the other type reads as the
// caller's default.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QSettings;

namespace quennet::gui {

class TAppRegistry {
public:
    // The user's settings file.
    TAppRegistry();
    // A settings file at an explicit path (tests, portable use).
    explicit TAppRegistry(const QString& iniPath);
    ~TAppRegistry();
    TAppRegistry(const TAppRegistry&) = delete;
    TAppRegistry& operator=(const TAppRegistry&) = delete;

    QString FileName() const;

    // Opens base key + "\" + path (the base key for an empty path; a path beginning with "\"
    // is taken from the root of the store). With create false, fails when the key holds
    // nothing. Returns whether a key is open.
    bool OpenSettingsKey(const QString& path, bool create);
    void CloseKey();
    bool KeyOpen() const { return open_; }
    QString CurrentKey() const { return key_; }

    // Relative to the open key.
    bool KeyExists(const QString& name) const;
    void DeleteKey(const QString& name);
    bool ValueExists(const QString& name) const;
    void DeleteValue(const QString& name);

    QString ReadString(const QString& name, const QString& def) const;
    int ReadInteger(const QString& name, int def) const;
    bool ReadBool(const QString& name, bool def) const;
    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);

    // A list is a subkey holding "Count" and one string per entry named "0", "1", ...
    // Reading a missing subkey leaves the list as it is.
    void ReadStringList(const QString& name, QStringList& list);
    // Replaces the whole subkey, so entries of a longer earlier list never survive.
    void WriteStringList(const QString& name, const QStringList& list);

    // Writes pending changes to disk; throws std::runtime_error naming the file on failure.
    void Flush();

private:
    std::optional<QString> RawValue(const QString& name) const;
    QString FullName(const QString& name) const;
    bool GroupHasContent(const QString& group) const;

    std::unique_ptr<QSettings> settings_;
    QString key_; // the open key, "" for the base key
    bool open_ = false;
};

// Bare class name without namespace: the subkey of a window's settings.
QString WindowClassKey(const char* qualifiedClassName);

} // namespace quennet::gui
