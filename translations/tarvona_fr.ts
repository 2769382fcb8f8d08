<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>Tarvona</name>
    <message>
        <source>Errors occurred while launching some applications. Review log file?</source>
        <translation>Des erreurs se sont produites au lancement de certaines applications. Afficher le journal ?</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Quotidien</translation>
    </message>
    <message>
        <source>Every Other Day</source>
        <translation>Un jour sur deux</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Hebdomadaire</translation>
    </message>
    <message>
        <source>Every Other Week</source>
        <translation>Une semaine sur deux</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Mensuel</translation>
    </message>
    <message>
        <source>Every Other Month</source>
        <translation>Un mois sur deux</translation>
    </message>
    <message>
        <source>Yearly</source>
        <translation>Annuel</translation>
    </message>
    <message>
        <source>One Time</source>
        <translation>Une seule fois</translation>
    </message>
    <message>
        <source>Every Boot</source>
        <translation>À chaque démarrage</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normale</translation>
    </message>
    <message>
        <source>Minimized</source>
        <translation>Réduite</translation>
    </message>
    <message>
        <source>Maximized</source>
        <translation>Agrandie</translation>
    </message>
    <message>
        <source>Unable to create message directory.<byte value="xd"/>
Scheduling messages will not work correctly.</source>
        <translation>Impossible de créer le dossier des messages.<byte value="xd"/>
Les messages planifiés ne fonctionneront pas correctement.</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Type a description for this event.</source>
        <translation>Saisissez une description pour cet événement.</translation>
    </message>
    <message>
        <source>Command Line</source>
        <translation>Ligne de commande</translation>
    </message>
    <message>
        <source>Enter the command for this event.</source>
        <translation>Saisissez la commande de cet événement.</translation>
    </message>
    <message>
        <source>Browse for the command line for this event.</source>
        <translation>Choisir la ligne de commande de cet événement.</translation>
    </message>
    <message>
        <source>&amp;MSG</source>
        <translation>&amp;Mémo</translation>
    </message>
    <message>
        <source>Browse for a message file for this event.</source>
        <translation>Écrire un fichier message pour cet événement.</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Tester</translation>
    </message>
    <message>
        <source>Test launch this event.</source>
        <translation>Lancer cet événement pour l’essayer.</translation>
    </message>
    <message>
        <source>Window Style</source>
        <translation>Style de fenêtre</translation>
    </message>
    <message>
        <source>Select the window style for this event.</source>
        <translation>Choisissez le style de fenêtre de cet événement.</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Fréquence</translation>
    </message>
    <message>
        <source>Select the launch frequency for this event.</source>
        <translation>Choisissez la fréquence de lancement de cet événement.</translation>
    </message>
    <message>
        <source>Next Run (mm-dd-yyyy)</source>
        <translation>Prochaine date (jj/mm/aaaa)</translation>
    </message>
    <message>
        <source>Display the calendar.</source>
        <translation>Afficher le calendrier.</translation>
    </message>
    <message>
        <source>Shows the next launch date for this event.</source>
        <translation>Affiche la prochaine date de lancement de cet événement.</translation>
    </message>
    <message>
        <source>Go to previous record.</source>
        <translation>Aller à l’événement précédent.</translation>
    </message>
    <message>
        <source>Go to next record.</source>
        <translation>Aller à l’événement suivant.</translation>
    </message>
    <message>
        <source>Clea&amp;r This Event</source>
        <translation>&amp;Effacer l’événement</translation>
    </message>
    <message>
        <source>Reset this event to the default values.</source>
        <translation>Remettre cet événement à ses valeurs par défaut.</translation>
    </message>
    <message>
        <source>&amp;View All</source>
        <translation>&amp;Voir tout</translation>
    </message>
    <message>
        <source>View a list of all events.</source>
        <translation>Afficher la liste de tous les événements.</translation>
    </message>
    <message>
        <source>View &amp;Log</source>
        <translation>&amp;Journal</translation>
    </message>
    <message>
        <source>View the event log.</source>
        <translation>Afficher le journal des erreurs.</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Save all edits and exit.</source>
        <translation>Enregistrer toutes les modifications et quitter.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Cancel all edits and exit.</source>
        <translation>Abandonner toutes les modifications et quitter.</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ai&amp;de</translation>
    </message>
    <message>
        <source>Open the help file.</source>
        <translation>Ouvrir l’aide.</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À pr&amp;opos</translation>
    </message>
    <message>
        <source>Display program information.</source>
        <translation>Afficher les informations sur le programme.</translation>
    </message>
    <message>
        <source>mm-dd-yyyy</source>
        <extracomment>How the editor writes and reads dates, in the date box and the status bar: the month first (mm-dd-yyyy) or the day first (TT.MM.JJJJ); the third character is the separator. The label above the date box says the same.</extracomment>
        <translation>jj/mm/aaaa</translation>
    </message>
    <message>
        <source>Tarvona.ini belongs to another user or others can write to it, so its events are not run, shown or saved.</source>
        <translation>Tarvona.ini appartient à un autre utilisateur ou d’autres peuvent le modifier ; ses événements ne sont donc ni lancés, ni affichés, ni enregistrés.</translation>
    </message>
    <message>
        <source>Unable to read Tarvona.ini. The events cannot be shown or saved.</source>
        <translation>Impossible de lire Tarvona.ini. Les événements ne peuvent être ni affichés ni enregistrés.</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Calendrier</translation>
    </message>
    <message>
        <source>Write a message</source>
        <translation>Écrire un message</translation>
    </message>
    <message>
        <source>Previous event</source>
        <translation>Événement précédent</translation>
    </message>
    <message>
        <source>Next event</source>
        <translation>Événement suivant</translation>
    </message>
    <message>
        <source>Unable to save the events to Tarvona.ini.</source>
        <translation>Impossible d’enregistrer les événements dans Tarvona.ini.</translation>
    </message>
    <message>
        <source>Could not execute %1.</source>
        <translation>Impossible d’exécuter %1.</translation>
    </message>
    <message>
        <source>Select Program</source>
        <translation>Choisir un programme</translation>
    </message>
    <message>
        <source>About Tarvona</source>
        <translation>À propos de Tarvona</translation>
    </message>
    <message>
        <source>Tarvona %1 (32 bit)</source>
        <translation>Tarvona %1 (32 bits)</translation>
    </message>
    <message>
        <source>Copyright © 2026 the Tarvona developers.</source>
        <translation>Copyright © 2026 les développeurs de Tarvona.</translation>
    </message>
    <message>
        <source>Released under the MIT License (see LICENSE).</source>
        <translation>Publié sous licence MIT (voir LICENSE).</translation>
    </message>
    <message>
        <source>&amp;Okay</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Information</source>
        <translation>&amp;Informations</translation>
    </message>
    <message>
        <source>Select the Event Date</source>
        <translation>Choisir la date de l’événement</translation>
    </message>
    <message>
        <source>Event date</source>
        <translation>Date de l’événement</translation>
    </message>
    <message>
        <source>Previous month</source>
        <translation>Mois précédent</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Mois suivant</translation>
    </message>
    <message>
        <source>Double click to select.</source>
        <translation>Double-cliquez pour choisir.</translation>
    </message>
    <message>
        <source>E/O Day</source>
        <translation>1 j. sur 2</translation>
    </message>
    <message>
        <source>E/O Week</source>
        <translation>1 sem./2</translation>
    </message>
    <message>
        <source>E/O Month</source>
        <translation>1 mois/2</translation>
    </message>
    <message>
        <source>Min.</source>
        <translation>Réd.</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>Agr.</translation>
    </message>
    <message>
        <source>Next Run</source>
        <translation>Prochaine date</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Fenêtre</translation>
    </message>
    <message>
        <source>List Events</source>
        <translation>Liste des événements</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Événements</translation>
    </message>
    <message>
        <source>Event Error Log</source>
        <translation>Journal des erreurs des événements</translation>
    </message>
    <message>
        <source>&amp;Run Tarvona</source>
        <translation>&amp;Lancer Tarvona</translation>
    </message>
    <message>
        <source>Event error log</source>
        <translation>Journal des erreurs</translation>
    </message>
    <message>
        <source>Unable to launch Tarvona.</source>
        <translation>Impossible de lancer Tarvona.</translation>
    </message>
    <message>
        <source>Enter a Message</source>
        <translation>Saisir un message</translation>
    </message>
    <message>
        <source>Message text</source>
        <translation>Texte du message</translation>
    </message>
    <message>
        <source>You have not entered any message text.<byte value="xd"/>
Click Cancel if you don&apos;t wish to schedule a message.</source>
        <translation>Vous n’avez saisi aucun texte de message.<byte value="xd"/>
Cliquez sur Annuler si vous ne souhaitez pas planifier de message.</translation>
    </message>
    <message>
        <source>Unable to write message file.</source>
        <translation>Impossible d’écrire le fichier message.</translation>
    </message>
    <message>
        <source>:/tarvona/help.html</source>
        <extracomment>The help document in this language, :/tarvona/help_&lt;language&gt;.html</extracomment>
        <translation>:/tarvona/help_fr.html</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Topic missing&lt;/h2&gt;&lt;p&gt;The help topic %1 is missing from the help document.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Sujet manquant&lt;/h2&gt;&lt;p&gt;Le sujet d’aide %1 manque dans le document d’aide.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Sommaire</translation>
    </message>
    <message>
        <source>Tarvona Help</source>
        <translation>Aide de Tarvona</translation>
    </message>
    <message>
        <source>Programs (*.exe,*.com,*.bat,*.pif)</source>
        <translation>Programmes (*.exe,*.com,*.bat,*.pif)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Tous les fichiers (*.*)</translation>
    </message>
</context>
</TS>
