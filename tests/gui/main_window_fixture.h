// A main window with its report and navigator over a settings file in a scratch folder, and
// the file and editing steps its tests share.
#pragma once

#include "app_registry.h"
#include "diff_rpt_form.h"
#include "main_form.h"
#include "main_form_face.h"
#include "navigator_form.h"
#include "source_editor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "fake_dialogs.h"

namespace quennet::gui {

// What the window shows, read from its widgets and document.
inline QString ShownFile(const TMainForm& form, bool old) {
    return QString::fromStdString(form.Document().FileName(old));
}
inline bool SideBySide(const TMainForm& form) {
    return MainFormFace(form).SourceSplitter()->orientation() == Qt::Horizontal;
}
inline int TreeWidth(const TMainForm& form) {
    return MainFormFace(form).MainSplitter()->sizes().value(0);
}
// Width side by side, height stacked.
inline int OldPaneSize(const TMainForm& form) {
    return MainFormFace(form).SourceSplitter()->sizes().value(0);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        registry = std::make_unique<TAppRegistry>(dir.filePath(QStringLiteral("settings.ini")));
        MakeForms();
    }
    void TearDown() override { DestroyForms(); }

    // A new window reads what the previous one stored.
    void MakeForms() {
        form = std::make_unique<TMainForm>(registry.get(), dialogs);
        report = std::make_unique<TDiffRptForm>(registry.get(), dialogs);
        nav = new TNavigatorForm(registry.get(), form.get());
        form->SetCompanions(report.get(), nav);
    }
    void DestroyForms() {
        report.reset();
        form.reset(); // the navigator is the main window's own window
        nav = nullptr;
    }
    void WriteSetting(const QString& key, const QString& name, const QString& value) {
        ASSERT_TRUE(registry->OpenSettingsKey(key, true));
        registry->WriteString(name, value);
        registry->CloseKey();
    }

    // Writes a file below the scratch folder, with its folders; returns its full native name.
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(dir.path()).absoluteFilePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return QDir::toNativeSeparators(path);
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    MainFormFace Face() const { return MainFormFace(*form); }

    // An edit as the user makes it: the view becomes modified.
    void Edit(bool old, const QString& text) {
        SourceEditor* view = Face().Editor(old);
        view->setReadOnly(false);
        view->insertAt(text, 0, 0);
        ASSERT_TRUE(view->isModified());
    }
    // Shown and active, so that window shortcuts reach their actions.
    static void ShowActive(QWidget* w) {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TAppRegistry> registry;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TDiffRptForm> report;
    TNavigatorForm* nav = nullptr;
};

} // namespace quennet::gui
