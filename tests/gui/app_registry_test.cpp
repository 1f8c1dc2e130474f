// Settings store: typed values, string lists, key paths, a missing config folder, failed writes.
#include "app_registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using quennet::gui::TAppRegistry;

namespace {

class AppRegistryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("settings.ini")); }
};

TEST_F(AppRegistryTest, ValuesKeepTheirTypesAcrossInstances) {
    {
        TAppRegistry reg(Path());
        ASSERT_TRUE(reg.OpenSettingsKey(QString(), true));
        reg.WriteString(QStringLiteral("FontName"), QStringLiteral("DejaVu Sans Mono"));
        reg.WriteInteger(QStringLiteral("FontSize"), 12);
        reg.WriteInteger(QStringLiteral("Negative"), -7);
        reg.WriteString(QStringLiteral("Digits"), QStringLiteral("42"));
        reg.WriteString(QStringLiteral("Tricky"), QStringLiteral("dword:0000000a"));
        reg.WriteBool(QStringLiteral("Flag"), true);
        reg.CloseKey();
        reg.Flush();
    }
    TAppRegistry reg(Path());
    ASSERT_TRUE(reg.OpenSettingsKey(QString(), false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("FontName"), QString()),
              QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("FontSize"), 0), 12);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Negative"), 0), -7);
    // A string of digits is a string, not an integer; a string that looks like the integer
    // notation comes back as the same string.
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Digits"), 99), 99);
    EXPECT_EQ(reg.ReadString(QStringLiteral("Digits"), QString()), QStringLiteral("42"));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Tricky"), QString()),
              QStringLiteral("dword:0000000a"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Tricky"), 5), 5);
    EXPECT_TRUE(reg.ReadBool(QStringLiteral("Flag"), false));
}

TEST_F(AppRegistryTest, WrongTypeMissingOrHandEditedValueReadsAsDefault) {
    {
        QSettings raw(Path(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("TMainForm/SplitPos"), 300); // plain number, no type mark
        raw.setValue(QStringLiteral("TMainForm/Name"),
                     QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
        raw.sync();
    }
    TAppRegistry reg(Path());
    ASSERT_TRUE(reg.OpenSettingsKey(QStringLiteral("TMainForm"), true));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("SplitPos"), 10), 10);
    EXPECT_EQ(reg.ReadString(QStringLiteral("Name"), QString()), QStringLiteral("a"));
    reg.WriteString(QStringLiteral("TreeWidth"), QStringLiteral("wide"));
    reg.WriteInteger(QStringLiteral("DefPathOld"), 3);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("TreeWidth"), 165), 165);
    EXPECT_EQ(reg.ReadString(QStringLiteral("DefPathOld"), QStringLiteral("def")),
              QStringLiteral("def"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Missing"), 8), 8);
    EXPECT_FALSE(reg.ReadBool(QStringLiteral("Missing"), false));
    EXPECT_TRUE(reg.ReadBool(QStringLiteral("Missing"), true));
}

TEST_F(AppRegistryTest, StringListsShrinkAndKeepEveryCharacter) {
    const QStringList ext = {QStringLiteral("Delphi source (*.pas;*.dpr)|*.pas;*.dpr"),
                             QStringLiteral("All files, really (*.*)|*.*"), QString(),
                             QStringLiteral(" padded ")};
    {
        TAppRegistry reg(Path());
        ASSERT_TRUE(reg.OpenSettingsKey(QString(), true));
        reg.WriteStringList(QStringLiteral("Opt"),
                            {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                             QStringLiteral("D"), QStringLiteral("E")});
        reg.WriteStringList(QStringLiteral("Opt"), {QStringLiteral("X"), QStringLiteral("Y")});
        reg.WriteStringList(QStringLiteral("Ext"), ext);
        reg.CloseKey();
        reg.Flush();
    }
    QSettings raw(Path(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Opt"));
    QStringList keys = raw.childKeys();
    keys.sort();
    EXPECT_EQ(keys,
              (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("Count")}));
    raw.endGroup();

    TAppRegistry reg(Path());
    QStringList list{QStringLiteral("old")};
    ASSERT_TRUE(reg.OpenSettingsKey(QString(), false));
    reg.ReadStringList(QStringLiteral("Opt"), list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("X"), QStringLiteral("Y")}));
    // The open key is the base key again after reading the list.
    EXPECT_EQ(reg.CurrentKey(), QString());
    reg.ReadStringList(QStringLiteral("Ext"), list);
    EXPECT_EQ(list, ext);

    // A missing list keeps what the list holds; an empty one is stored and reads back empty.
    reg.ReadStringList(QStringLiteral("Missing"), list);
    EXPECT_EQ(list, ext);
    reg.WriteStringList(QStringLiteral("Opt"), {});
    reg.ReadStringList(QStringLiteral("Opt"), list);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(AppRegistryTest, OpenWithoutCreateFailsOnMissingKey) {
    TAppRegistry reg(Path());
    EXPECT_FALSE(reg.OpenSettingsKey(QString(), false));
    EXPECT_FALSE(reg.OpenSettingsKey(QStringLiteral("TMainForm"), false));
    ASSERT_TRUE(reg.OpenSettingsKey(QStringLiteral("TMainForm"), true));
    reg.WriteInteger(QStringLiteral("TreeWidth"), 200);
    reg.CloseKey();
    EXPECT_TRUE(reg.OpenSettingsKey(QStringLiteral("TMainForm"), false));
    // A path beginning with a backslash starts at the root of the store.
    EXPECT_TRUE(reg.OpenSettingsKey(QStringLiteral("\\TMainForm"), false));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("TreeWidth"), 0), 200);
    EXPECT_TRUE(reg.OpenSettingsKey(QString(), false));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("TMainForm\\TreeWidth"), 0), 200);
}

TEST_F(AppRegistryTest, CreatesMissingConfigFolders) {
    const QString deep = dir.filePath(QStringLiteral("a/b/c/settings.ini"));
    {
        TAppRegistry reg(deep);
        ASSERT_TRUE(reg.OpenSettingsKey(QString(), true));
        reg.WriteInteger(QStringLiteral("FontSize"), 9);
        reg.Flush();
    }
    EXPECT_TRUE(QFile::exists(deep));
    TAppRegistry reg(deep);
    ASSERT_TRUE(reg.OpenSettingsKey(QString(), false));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("FontSize"), 0), 9);
}

TEST_F(AppRegistryTest, FailedWriteIsReported) {
    // A folder where the file should be: the write cannot succeed.
    const QString blocked = dir.filePath(QStringLiteral("blocked.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    TAppRegistry reg(blocked);
    ASSERT_TRUE(reg.OpenSettingsKey(QString(), true));
    reg.WriteInteger(QStringLiteral("FontSize"), 9);
    EXPECT_THROW(reg.Flush(), std::runtime_error);
}

} // namespace
