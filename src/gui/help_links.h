// Where Help points: the user manual shipped with the program and the product's web page.
#pragma once

#include <QString>
#include <QStringList>

namespace quennet::gui {

// The product's page, as stored (without a scheme; WithHttpScheme adds one).
extern const QString kHomePageAddress;

// An address that does not begin with "http://" or "https://" (letter case counts) gets
// "http://" in front.
QString WithHttpScheme(const QString& address);

// Places looked at for the manual, in order: "manual.html" in the program's folder, then its
// doc folders (an installed program finds ../share/doc/quennet-pro/).
QStringList HelpFileCandidates(const QString& programDir);
// What Help says when none of the candidates exists: the file and every place looked at.
QString MissingManualMessage(const QStringList& candidates);
// The first candidate that exists; empty when none does.
QString LocateHelpFile(const QString& programDir);

} // namespace quennet::gui
