// Dialogs that answer from fields and record what they were asked.
#pragma once

#include "user_dialogs.h"

#include <QDialog>
#include <QStringList>
#include <QUrl>
#include <array>
#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace quennet::gui {

class FakeDialogs : public TUserDialogs {
public:
    void Information(QWidget*, const QString& text) override { Infos << text; }
    void Error(QWidget*, const QString& text) override { Errors << text; }
    QString OpenFileName(QWidget*, const QString& title, const QString& initialDir,
                         const QString& filter) override {
        LastOpenTitle = title;
        LastOpenDir = initialDir;
        LastOpenFilter = filter;
        return OpenAnswer;
    }
    QString SaveFileName(QWidget*, const SaveDialogOptions& options) override {
        LastSave = options;
        return SaveAnswer;
    }

    bool OpenUrl(const QUrl& url) override {
        OpenedUrls << url.toString();
        return OpenUrlAnswer;
    }
    int ExecDialog(QDialog& dialog) override {
        ShownDialogs << dialog.windowTitle();
        return 0;
    }

    bool Confirm(QWidget*, const QString& text, const QString&) override {
        Questions << text;
        return ConfirmAnswer;
    }

    std::optional<int> AskInteger(QWidget*, const QString& title, const QString& label, int value,
                                  int min, int max) override {
        Asked << title;
        LastAskLabel = label;
        LastAskRange = {value, min, max};
        return IntegerAnswer;
    }

    QStringList Asked;
    QString LastAskLabel;
    std::array<int, 3> LastAskRange{}; // value, min, max
    std::optional<int> IntegerAnswer;
    QStringList Questions;
    bool ConfirmAnswer = true;
    QStringList OpenedUrls;
    bool OpenUrlAnswer = true;
    QStringList ShownDialogs;
    QStringList Infos;
    QStringList Errors;
    QString OpenAnswer;
    QString LastOpenTitle;
    QString LastOpenDir;
    QString LastOpenFilter;
    QString SaveAnswer;
    SaveDialogOptions LastSave;
};

} // namespace quennet::gui
