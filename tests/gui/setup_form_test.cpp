// Setup dialog: OK replaces the values, Cancel keeps them, character sets and memo lines.
#include "setup_form.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace quennet::gui;

namespace {

// Runs `act` on the setup dialog once it is shown modally.
void WhenShown(std::function<void(TSetupForm&)> act) {
    QTimer::singleShot(0, [act] {
        auto* form = qobject_cast<TSetupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        act(*form);
    });
}

struct Values {
    QStringList defines{QStringLiteral("VER130"), QStringLiteral("WIN32"),
                        QStringLiteral("CPU386")};
    QStringList extensions{QStringLiteral("Delphi source (*.pas;*.dpr)|*.pas;*.dpr")};
    QString fontName = QStringLiteral("DejaVu Sans Mono");
    int charset = 1;
    int size = 10;
    bool Execute() { return ExecuteSetup(nullptr, defines, extensions, fontName, charset, size); }
};

TEST(SetupForm, OkReplacesListsAndFont) {
    Values v;
    WhenShown([](TSetupForm& f) {
        EXPECT_EQ(f.DefinesMemo->toPlainText(), QStringLiteral("VER130\nWIN32\nCPU386"));
        f.DefinesMemo->setPlainText(QStringLiteral("DEBUG\nLINUX\n"));
        f.ExtensionsMemo->setPlainText(QStringLiteral("A|*.a\n\nB|*.b"));
        f.SizeEdit->setValue(12);
        f.SelectCharset(204);
        f.Buttons->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(v.Execute());
    EXPECT_EQ(v.defines, (QStringList{QStringLiteral("DEBUG"), QStringLiteral("LINUX")}));
    // Empty lines are entries too.
    EXPECT_EQ(v.extensions,
              (QStringList{QStringLiteral("A|*.a"), QString(), QStringLiteral("B|*.b")}));
    EXPECT_EQ(v.size, 12);
    EXPECT_EQ(v.charset, 204);
}

TEST(SetupForm, CancelChangesNothing) {
    Values v;
    const Values before = v;
    WhenShown([](TSetupForm& f) {
        f.DefinesMemo->setPlainText(QStringLiteral("X"));
        f.SizeEdit->setValue(19);
        f.Buttons->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(v.Execute());
    EXPECT_EQ(v.defines, before.defines);
    EXPECT_EQ(v.extensions, before.extensions);
    EXPECT_EQ(v.size, before.size);
    EXPECT_EQ(v.fontName, before.fontName);
}

// A character set or font the dialog cannot show is kept by OK, not replaced by a guess.
TEST(SetupForm, OkKeepsValuesTheDialogCannotShow) {
    Values v;
    v.charset = 3;
    v.fontName = QStringLiteral("Courier New Not Installed");
    WhenShown([](TSetupForm& f) {
        EXPECT_EQ(f.CharsetCombo->currentIndex(), -1);
        EXPECT_EQ(f.SelectedCharset(), -1);
        f.Buttons->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(v.Execute());
    EXPECT_EQ(v.charset, 3);
    EXPECT_EQ(v.fontName, QStringLiteral("Courier New Not Installed"));
}

TEST(SetupForm, EmptyMemoGivesEmptyList) {
    QPlainTextEdit memo;
    EXPECT_TRUE(MemoLines(&memo).isEmpty());
    memo.setPlainText(QStringLiteral("\n"));
    EXPECT_EQ(MemoLines(&memo), QStringList{QString()});
}

} // namespace

TEST(SetupForm, FormNoiseModeAndListWithRestoreDefaults) {
    Values v;
    TFormNoiseValues noise{QStringLiteral("ignore"), {QStringLiteral("Left")}};
    WhenShown([](TSetupForm& f) {
        EXPECT_EQ(f.NoiseModeCombo->currentData().toString(), QStringLiteral("ignore"));
        EXPECT_EQ(f.NoiseNamesMemo->toPlainText(), QStringLiteral("Left"));
        f.RestoreNoiseButton->click();
        EXPECT_EQ(f.NoiseModeCombo->currentData().toString(), QStringLiteral("show"));
        f.NoiseModeCombo->setCurrentIndex(f.NoiseModeCombo->findData(QStringLiteral("hide")));
        f.NoiseNamesMemo->appendPlainText(QStringLiteral("  Tag  \n\n"));
        f.Buttons->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(ExecuteSetup(nullptr, v.defines, v.extensions, v.fontName, v.charset, v.size,
                             nullptr, nullptr, &noise));
    EXPECT_EQ(noise.Mode, QStringLiteral("hide"));
    QStringList expected = DefaultFormNoise().Names;
    expected << QStringLiteral("Tag");
    EXPECT_EQ(noise.Names, expected);
    EXPECT_TRUE(expected.contains(QStringLiteral("PixelsPerInch")));
}
