// Small pieces: filter conversion, the tree images, the file-name box and its hooks.
#include "filename_edit.h"
#include "state_images.h"
#include "user_dialogs.h"

#include <QDir>
#include <QFile>
#include <QImage>
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

TEST(StateImages, IndexByStateAndColours) {
    EXPECT_EQ(StateImageIndex(0), 3);
    EXPECT_EQ(StateImageIndex(1), 4);
    EXPECT_EQ(StateImageIndex(2), 0);
    EXPECT_EQ(StateImageIndex(3), 1);
    EXPECT_EQ(StateImageIndex(4), 2);
    EXPECT_EQ(StateImageIndex(5), -1);
    EXPECT_EQ(StateImageIndex(-1), -1);

    const TImageList images = MakeStateImages();
    for (const QPixmap& p : images)
        EXPECT_EQ(p.size(), QSize(16, 16));
    auto isRed = [](QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; };
    auto isGreen = [](QRgb c) { return qGreen(c) > 120 && qRed(c) < 80 && qBlue(c) < 80; };
    const QImage minus = images[ImgRemoved].toImage();
    EXPECT_TRUE(isRed(minus.pixel(8, 8)));
    EXPECT_EQ(qAlpha(minus.pixel(8, 3)), 0); // a minus has no vertical bar
    const QImage plus = images[ImgAdded].toImage();
    EXPECT_TRUE(isGreen(plus.pixel(8, 8)));
    EXPECT_TRUE(isGreen(plus.pixel(8, 4)));
    const QImage changed = images[ImgChanged].toImage();
    EXPECT_TRUE(isGreen(changed.pixel(7, 4)));
    EXPECT_TRUE(isRed(changed.pixel(7, 12)));
    const QImage folder = images[ImgGroup].toImage();
    EXPECT_GT(qRed(folder.pixel(8, 9)), 200);
    EXPECT_GT(qGreen(folder.pixel(8, 9)), 150);
    EXPECT_LT(qBlue(folder.pixel(8, 9)), 120);
    const QImage page = images[ImgDocument].toImage();
    EXPECT_GT(qBlue(page.pixel(8, 6)), 150);
    EXPECT_EQ(page.pixel(8, 5), QColor(Qt::white).rgba());
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
