<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TMainForm</name>
    <message>
        <source>The selected declaration lies beyond the end of the %1 text%2: it takes lines %3 to %4, the view holds %5 lines. The text was edited or reloaded after the compare; run Diff again.</source>
        <translation>Die gewählte Deklaration liegt hinter dem Ende des Texts %1%2: Sie umfasst die Zeilen %3 bis %4, die Ansicht enthält %5 Zeilen. Der Text wurde nach dem Vergleich bearbeitet oder neu geladen; bitte Diff erneut ausführen.</translation>
    </message>
    <message>
        <source>The user manual (manual.html) is not installed. It was looked for at:
%1</source>
        <translation>Das Benutzerhandbuch (manual.html) ist nicht installiert. Gesucht wurde in:
%1</translation>
    </message>
    <message>
        <source>The selected declaration&apos;s lines %3 to %4 lie beyond the end of the %1 text%2 of %5 lines, as it was compared: the comparison placed it wrongly. Please report this with both files.</source>
        <translation>Die Zeilen %3 bis %4 der gewählten Deklaration liegen hinter dem Ende des %1 Texts%2 mit %5 Zeilen, wie er verglichen wurde: Der Vergleich hat sie falsch eingeordnet. Bitte melden Sie dies mit beiden Dateien.</translation>
    </message>
</context>
<context>
    <name>TMergeEditForm</name>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Edit merged text</source>
        <translation>Zusammengeführten Text bearbeiten</translation>
    </message>
    <message>
        <source>The merged text was changed since it was loaded or saved.
Discard the changes?</source>
        <translation>Der zusammengeführte Text wurde seit dem Laden oder Speichern geändert.
Änderungen verwerfen?</translation>
    </message>
</context>
<context>
    <name>TUserDialogs</name>
    <message>
        <source>The command failed.</source>
        <translation>Der Befehl ist fehlgeschlagen.</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TAboutBox</name>
    <message>
        <source>About Quennet Pro</source>
        <translation>Über Quennet Pro</translation>
    </message>
    <message>
        <source>Compares two versions of a Delphi source file by their declarations
and helps merge them.</source>
        <translation>Vergleicht zwei Versionen einer Delphi-Quelldatei anhand ihrer Deklarationen
und hilft beim Zusammenführen.</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TAdvForm</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TDiffRptForm</name>
    <message>
        <source>Diff Report</source>
        <translation>Unterschiedsbericht</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save diff report as...</source>
        <translation>Unterschiedsbericht speichern unter...</translation>
    </message>
    <message>
        <source>Text file (*.txt)|*.txt|All files (*.*)|*.*</source>
        <translation>Textdatei (*.txt)|*.txt|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>Report text</source>
        <translation>Berichtstext</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TFilenameEdit</name>
    <message>
        <source>Recent files</source>
        <translation>Zuletzt benutzte Dateien</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TFindDialog</name>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation>&amp;Suchen nach:</translation>
    </message>
    <message>
        <source>Match &amp;whole word only</source>
        <translation>Nur &amp;ganzes Wort</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>Groß-/&amp;Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>&amp;Find Next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TMainForm</name>
    <message>
        <source>Designer noise: %1 hidden.</source>
        <translation>Designer-Rauschen: %1 ausgeblendet.</translation>
    </message>
    <message>
        <source>Designer noise: %1.</source>
        <translation>Designer-Rauschen: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a binary form, shown as its text; the text is not saved over it.</source>
        <translation>„%1“ ist ein binäres Formular, als Text gezeigt; der Text wird nicht darüber gespeichert.</translation>
    </message>
    <message>
        <source>Scroll views together</source>
        <translation>Ansichten gemeinsam blättern</translation>
    </message>
    <message>
        <source>Line numbers</source>
        <translation>Zeilennummern</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Suchen...</translation>
    </message>
    <message>
        <source>Find &amp;next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>Find &amp;previous</source>
        <translation>&amp;Rückwärts suchen</translation>
    </message>
    <message>
        <source>&amp;Recent pairs</source>
        <translation>&amp;Zuletzt verglichen</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Open a file into the focused view</source>
        <translation>Eine Datei in die aktive Ansicht laden</translation>
    </message>
    <message>
        <source>Save the focused view</source>
        <translation>Die aktive Ansicht speichern</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>old</source>
        <translation>alte</translation>
    </message>
    <message>
        <source>new</source>
        <translation>neue</translation>
    </message>
    <message>
        <source>The old and the new view hold changes that are not saved.
Discard them?</source>
        <translation>Die alte und die neue Ansicht enthalten ungespeicherte Änderungen.
Verwerfen?</translation>
    </message>
    <message>
        <source>The %1 view holds changes that are not saved.
Discard them?</source>
        <translation>Die %1 Ansicht enthält ungespeicherte Änderungen.
Verwerfen?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was changed on disk since it was loaded. Save over it?</source>
        <translation>&quot;%1&quot; wurde seit dem Laden auf der Platte geändert. Trotzdem überschreiben?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was changed on disk since it was loaded.</source>
        <translation>&quot;%1&quot; wurde seit dem Laden auf der Platte geändert.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no longer on disk.</source>
        <translation>&quot;%1&quot; ist nicht mehr auf der Platte.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; not found.</source>
        <translation>&quot;%1&quot; nicht gefunden.</translation>
    </message>
    <message>
        <source>Make Diff</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Old File</source>
        <translation>Alte Datei</translation>
    </message>
    <message>
        <source>New File</source>
        <translation>Neue Datei</translation>
    </message>
    <message>
        <source>Source View</source>
        <translation>Quelltextansicht</translation>
    </message>
    <message>
        <source>Diff View</source>
        <translation>Unterschiedsansicht</translation>
    </message>
    <message>
        <source>Expand</source>
        <translation>Aufklappen</translation>
    </message>
    <message>
        <source>Collapse</source>
        <translation>Zuklappen</translation>
    </message>
    <message>
        <source>&amp;Diff</source>
        <translation>&amp;Vergleich</translation>
    </message>
    <message>
        <source>Diff</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Show diff &amp;report...</source>
        <translation>Unterschieds&amp;bericht anzeigen...</translation>
    </message>
    <message>
        <source>Show Diff report...</source>
        <translation>Unterschiedsbericht anzeigen...</translation>
    </message>
    <message>
        <source>Edit &amp;merged text...</source>
        <translation>&amp;Zusammengeführten Text bearbeiten...</translation>
    </message>
    <message>
        <source>Edit merged text</source>
        <translation>Zusammengeführten Text bearbeiten</translation>
    </message>
    <message>
        <source>Show &amp;Navigator</source>
        <translation>&amp;Navigator anzeigen</translation>
    </message>
    <message>
        <source>Navigator</source>
        <translation>Navigator</translation>
    </message>
    <message>
        <source>Split mode</source>
        <translation>Nebeneinander</translation>
    </message>
    <message>
        <source>Open first file (old)</source>
        <translation>Erste Datei öffnen (alt)</translation>
    </message>
    <message>
        <source>Open second file (new)</source>
        <translation>Zweite Datei öffnen (neu)</translation>
    </message>
    <message>
        <source>&amp;Open merged workspace</source>
        <translation>Zusammenführungs-Arbeitsbereich &amp;öffnen</translation>
    </message>
    <message>
        <source>Save first file as...</source>
        <translation>Erste Datei speichern unter...</translation>
    </message>
    <message>
        <source>Save second file as...</source>
        <translation>Zweite Datei speichern unter...</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>Homepage</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>Enable Edit</source>
        <translation>Bearbeiten erlauben</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Reload</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>R&amp;edo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Prior difference</source>
        <translation>Vorheriger Unterschied</translation>
    </message>
    <message>
        <source>Next difference</source>
        <translation>Nächster Unterschied</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Differencing ...</source>
        <translation>Vergleiche ...</translation>
    </message>
    <message>
        <source>Prepare ...</source>
        <translation>Vorbereiten ...</translation>
    </message>
    <message>
        <source>Parse </source>
        <translation>Analysiere </translation>
    </message>
    <message>
        <source>Find differences ...</source>
        <translation>Unterschiede suchen ...</translation>
    </message>
    <message>
        <source>Loading ...</source>
        <translation>Laden ...</translation>
    </message>
    <message>
        <source>Structure followed only up to line %1</source>
        <translation>Struktur nur bis Zeile %1 verfolgt</translation>
    </message>
    <message>
        <source>Structure not followed to the end</source>
        <translation>Struktur nicht bis zum Ende verfolgt</translation>
    </message>
    <message>
        <source>Comparison aborted.</source>
        <translation>Vergleich abgebrochen.</translation>
    </message>
    <message>
        <source>No structural differences.</source>
        <translation>Keine strukturellen Unterschiede.</translation>
    </message>
    <message>
        <source>1 difference.</source>
        <translation>1 Unterschied.</translation>
    </message>
    <message>
        <source>%1 differences.</source>
        <translation>%1 Unterschiede.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was no longer on disk. The text has been saved under that name; no backup was made.</source>
        <translation>„%1“ war nicht mehr auf dem Datenträger. Der Text wurde unter diesem Namen gespeichert; es wurde keine Sicherung angelegt.</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>No program could open the user manual &quot;%1&quot;.</source>
        <translation>Kein Programm konnte das Benutzerhandbuch „%1“ öffnen.</translation>
    </message>
    <message>
        <source>No program could open &quot;%1&quot;.</source>
        <translation>Kein Programm konnte „%1“ öffnen.</translation>
    </message>
    <message>
        <source>Merging ...</source>
        <translation>Zusammenführen ...</translation>
    </message>
    <message>
        <source>Prepare for merge ...</source>
        <translation>Zusammenführung vorbereiten ...</translation>
    </message>
    <message>
        <source>Merge done. Loading ...</source>
        <translation>Zusammenführung fertig. Laden ...</translation>
    </message>
    <message>
        <source>Open merge workspace</source>
        <translation>Zusammenführungs-Arbeitsbereich öffnen</translation>
    </message>
    <message>
        <source>Rich Text (*.rtf)|*.rtf|All files (*.*)|*.*</source>
        <translation>Rich Text (*.rtf)|*.rtf|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>Difference tree</source>
        <translation>Unterschiedsbaum</translation>
    </message>
    <message>
        <source>Old file name</source>
        <translation>Name der alten Datei</translation>
    </message>
    <message>
        <source>New file name</source>
        <translation>Name der neuen Datei</translation>
    </message>
    <message>
        <source>Old source</source>
        <translation>Alter Quelltext</translation>
    </message>
    <message>
        <source>New source</source>
        <translation>Neuer Quelltext</translation>
    </message>
    <message>
        <source>Merged differences</source>
        <translation>Zusammengeführte Unterschiede</translation>
    </message>
    <message>
        <source>Next changed declaration</source>
        <translation>Nächste geänderte Deklaration</translation>
    </message>
    <message>
        <source>Prior changed declaration</source>
        <translation>Vorherige geänderte Deklaration</translation>
    </message>
    <message>
        <source>&amp;Go to line...</source>
        <translation>&amp;Gehe zu Zeile...</translation>
    </message>
    <message>
        <source>Go to line</source>
        <translation>Gehe zu Zeile</translation>
    </message>
    <message>
        <source>Line of the old file (1 - %1):</source>
        <translation>Zeile der alten Datei (1 - %1):</translation>
    </message>
    <message>
        <source>Line of the new file (1 - %1):</source>
        <translation>Zeile der neuen Datei (1 - %1):</translation>
    </message>
    <message>
        <source>1 new inconsistency between the unit and its form.</source>
        <translation>1 neuer Widerspruch zwischen der Unit und ihrem Formular.</translation>
    </message>
    <message>
        <source>%1 new inconsistencies between the unit and its form.</source>
        <translation>%1 neue Widersprüche zwischen der Unit und ihrem Formular.</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TMerge3Window</name>
    <message>
        <source>Save merge</source>
        <translation>Zusammenführung speichern</translation>
    </message>
    <message>
        <source>1 conflict is not resolved; its markers stay in the file.
Save anyway?</source>
        <translation>1 Konflikt ist nicht gelöst; seine Markierungen bleiben in der Datei.
Trotzdem speichern?</translation>
    </message>
    <message>
        <source>%1 conflicts are not resolved; their markers stay in the file.
Save anyway?</source>
        <translation>%1 Konflikte sind nicht gelöst; ihre Markierungen bleiben in der Datei.
Trotzdem speichern?</translation>
    </message>
    <message>
        <source>Three-way merge</source>
        <translation>Dreiwege-Zusammenführung</translation>
    </message>
    <message>
        <source>The result was changed since it was saved.
Discard the changes?</source>
        <translation>Das Ergebnis wurde seit dem Speichern geändert.
Änderungen verwerfen?</translation>
    </message>
    <message>
        <source>Base</source>
        <translation>Basis</translation>
    </message>
    <message>
        <source>Local</source>
        <translation>Lokal</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>Remote</translation>
    </message>
    <message>
        <source>&amp;Base  (Ctrl+1)</source>
        <translation>&amp;Basis  (Strg+1)</translation>
    </message>
    <message>
        <source>&amp;Local  (Ctrl+2)</source>
        <translation>&amp;Lokal  (Strg+2)</translation>
    </message>
    <message>
        <source>&amp;Remote  (Ctrl+3)</source>
        <translation>&amp;Remote  (Strg+3)</translation>
    </message>
    <message>
        <source>Both, l&amp;ocal first  (Ctrl+4)</source>
        <translation>Beide, l&amp;okal zuerst  (Strg+4)</translation>
    </message>
    <message>
        <source>Both, r&amp;emote first  (Ctrl+5)</source>
        <translation>Beide, r&amp;emote zuerst  (Strg+5)</translation>
    </message>
    <message>
        <source>Edit by &amp;hand</source>
        <translation>Von &amp;Hand bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Previous  (Alt+Up)</source>
        <translation>&amp;Vorheriger  (Alt+Hoch)</translation>
    </message>
    <message>
        <source>&amp;Next  (Alt+Down)</source>
        <translation>&amp;Nächster  (Alt+Runter)</translation>
    </message>
    <message>
        <source>&amp;Undo  (Ctrl+Z)</source>
        <translation>&amp;Rückgängig  (Strg+Z)</translation>
    </message>
    <message>
        <source>Re&amp;do  (Ctrl+Y)</source>
        <translation>&amp;Wiederholen  (Strg+Y)</translation>
    </message>
    <message>
        <source>CR LF (Windows)</source>
        <translation>CR LF (Windows)</translation>
    </message>
    <message>
        <source>LF (Unix)</source>
        <translation>LF (Unix)</translation>
    </message>
    <message>
        <source>&amp;Save  (Ctrl+S)</source>
        <translation>&amp;Speichern  (Strg+S)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Conflicts</source>
        <translation>Konflikte</translation>
    </message>
    <message>
        <source>Encoding</source>
        <translation>Kodierung</translation>
    </message>
    <message>
        <source>Line ends</source>
        <translation>Zeilenenden</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Three-way merge - %1</source>
        <translation>Dreiwege-Zusammenführung - %1</translation>
    </message>
    <message>
        <source>Lines %1-%2 of the result</source>
        <translation>Zeilen %1-%2 des Ergebnisses</translation>
    </message>
    <message>
        <source>1 conflict by lines</source>
        <translation>1 Konflikt nach Zeilen</translation>
    </message>
    <message>
        <source>%1 conflicts by lines</source>
        <translation>%1 Konflikte nach Zeilen</translation>
    </message>
    <message>
        <source>, %1 solved by the declarations, %2 left</source>
        <translation>, %1 durch die Deklarationen gelöst, %2 offen</translation>
    </message>
    <message>
        <source>No conflicts left</source>
        <translation>Keine Konflikte mehr</translation>
    </message>
    <message>
        <source>1 conflict unresolved</source>
        <translation>1 Konflikt ungelöst</translation>
    </message>
    <message>
        <source>%1 conflicts unresolved</source>
        <translation>%1 Konflikte ungelöst</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TMergeEditForm</name>
    <message>
        <source>Edit merged text</source>
        <translation>Zusammengeführten Text bearbeiten</translation>
    </message>
    <message>
        <source>Prior difference</source>
        <translation>Vorheriger Unterschied</translation>
    </message>
    <message>
        <source>Next difference</source>
        <translation>Nächster Unterschied</translation>
    </message>
    <message>
        <source>Mark as unchanged</source>
        <translation>Als unverändert markieren</translation>
    </message>
    <message>
        <source>Mark as removed</source>
        <translation>Als entfernt markieren</translation>
    </message>
    <message>
        <source>Mark as inserted</source>
        <translation>Als eingefügt markieren</translation>
    </message>
    <message>
        <source>Save new version (without &amp;Red)</source>
        <translation>Neue Version speichern (ohne &amp;Rot)</translation>
    </message>
    <message>
        <source>Save new version (without Red)</source>
        <translation>Neue Version speichern (ohne Rot)</translation>
    </message>
    <message>
        <source>Save old version (without &amp;Blue)</source>
        <translation>Alte Version speichern (ohne &amp;Blau)</translation>
    </message>
    <message>
        <source>Save old version (without Blue)</source>
        <translation>Alte Version speichern (ohne Blau)</translation>
    </message>
    <message>
        <source>Save &amp;merged version ($IFDEF)</source>
        <translation>&amp;Zusammengeführte Version speichern ($IFDEF)</translation>
    </message>
    <message>
        <source>Save merged version ($IFDEF)</source>
        <translation>Zusammengeführte Version speichern ($IFDEF)</translation>
    </message>
    <message>
        <source>&amp;Save merge workspace</source>
        <translation>Zusammenführungs-Arbeitsbereich &amp;speichern</translation>
    </message>
    <message>
        <source>Save merge workspace</source>
        <translation>Zusammenführungs-Arbeitsbereich speichern</translation>
    </message>
    <message>
        <source>&amp;Open merge workspace</source>
        <translation>Zusammenführungs-Arbeitsbereich ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open merge workspace</source>
        <translation>Zusammenführungs-Arbeitsbereich öffnen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Merge</source>
        <translation>Zusammenführen</translation>
    </message>
    <message>
        <source>Save merge workspace as...</source>
        <translation>Zusammenführungs-Arbeitsbereich speichern unter...</translation>
    </message>
    <message>
        <source>Save merged text as...</source>
        <translation>Zusammengeführten Text speichern unter...</translation>
    </message>
    <message>
        <source>Merge workspace</source>
        <translation>Zusammenführungs-Arbeitsbereich</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TMergeSetupDlgForm</name>
    <message>
        <source>Merge Setup</source>
        <translation>Zusammenführung einrichten</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Comment //</source>
        <translation>Kommentar //</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TNavigatorForm</name>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Whole tree</source>
        <translation>Ganzer Baum</translation>
    </message>
    <message>
        <source>Compare trees</source>
        <translation>Bäume vergleichen</translation>
    </message>
    <message>
        <source>Compare the two folders and all their subfolders</source>
        <translation>Beide Ordner mit allen Unterordnern vergleichen</translation>
    </message>
    <message>
        <source>API changes</source>
        <translation>API-Änderungen</translation>
    </message>
    <message>
        <source>Count breaking, additive and internal changes of each unit</source>
        <translation>Brechende, ergänzende und interne Änderungen je Unit zählen</translation>
    </message>
    <message>
        <source>Breaking</source>
        <translation>Brechend</translation>
    </message>
    <message>
        <source>Additive</source>
        <translation>Ergänzend</translation>
    </message>
    <message>
        <source>Internal</source>
        <translation>Intern</translation>
    </message>
    <message>
        <source>Reading the trees ... (Escape cancels)</source>
        <translation>Bäume werden gelesen ... (Escape bricht ab)</translation>
    </message>
    <message>
        <source>Tree comparison cancelled.</source>
        <translation>Baumvergleich abgebrochen.</translation>
    </message>
    <message>
        <source>%1 identical, %2 different, %3 only old, %4 only new</source>
        <translation>%1 gleich, %2 verschieden, %3 nur alt, %4 nur neu</translation>
    </message>
    <message>
        <source>; %1 breaking changes</source>
        <translation>; %1 brechende Änderungen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a folder.</source>
        <translation>&quot;%1&quot; ist kein Ordner.</translation>
    </message>
    <message>
        <source>Folder: choose a drive or type a path and press Enter</source>
        <translation>Ordner: Laufwerk wählen oder Pfad eingeben und Enter drücken</translation>
    </message>
    <message>
        <source>Old folder</source>
        <translation>Alter Ordner</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>Navigator</source>
        <translation>Navigator</translation>
    </message>
    <message>
        <source>Old files</source>
        <translation>Alte Dateien</translation>
    </message>
    <message>
        <source>New files</source>
        <translation>Neue Dateien</translation>
    </message>
    <message>
        <source>Set left folder eq right</source>
        <translation>Linken Ordner gleich rechtem setzen</translation>
    </message>
    <message>
        <source>Refresh contents</source>
        <translation>Inhalt aktualisieren</translation>
    </message>
    <message>
        <source>Set right folder eq left</source>
        <translation>Rechten Ordner gleich linkem setzen</translation>
    </message>
    <message>
        <source>%1: %2 identical, %3 different, %4 only here</source>
        <translation>%1: %2 gleich, %3 verschieden, %4 nur hier</translation>
    </message>
    <message>
        <source>Old folders</source>
        <translation>Alte Ordner</translation>
    </message>
    <message>
        <source>New folders</source>
        <translation>Neue Ordner</translation>
    </message>
    <message>
        <source> (%1 only in line ends)</source>
        <translation> (%1 nur in Zeilenenden)</translation>
    </message>
    <message>
        <source>; %1 not read to the end</source>
        <translation>; %1 nicht bis zum Ende gelesen</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TOverviewStrip</name>
    <message>
        <source>Differences in the whole text; click to go there</source>
        <translation>Unterschiede im ganzen Text; ein Klick springt dorthin</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TProgressDialogForm</name>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>quennet::gui::TSetupForm</name>
    <message>
        <source>Show apart, dimmed</source>
        <translation>Getrennt und abgeblendet zeigen</translation>
    </message>
    <message>
        <source>Hide, count only</source>
        <translation>Ausblenden, nur zählen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>Designer noise</source>
        <translation>Designer-Rauschen</translation>
    </message>
    <message>
        <source>Properties the form designer rewrites by itself, one per line (Name* for every name that begins so):</source>
        <translation>Eigenschaften, die der Formulardesigner von sich aus neu schreibt, eine pro Zeile (Name* für jeden Namen, der so beginnt):</translation>
    </message>
    <message>
        <source>Restore defaults</source>
        <translation>Standardwerte</translation>
    </message>
    <message>
        <source>Form files</source>
        <translation>Formulardateien</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>One compiler symbol per line:</source>
        <translation>Ein Compilersymbol pro Zeile:</translation>
    </message>
    <message>
        <source>Dialect</source>
        <translation>Dialekt</translation>
    </message>
    <message>
        <source>Compiler definitions</source>
        <translation>Compilerdefinitionen</translation>
    </message>
    <message>
        <source>With VER130, WIN32 and CPU386 all listed, the target&apos;s own symbols stand in their place.</source>
        <translation>Stehen VER130, WIN32 und CPU386 alle in der Liste, gelten an ihrer Stelle die Symbole des Zielsystems.</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Zielsystem</translation>
    </message>
    <message>
        <source>Folders searched for include files, in this order, after the folder of the file that includes them:</source>
        <translation>Ordner, in denen Include-Dateien in dieser Reihenfolge gesucht werden, nach dem Ordner der einbindenden Datei:</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>Hinzufügen...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Move up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Include folders</source>
        <translation>Include-Ordner</translation>
    </message>
    <message>
        <source>Include folder</source>
        <translation>Include-Ordner</translation>
    </message>
    <message>
        <source>One filter per line: description|patterns</source>
        <translation>Ein Filter pro Zeile: Beschreibung|Muster</translation>
    </message>
    <message>
        <source>Extensions</source>
        <translation>Dateiendungen</translation>
    </message>
    <message>
        <source>This is the sample text</source>
        <translation>Dies ist der Beispieltext</translation>
    </message>
    <message>
        <source>Editor Font</source>
        <translation>Editor-Schrift</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Charset</source>
        <translation>Zeichensatz</translation>
    </message>
    <message>
        <source>Sample Text</source>
        <translation>Beispieltext</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Farbschema</translation>
    </message>
</context>
</TS>
