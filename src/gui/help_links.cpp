// Help targets.
#include "help_links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quennet::gui {

const QString kHomePageAddress = QStringLiteral("quennet.example/pro/");

QString WithHttpScheme(const QString& address) {
    if (address.startsWith(QLatin1String("http://")) ||
        address.startsWith(QLatin1String("https://")))
        return address;
    return QStringLiteral("http://") + address;
}

QStringList HelpFileCandidates(const QString& programDir) {
    const QDir dir(programDir);
    QStringList candidates = {
        dir.filePath(QStringLiteral("manual.html")),
        dir.filePath(QStringLiteral("doc/manual.html")),
        dir.filePath(QStringLiteral("../share/doc/quennet-pro/manual.html")),
    };
    for (QString& c : candidates)
        c = QDir::cleanPath(c);
    return candidates;
}

QString MissingManualMessage(const QStringList& candidates) {
    QStringList places;
    for (const QString& c : candidates)
        places << QDir::toNativeSeparators(c);
    return QCoreApplication::translate("TMainForm",
                                       "The user manual (manual.html) is not installed. It was "
                                       "looked for at:\n%1")
        .arg(places.join(QLatin1Char('\n')));
}

QString LocateHelpFile(const QString& programDir) {
    for (const QString& c : HelpFileCandidates(programDir))
        if (QFileInfo(c).isFile()) return c;
    return QString();
}

} // namespace quennet::gui
