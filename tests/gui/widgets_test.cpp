// Small pieces: filter conversion, the file-name box and its hooks, the command edge.
#include "filename_edit.h"
#include "user_dialogs.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "fake_dialogs.h"

using namespace quennet::gui;

namespace {

TEST(ToQtFilter, ConvertsStoredEntries) {
    EXPECT_EQ(ToQtFilter(QStringLiteral("Delphi source (*.pas;*.dpr)|*.pas;*.dpr|"
                                        "Delphi backup (*.~pa;*.~dp)|*.~pa;*.~dp|"
                                        "All files (*.*)|*.*")),
              QStringLiteral("Delphi source (*.pas *.dpr);;Delphi backup (*.~pa *.~dp);;"
                             "All files (*.*)"));
    EXPECT_EQ(ToQtFilter(QStringLiteral("Text file (*.txt)|*.txt|All files (*.*)|*.*")),
              QStringLiteral("Text file (*.txt);;All files (*.*)"));
    // A description without patterns in brackets gets them; a missing pattern part means all.
    EXPECT_EQ(ToQtFilter(QStringLiteral("Units|*.pas")), QStringLiteral("Units (*.pas)"));
    EXPECT_EQ(ToQtFilter(QStringLiteral("Odd")), QStringLiteral("Odd (*)"));
    EXPECT_EQ(ToQtFilter(QString()), QString());
}

TEST(FilenameEdit, WellFormedNames) {
    EXPECT_TRUE(IsWellFormedFileName(QStringLiteral("/tmp/a.pas")));
    EXPECT_FALSE(IsWellFormedFileName(QString()));
    for (const char* bad : {"a;b.pas", "a,b", "a=b", "a+b", "a<b", "a>b", "a\"b", "a[1]", "a|b"})
        EXPECT_FALSE(IsWellFormedFileName(QString::fromLatin1(bad))) << bad;
}

TEST(FilenameEdit, HooksRunAroundTheDialogInOrder) {
    QTemporaryDir dir;
    const QString shownFolder = dir.filePath(QStringLiteral("shown"));
    const QString chosenFolder = dir.filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(shownFolder));
    ASSERT_TRUE(QDir().mkpath(chosenFolder));
    FakeDialogs dialogs;
    TFilenameEdit box(dialogs);
    box.SetFilter(QStringLiteral("Units|*.pas"));
    box.SetFileName(shownFolder + QStringLiteral("/x.pas"));
    QStringList calls;
    QString shownBeforeTakeOver = box.FileName();
    box.BeforeDialog = [&](TFilenameEdit& b) {
        calls << QStringLiteral("before:") + b.InitialDir();
        b.SetInitialDir(QStringLiteral("/ignored"));
    };
    box.AfterDialog = [&](TFilenameEdit& b, const QString& name, bool accepted) {
        calls << QStringLiteral("after:%1:%2:%3").arg(name).arg(accepted).arg(b.InitialDir());
        EXPECT_EQ(b.FileName(), shownBeforeTakeOver); // not yet taken over
    };
    const QString chosen = chosenFolder + QStringLiteral("/y.pas");
    dialogs.OpenAnswer = chosen;
    box.Browse();
    // The shown name's existing folder wins over what the before-hook set.
    EXPECT_EQ(dialogs.LastOpenDir, shownFolder);
    EXPECT_EQ(dialogs.LastOpenTitle, QStringLiteral("Browse"));
    EXPECT_EQ(dialogs.LastOpenFilter, QStringLiteral("Units|*.pas"));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0], QStringLiteral("before:"));
    EXPECT_EQ(calls[1], QStringLiteral("after:%1:1:%2").arg(chosen, shownFolder));
    EXPECT_EQ(box.FileName(), QDir::toNativeSeparators(chosen));
    EXPECT_EQ(box.InitialDir(), chosenFolder);
    EXPECT_TRUE(box.Edit()->isReadOnly());

    // Cancelled: the after-hook hears it, the box keeps its name.
    dialogs.OpenAnswer.clear();
    calls.clear();
    shownBeforeTakeOver = box.FileName();
    box.Browse();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_TRUE(calls[1].startsWith(QStringLiteral("after::0:")));
    EXPECT_EQ(box.FileName(), QDir::toNativeSeparators(chosen));
}

TEST(FilenameEdit, BeforeHookFolderUsedWhenTheShownNameIsUnusable) {
    FakeDialogs dialogs;
    TFilenameEdit box(dialogs);
    box.SetFileName(QStringLiteral("/no/such/folder/a.pas"));
    box.BeforeDialog = [](TFilenameEdit& b) { b.SetInitialDir(QStringLiteral("/tmp")); };
    box.Browse();
    EXPECT_EQ(dialogs.LastOpenDir, QStringLiteral("/tmp"));
}

} // namespace

#include "quennet_application.h"

#include <QCoreApplication>
#include <QEvent>
#include <stdexcept>

namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Cannot open \"x.pas\": gone");
        return QObject::event(e);
    }
};

TEST(ApplicationHandler, ExceptionInAnEventHandlerIsShownOnce) {
    auto* app = qobject_cast<TQuennetApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    FakeDialogs dialogs;
    app->SetDialogs(&dialogs);
    ThrowingObject target;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &event));
    app->SetDialogs(nullptr);
    EXPECT_EQ(dialogs.Errors, QStringList{QStringLiteral("Cannot open \"x.pas\": gone")});
}

TEST(RunCommand, ShowsTheMessageAndStops) {
    FakeDialogs dialogs;
    bool after = false;
    RunCommand(dialogs, nullptr, [&] {
        throw std::runtime_error("Cannot write \"r.txt\": disk full");
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_EQ(dialogs.Errors, QStringList{QStringLiteral("Cannot write \"r.txt\": disk full")});
}

} // namespace
