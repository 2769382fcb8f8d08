<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Tarvona</name>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Command Line</source>
        <translation>Befehlszeile</translation>
    </message>
    <message>
        <source>&amp;MSG</source>
        <translation>N&amp;otiz</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Testen</translation>
    </message>
    <message>
        <source>Window Style</source>
        <translation>Fensterstil</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Häufigkeit</translation>
    </message>
    <message>
        <source>Next Run (mm-dd-yyyy)</source>
        <translation>Nächster Start (TT.MM.JJJJ)</translation>
    </message>
    <message>
        <source>Clea&amp;r This Event</source>
        <translation>&amp;Ereignis leeren</translation>
    </message>
    <message>
        <source>&amp;View All</source>
        <translation>&amp;Alle anzeigen</translation>
    </message>
    <message>
        <source>View &amp;Log</source>
        <translation>Protoko&amp;ll</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>Type a description for this event.</source>
        <translation>Geben Sie eine Beschreibung für dieses Ereignis ein.</translation>
    </message>
    <message>
        <source>Enter the command for this event.</source>
        <translation>Geben Sie den Befehl für dieses Ereignis ein.</translation>
    </message>
    <message>
        <source>Browse for the command line for this event.</source>
        <translation>Befehlszeile für dieses Ereignis auswählen.</translation>
    </message>
    <message>
        <source>Browse for a message file for this event.</source>
        <translation>Nachrichtendatei für dieses Ereignis schreiben.</translation>
    </message>
    <message>
        <source>Test launch this event.</source>
        <translation>Dieses Ereignis probeweise starten.</translation>
    </message>
    <message>
        <source>Select the window style for this event.</source>
        <translation>Fensterstil für dieses Ereignis wählen.</translation>
    </message>
    <message>
        <source>Select the launch frequency for this event.</source>
        <translation>Häufigkeit für dieses Ereignis wählen.</translation>
    </message>
    <message>
        <source>Display the calendar.</source>
        <translation>Kalender anzeigen.</translation>
    </message>
    <message>
        <source>Shows the next launch date for this event.</source>
        <translation>Zeigt das nächste Startdatum dieses Ereignisses.</translation>
    </message>
    <message>
        <source>Go to previous record.</source>
        <translation>Zum vorigen Ereignis.</translation>
    </message>
    <message>
        <source>Go to next record.</source>
        <translation>Zum nächsten Ereignis.</translation>
    </message>
    <message>
        <source>Reset this event to the default values.</source>
        <translation>Dieses Ereignis auf die Vorgaben zurücksetzen.</translation>
    </message>
    <message>
        <source>View a list of all events.</source>
        <translation>Liste aller Ereignisse anzeigen.</translation>
    </message>
    <message>
        <source>View the event log.</source>
        <translation>Fehlerprotokoll anzeigen.</translation>
    </message>
    <message>
        <source>Save all edits and exit.</source>
        <translation>Alle Änderungen speichern und beenden.</translation>
    </message>
    <message>
        <source>Cancel all edits and exit.</source>
        <translation>Alle Änderungen verwerfen und beenden.</translation>
    </message>
    <message>
        <source>Open the help file.</source>
        <translation>Hilfe öffnen.</translation>
    </message>
    <message>
        <source>Display program information.</source>
        <translation>Programminformationen anzeigen.</translation>
    </message>
    <message>
        <source>Previous event</source>
        <translation>Vorheriges Ereignis</translation>
    </message>
    <message>
        <source>Next event</source>
        <translation>Nächstes Ereignis</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Every Other Day</source>
        <translation>Jeden zweiten Tag</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Every Other Week</source>
        <translation>Jede zweite Woche</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Monatlich</translation>
    </message>
    <message>
        <source>Every Other Month</source>
        <translation>Jeden zweiten Monat</translation>
    </message>
    <message>
        <source>Yearly</source>
        <translation>Jährlich</translation>
    </message>
    <message>
        <source>One Time</source>
        <translation>Einmalig</translation>
    </message>
    <message>
        <source>Every Boot</source>
        <translation>Bei jedem Start</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Minimized</source>
        <translation>Minimiert</translation>
    </message>
    <message>
        <source>Maximized</source>
        <translation>Maximiert</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Could not execute %1.</source>
        <translation>%1 konnte nicht ausgeführt werden.</translation>
    </message>
    <message>
        <source>Unable to save the events to Tarvona.ini.</source>
        <translation>Die Ereignisse konnten nicht in Tarvona.ini gespeichert werden.</translation>
    </message>
    <message>
        <source>Unable to read Tarvona.ini. The events cannot be shown or saved.</source>
        <translation>Tarvona.ini kann nicht gelesen werden. Die Ereignisse können weder angezeigt noch gespeichert werden.</translation>
    </message>
    <message>
        <source>Tarvona.ini belongs to another user or others can write to it, so its events are not run, shown or saved.</source>
        <translation>Tarvona.ini gehört einem anderen Benutzer oder kann von anderen geändert werden; ihre Ereignisse werden daher weder ausgeführt noch angezeigt oder gespeichert.</translation>
    </message>
    <message>
        <source>Errors occurred while launching some applications. Review log file?</source>
        <translation>Beim Starten einiger Anwendungen sind Fehler aufgetreten. Protokolldatei anzeigen?</translation>
    </message>
    <message>
        <source>Unable to create message directory.<byte value="xd"/>
Scheduling messages will not work correctly.</source>
        <translation>Der Nachrichtenordner kann nicht angelegt werden.<byte value="xd"/>
Geplante Nachrichten werden nicht richtig funktionieren.</translation>
    </message>
    <message>
        <source>Unable to launch Tarvona.</source>
        <translation>Tarvona kann nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Unable to write message file.</source>
        <translation>Die Nachrichtendatei kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>You have not entered any message text.<byte value="xd"/>
Click Cancel if you don&apos;t wish to schedule a message.</source>
        <translation>Sie haben keinen Nachrichtentext eingegeben.<byte value="xd"/>
Klicken Sie auf Abbrechen, wenn Sie keine Nachricht planen möchten.</translation>
    </message>
    <message>
        <source>About Tarvona</source>
        <translation>Über Tarvona</translation>
    </message>
    <message>
        <source>Tarvona %1 (32 bit)</source>
        <translation>Tarvona %1 (32 Bit)</translation>
    </message>
    <message>
        <source>Copyright © 2026 the Tarvona developers.</source>
        <translation>Copyright © 2026 die Tarvona-Entwickler.</translation>
    </message>
    <message>
        <source>Released under the MIT License (see LICENSE).</source>
        <translation>Veröffentlicht unter der MIT-Lizenz (siehe LICENSE).</translation>
    </message>
    <message>
        <source>&amp;Okay</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Information</source>
        <translation>&amp;Information</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalender</translation>
    </message>
    <message>
        <source>Write a message</source>
        <translation>Notiz schreiben</translation>
    </message>
    <message>
        <source>Select the Event Date</source>
        <translation>Datum des Ereignisses wählen</translation>
    </message>
    <message>
        <source>Event date</source>
        <translation>Datum des Ereignisses</translation>
    </message>
    <message>
        <source>Previous month</source>
        <translation>Vorheriger Monat</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Nächster Monat</translation>
    </message>
    <message>
        <source>Double click to select.</source>
        <translation>Zum Auswählen doppelklicken.</translation>
    </message>
    <message>
        <source>Event Error Log</source>
        <translation>Fehlerprotokoll der Ereignisse</translation>
    </message>
    <message>
        <source>Event error log</source>
        <translation>Fehlerprotokoll</translation>
    </message>
    <message>
        <source>&amp;Run Tarvona</source>
        <translation>Tarvona &amp;starten</translation>
    </message>
    <message>
        <source>Enter a Message</source>
        <translation>Nachricht eingeben</translation>
    </message>
    <message>
        <source>Message text</source>
        <translation>Nachrichtentext</translation>
    </message>
    <message>
        <source>List Events</source>
        <translation>Ereignisse auflisten</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Ereignisse</translation>
    </message>
    <message>
        <source>Next Run</source>
        <translation>Nächster Start</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Fenster</translation>
    </message>
    <message>
        <source>Select Program</source>
        <translation>Programm auswählen</translation>
    </message>
    <message>
        <source>Programs (*.exe,*.com,*.bat,*.pif)</source>
        <translation>Programme (*.exe,*.com,*.bat,*.pif)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Tarvona Help</source>
        <translation>Tarvona-Hilfe</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Topic missing&lt;/h2&gt;&lt;p&gt;The help topic %1 is missing from the help document.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Thema fehlt&lt;/h2&gt;&lt;p&gt;Das Hilfethema %1 fehlt im Hilfedokument.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>:/tarvona/help.html</source>
        <extracomment>The help document in this language, :/tarvona/help_&lt;language&gt;.html</extracomment>
        <translation>:/tarvona/help_de.html</translation>
    </message>
    <message>
        <source>E/O Day</source>
        <translation>Jd. 2. Tag</translation>
    </message>
    <message>
        <source>E/O Week</source>
        <translation>Jd. 2. Woche</translation>
    </message>
    <message>
        <source>E/O Month</source>
        <translation>Jd. 2. Monat</translation>
    </message>
    <message>
        <source>Min.</source>
        <translation>Min.</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>Max.</translation>
    </message>
    <message>
        <source>mm-dd-yyyy</source>
        <extracomment>How the editor writes and reads dates, in the date box and the status bar: the month first (mm-dd-yyyy) or the day first (TT.MM.JJJJ); the third character is the separator. The label above the date box says the same.</extracomment>
        <translation>TT.MM.JJJJ</translation>
    </message>
</context>
</TS>
