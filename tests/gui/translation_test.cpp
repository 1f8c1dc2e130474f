// The German translation: built, found for a German locale, and used by the windows' captions.
#include "main_form.h"
#include "main_form_face.h"
#include "merge_edit_form.h"
#include "quennet_application.h"
#include "source_editor.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "fake_dialogs.h"

namespace {

using namespace quennet::gui;

QStringList MenuTitles(const QMainWindow& window) {
    QStringList titles;
    for (QAction* a : window.menuBar()->actions())
        titles << a->text();
    return titles;
}

TEST(Translation, GermanLocaleGivesGermanCaptionsAndEnglishStaysWithout) {
    EXPECT_EQ(LoadTranslation(QLocale(QLocale::French, QLocale::France)), nullptr);

    std::unique_ptr<QTranslator> german =
        LoadTranslation(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_NE(german, nullptr);
    ASSERT_TRUE(QCoreApplication::installTranslator(german.get()));
    FakeDialogs dialogs;
    {
        TMainForm form(nullptr, dialogs);
        const MainFormFace ui(form);
        EXPECT_EQ(MenuTitles(form), (QStringList{"&Datei", "&Suchen", "&Vergleich", "&Hilfe"}));
        EXPECT_EQ(ui.Part<QTabWidget>("pages")->tabText(0), QStringLiteral("Quelltextansicht"));
        EXPECT_EQ(ui.Pane<QPushButton>(true, "ReloadButton")->text(), QStringLiteral("Neu laden"));
        EXPECT_EQ(ui.Part<QPushButton>("nextButton")->text(),
                  QStringLiteral("Nächster Unterschied"));
        EXPECT_EQ(ui.Tree()->accessibleName(), QStringLiteral("Unterschiedsbaum"));
        TMergeEditForm merge(nullptr, dialogs);
        EXPECT_EQ(merge.windowTitle(), QStringLiteral("Zusammengeführten Text bearbeiten"));
    }
    QCoreApplication::removeTranslator(german.get());

    TMainForm form(nullptr, dialogs);
    EXPECT_EQ(MenuTitles(form), (QStringList{"&File", "&Search", "&Diff", "&Help"}));
    EXPECT_EQ(MainFormFace(form).Editor(true)->accessibleName(), QStringLiteral("Old source"));
}

} // namespace
