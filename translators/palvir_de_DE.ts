<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Console</name>
    <message>
        <source>LocalHost</source>
        <translation>Lokaler Rechner</translation>
    </message>
    <message>
        <source>Commands now go to %1 (%2).</source>
        <translation>Befehle gehen jetzt an %1 (%2).</translation>
    </message>
    <message>
        <source>Commands now go to %1, serial number %2 (%3).</source>
        <translation>Befehle gehen jetzt an %1, Seriennummer %2 (%3).</translation>
    </message>
</context>
<context>
    <name>ControllerWatcher</name>
    <message>
        <source>Finding controller...</source>
        <translation>Controller werden gesucht...</translation>
    </message>
    <message>
        <source>Controllers appear in the tree as they are found.</source>
        <translation>Controller erscheinen im Baum, sobald sie gefunden werden.</translation>
    </message>
</context>
<context>
    <name>DialogAddControllerByIP</name>
    <message>
        <source>Connect To Server</source>
        <translation>Mit Server verbinden</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Please enter a valid IP address.</source>
        <translation>Bitte geben Sie eine gültige IP-Adresse ein.</translation>
    </message>
</context>
<context>
    <name>DialogAddHotSpareDisk</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Verfügbare Festplatten</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>New Hot Spare Disk</source>
        <translation>Neue Hot-Spare-Festplatte</translation>
    </message>
    <message>
        <source>Are you sure you want to create hot spare disk?</source>
        <translation>Möchten Sie die Hot-Spare-Festplatte wirklich erstellen?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateHotSpare(..), Error = %0.</source>
        <translation>ZynCreateHotSpare(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Hotspare disk(s) have been created successfully.</source>
        <translation>Die Hot-Spare-Festplatte(n) wurde(n) erfolgreich erstellt.</translation>
    </message>
</context>
<context>
    <name>DialogAddNestedVolume</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available RaidSet(s)</source>
        <translation>Verfügbare RAID-Sets</translation>
    </message>
    <message>
        <source>Nested(Hybrid) RAID Level</source>
        <translation>Level des verschachtelten (hybriden) RAID</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID-Level:</translation>
    </message>
    <message>
        <source>Raid 00</source>
        <translation>Raid 00</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid 100</source>
        <translation>Raid 100</translation>
    </message>
    <message>
        <source>Raid 30</source>
        <translation>Raid 30</translation>
    </message>
    <message>
        <source>Raid 50</source>
        <translation>Raid 50</translation>
    </message>
    <message>
        <source>Raid 60</source>
        <translation>Raid 60</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>Kapazität:</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Initialization Mode:</source>
        <translation>Initialisierungsmodus:</translation>
    </message>
    <message>
        <source>Foreground Initialization</source>
        <translation>Initialisierung im Vordergrund</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>Stripe-Größe:</translation>
    </message>
    <message>
        <source>64 KBytes</source>
        <translation>64 KByte</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>Cache-Modus:</translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>Write-Back</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>New Nested(Hybrid) RAID</source>
        <translation>Neues verschachteltes (hybrides) RAID</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>MAX: </translation>
    </message>
    <message>
        <source>Exceed numbers of volumes allowed.</source>
        <translation>Die zulässige Anzahl an Volumes ist überschritten.</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>Möchten Sie dieses Volume wirklich erstellen?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>ZynCreateVolSet(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>Das Volume wurde erfolgreich erstellt.</translation>
    </message>
</context>
<context>
    <name>DialogAddPassThroughDisk</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Verfügbare Festplatten</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>New Pass Through Disk</source>
        <translation>Neue Pass-Through-Festplatte</translation>
    </message>
    <message>
        <source>Are you sure you want to create pass through disk?</source>
        <translation>Möchten Sie die Pass-Through-Festplatte wirklich erstellen?</translation>
    </message>
    <message>
        <source>Failed to ZynCreatePassthroughDisk(..), Error = %0.</source>
        <translation>ZynCreatePassthroughDisk(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Pass through disk(s) have been created successfully.</source>
        <translation>Die Pass-Through-Festplatte(n) wurde(n) erfolgreich erstellt.</translation>
    </message>
</context>
<context>
    <name>DialogAddRaidSet</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>New RaidSet Information</source>
        <translation>Angaben zum neuen RAID-Set</translation>
    </message>
    <message>
        <source>Member Disks:</source>
        <translation>Mitgliedsfestplatten:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>Gesamte Rohkapazität:</translation>
    </message>
    <message>
        <source>Min Member Disk Size:</source>
        <translation>Kleinste Mitgliedsfestplatte:</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Verfügbare Festplatten</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>New RaidSet</source>
        <translation>Neues RAID-Set</translation>
    </message>
    <message>
        <source>Are you sure you want to create this raidset ?</source>
        <translation>Möchten Sie dieses RAID-Set wirklich erstellen?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateRaidSet(..), Error = %0.</source>
        <translation>ZynCreateRaidSet(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>RaidSet has been created successfully.</source>
        <translation>Das RAID-Set wurde erfolgreich erstellt.</translation>
    </message>
</context>
<context>
    <name>DialogAddVolume</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>New Volume Information</source>
        <translation>Angaben zum neuen Volume</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID-Level:</translation>
    </message>
    <message>
        <source>Raid 0</source>
        <translation>RAID 0</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid 1</source>
        <translation>RAID 1</translation>
    </message>
    <message>
        <source>Raid 3</source>
        <translation>RAID 3</translation>
    </message>
    <message>
        <source>Raid 5</source>
        <translation>RAID 5</translation>
    </message>
    <message>
        <source>Raid 6</source>
        <translation>RAID 6</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>Kapazität:</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Initialization Mode:</source>
        <translation>Initialisierungsmodus:</translation>
    </message>
    <message>
        <source>Foreground Initialization</source>
        <translation>Initialisierung im Vordergrund</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>Stripe-Größe:</translation>
    </message>
    <message>
        <source>64 KBytes</source>
        <translation>64 KByte</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>Cache-Modus:</translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>Write-Back</translation>
    </message>
    <message>
        <source>RaidSet Information</source>
        <translation>Angaben zum RAID-Set</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>Gesamte Rohkapazität:</translation>
    </message>
    <message>
        <source>Free Raw Capacity:</source>
        <translation>Freie Rohkapazität:</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>Zustand:</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>MAX: </translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>Neues Volume</translation>
    </message>
    <message>
        <source>Raid 1+0</source>
        <translation>RAID 1+0</translation>
    </message>
    <message>
        <source>Exceed numbers of volumes allowed.</source>
        <translation>Die zulässige Anzahl an Volumes ist überschritten.</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>Möchten Sie dieses Volume wirklich erstellen?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>ZynCreateVolSet(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>Das Volume wurde erfolgreich erstellt.</translation>
    </message>
</context>
<context>
    <name>DialogDeleteHotSpareDisk</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Hot Spare Disk</source>
        <translation>Verfügbare Hot-Spare-Festplatten</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete Hot Spare Disk</source>
        <translation>Hot-Spare-Festplatte löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete hot spare disk?</source>
        <translation>Möchten Sie die Hot-Spare-Festplatte wirklich löschen?</translation>
    </message>
    <message>
        <source>Failed to ZynDeleteHotSpare(..), Error = %0.</source>
        <translation>ZynDeleteHotSpare(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Hotspare disk(s) have been deleted successfully.</source>
        <translation>Die Hot-Spare-Festplatte(n) wurde(n) erfolgreich gelöscht.</translation>
    </message>
</context>
<context>
    <name>DialogDeleteNestedVolumes</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Available Nested(Hybrid) RAID</source>
        <translation>Verfügbare verschachtelte (hybride) RAIDs</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete Nested(Hybrid) RAID</source>
        <translation>Verschachteltes (hybrides) RAID löschen</translation>
    </message>
    <message>
        <source>ALL DATA IN THESE VOLUMES WILL BE LOST!!!
Are you sure you want to continue ?</source>
        <translation>ALLE DATEN IN DIESEN VOLUMES GEHEN VERLOREN!!!
Möchten Sie wirklich fortfahren?</translation>
    </message>
    <message>
        <source>Failed to ZynDelVolSet(..), Error = %0.</source>
        <translation>ZynDelVolSet(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Nested(Hybrid) RAID(s) have been deleted successfully.</source>
        <translation>Die verschachtelten (hybriden) RAIDs wurden erfolgreich gelöscht.</translation>
    </message>
</context>
<context>
    <name>DialogDiskDetail</name>
    <message>
        <source>Disk Information</source>
        <translation>Festplatteninformationen</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Device Type:</source>
        <translation>Gerätetyp:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Device Location:</source>
        <translation>Geräteposition:</translation>
    </message>
    <message>
        <source>Model Name:</source>
        <translation>Modellname:</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>Seriennummer:</translation>
    </message>
    <message>
        <source>Firmware Rev:</source>
        <translation>Firmware-Version:</translation>
    </message>
    <message>
        <source>Disk Capacity:</source>
        <translation>Festplattenkapazität:</translation>
    </message>
    <message>
        <source>Device State:</source>
        <translation>Gerätezustand:</translation>
    </message>
    <message>
        <source>Timeout Count:</source>
        <translation>Anzahl Zeitüberschreitungen:</translation>
    </message>
    <message>
        <source>Media Error Count:</source>
        <translation>Anzahl Medienfehler:</translation>
    </message>
    <message>
        <source>Device Temperature:</source>
        <translation>Gerätetemperatur:</translation>
    </message>
    <message>
        <source>SMART Read Error Rate:</source>
        <translation>SMART-Lesefehlerrate:</translation>
    </message>
    <message>
        <source>SMART Spinup Time</source>
        <translation>SMART-Anlaufzeit</translation>
    </message>
    <message>
        <source>SMART Reallocation Count:</source>
        <translation>SMART-Anzahl neu zugewiesener Sektoren:</translation>
    </message>
    <message>
        <source>SMART Seek Error Rate:</source>
        <translation>SMART-Suchfehlerrate:</translation>
    </message>
    <message>
        <source>SMART Spinup Retries:</source>
        <translation>SMART-Anlaufwiederholungen:</translation>
    </message>
    <message>
        <source>SMART Calibration Retries:</source>
        <translation>SMART-Kalibrierungswiederholungen:</translation>
    </message>
    <message>
        <source>S.M.A.R.T</source>
        <translation>S.M.A.R.T</translation>
    </message>
    <message>
        <source>SAS(%1)</source>
        <translation>SAS(%1)</translation>
    </message>
    <message>
        <source>Rotation Speed:</source>
        <translation>Drehzahl:</translation>
    </message>
    <message>
        <source>%1 RPM</source>
        <translation>%1 U/min</translation>
    </message>
    <message>
        <source>Read Errors Recovered Without Delay:</source>
        <translation>Lesefehler ohne Verzögerung behoben:</translation>
    </message>
    <message>
        <source>Read Errors Recovered With Delay:</source>
        <translation>Lesefehler mit Verzögerung behoben:</translation>
    </message>
    <message>
        <source>Read Errors Recovered With Retry:</source>
        <translation>Lesefehler durch Wiederholung behoben:</translation>
    </message>
    <message>
        <source>Read Errors Recovered:</source>
        <translation>Lesefehler behoben:</translation>
    </message>
    <message>
        <source>Read Total Bytes:</source>
        <translation>Gelesene Bytes gesamt:</translation>
    </message>
    <message>
        <source>Read Errors Unrecovered:</source>
        <translation>Lesefehler nicht behoben:</translation>
    </message>
    <message>
        <source>Write Errors Recovered Without Delay:</source>
        <translation>Schreibfehler ohne Verzögerung behoben:</translation>
    </message>
    <message>
        <source>Write Errors Recovered With Delay:</source>
        <translation>Schreibfehler mit Verzögerung behoben:</translation>
    </message>
    <message>
        <source>Write Errors Recovered With Retry:</source>
        <translation>Schreibfehler durch Wiederholung behoben:</translation>
    </message>
    <message>
        <source>Write Errors Recovered:</source>
        <translation>Schreibfehler behoben:</translation>
    </message>
    <message>
        <source>Write Total Bytes:</source>
        <translation>Geschriebene Bytes gesamt:</translation>
    </message>
    <message>
        <source>Write Errors Unrecovered:</source>
        <translation>Schreibfehler nicht behoben:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered Without Delay:</source>
        <translation>Prüffehler ohne Verzögerung behoben:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered With Delay:</source>
        <translation>Prüffehler mit Verzögerung behoben:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered With Retry:</source>
        <translation>Prüffehler durch Wiederholung behoben:</translation>
    </message>
    <message>
        <source>Verify Errors Recovered:</source>
        <translation>Prüffehler behoben:</translation>
    </message>
    <message>
        <source>Verify Errors Unrecovered:</source>
        <translation>Prüffehler nicht behoben:</translation>
    </message>
    <message>
        <source>Non-Medium Errors:</source>
        <translation>Fehler außerhalb des Mediums:</translation>
    </message>
    <message>
        <source>Defect P-List Block Count:</source>
        <translation>Defekte Blöcke (P-Liste):</translation>
    </message>
    <message>
        <source>Defect G-List Block Count:</source>
        <translation>Defekte Blöcke (G-Liste):</translation>
    </message>
    <message>
        <source>Enclosure#%1 </source>
        <translation>Gehäuse#%1 </translation>
    </message>
    <message>
        <source>SATA(%1)</source>
        <translation>SATA(%1)</translation>
    </message>
    <message>
        <source>Channel#%1</source>
        <translation>Kanal#%1</translation>
    </message>
    <message>
        <source>Channel%1
</source>
        <translation>Kanal%1
</translation>
    </message>
    <message>
        <source>N.A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>%1 °C</source>
        <translation>%1 °C</translation>
    </message>
    <message>
        <source>N.A.(N.A.)</source>
        <translation>k. A. (k. A.)</translation>
    </message>
</context>
<context>
    <name>DialogExpandRaidsetWizard</name>
    <message>
        <source>Wizard</source>
        <translation>Assistent</translation>
    </message>
    <message>
        <source>RaidSet Information</source>
        <translation>Angaben zum RAID-Set</translation>
    </message>
    <message>
        <source>New Member Disks:</source>
        <translation>Neue Mitgliedsfestplatten:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>New Raw Capacity:</source>
        <translation>Neue Rohkapazität:</translation>
    </message>
    <message>
        <source>Min Member Disk Size</source>
        <translation>Kleinste Mitgliedsfestplatte</translation>
    </message>
    <message>
        <source>Available Disks</source>
        <translation>Verfügbare Festplatten</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Volume Set List</source>
        <translation>Liste der Volume-Sets</translation>
    </message>
    <message>
        <source>Expand RaidSet</source>
        <translation>RAID-Set erweitern</translation>
    </message>
</context>
<context>
    <name>DialogMailSettings</name>
    <message>
        <source>Email</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>send a test mail</source>
        <translation>eine Test-E-Mail senden</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Sender Name:</source>
        <translation>Absendername:</translation>
    </message>
    <message>
        <source>Sender Address:</source>
        <translation>Absenderadresse:</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>Anmeldung</translation>
    </message>
    <message>
        <source>Account:</source>
        <translation>Konto:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Enable SSL</source>
        <translation>SSL aktivieren</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>MailTo1</source>
        <translation>Empfänger 1</translation>
    </message>
    <message>
        <source>MailTo2</source>
        <translation>Empfänger 2</translation>
    </message>
    <message>
        <source>MailTo3</source>
        <translation>Empfänger 3</translation>
    </message>
    <message>
        <source>The test mail has been handed to the mail server connection; see the log for whether it was delivered.</source>
        <translation>Die Test-E-Mail wurde an die Verbindung zum Mailserver übergeben; ob sie zugestellt wurde, steht im Protokoll.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Please enter the account.</source>
        <translation>Bitte geben Sie das Konto ein.</translation>
    </message>
    <message>
        <source>Please enter the password.</source>
        <translation>Bitte geben Sie das Passwort ein.</translation>
    </message>
    <message>
        <source>Mail Testing</source>
        <translation>E-Mail-Test</translation>
    </message>
    <message>
        <source>Send test mail ?</source>
        <translation>Test-E-Mail senden?</translation>
    </message>
    <message>
        <source>Test mail</source>
        <translation>Test-E-Mail</translation>
    </message>
    <message>
        <source>Test mail from %0 %1</source>
        <translation>Test-E-Mail von %0 %1</translation>
    </message>
    <message>
        <source>Test Mail</source>
        <translation>Test-E-Mail</translation>
    </message>
</context>
<context>
    <name>DialogQuickCreate</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>New Volume Information</source>
        <translation>Angaben zum neuen Volume</translation>
    </message>
    <message>
        <source>Total Number Of Disks:</source>
        <translation>Gesamtzahl der Festplatten:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID-Level:</translation>
    </message>
    <message>
        <source>Raid 0</source>
        <translation>Raid 0</translation>
    </message>
    <message>
        <source>Raid 1</source>
        <translation>Raid 1</translation>
    </message>
    <message>
        <source>Raid 1 + Spare</source>
        <translation>Raid 1 + Spare</translation>
    </message>
    <message>
        <source>Raid 3</source>
        <translation>Raid 3</translation>
    </message>
    <message>
        <source>Raid 3 + Spare</source>
        <translation>Raid 3 + Spare</translation>
    </message>
    <message>
        <source>Raid 5</source>
        <translation>Raid 5</translation>
    </message>
    <message>
        <source>Raid 5 + Spare</source>
        <translation>Raid 5 + Spare</translation>
    </message>
    <message>
        <source>Raid 6</source>
        <translation>Raid 6</translation>
    </message>
    <message>
        <source>Raid 6 + Spare</source>
        <translation>Raid 6 + Spare</translation>
    </message>
    <message>
        <source>Capacity:</source>
        <translation>Kapazität:</translation>
    </message>
    <message>
        <source> GB</source>
        <translation> GB</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Create Volume</source>
        <translation>Volume erstellen</translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>Neues Volume</translation>
    </message>
    <message>
        <source>MAX: </source>
        <translation>MAX: </translation>
    </message>
    <message>
        <source>MAX: 0 GB</source>
        <translation>MAX: 0 GB</translation>
    </message>
    <message>
        <source>Raid 1 + 0</source>
        <translation>Raid 1 + 0</translation>
    </message>
    <message>
        <source>Raid 1 + 0 + Spare</source>
        <translation>Raid 1 + 0 + Spare</translation>
    </message>
    <message>
        <source>Are you sure you want to create this volume ?</source>
        <translation>Möchten Sie dieses Volume wirklich erstellen?</translation>
    </message>
    <message>
        <source>Failed to ZynCreateRaidSet(..), Error = %0.</source>
        <translation>ZynCreateRaidSet(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Failed to ZynCreateHotSpare(..), Error = %0.</source>
        <translation>ZynCreateHotSpare(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Failed to ZynCreateVolSet(..), Error = %0.</source>
        <translation>ZynCreateVolSet(..) fehlgeschlagen, Fehler = %0.</translation>
    </message>
    <message>
        <source>Volume has been created successfully.</source>
        <translation>Das Volume wurde erfolgreich erstellt.</translation>
    </message>
</context>
<context>
    <name>DialogSNMPTrapSettings</name>
    <message>
        <source>SNMP Trap</source>
        <translation>SNMP-Trap</translation>
    </message>
    <message>
        <source>SNMP Trap Configurations</source>
        <translation>SNMP-Trap-Einstellungen</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #1</source>
        <translation>SNMP-Trap-IP-Adresse #1</translation>
    </message>
    <message>
        <source>Port#</source>
        <translation>Port#</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #2</source>
        <translation>SNMP-Trap-IP-Adresse #2</translation>
    </message>
    <message>
        <source>SNMP Trap IP Address #3</source>
        <translation>SNMP-Trap-IP-Adresse #3</translation>
    </message>
    <message>
        <source>Community</source>
        <translation>Community</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
</context>
<context>
    <name>DialogScheduler</name>
    <message>
        <source>Scheduler</source>
        <translation>Zeitplaner</translation>
    </message>
    <message>
        <source>Task List</source>
        <translation>Aufgabenliste</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>Auslöser</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Monatlich</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Recur every</source>
        <translation>Wiederholen alle</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>weeks on:</source>
        <translation>Wochen am:</translation>
    </message>
    <message>
        <source>months on:</source>
        <translation>Monate am:</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>MessageBox</source>
        <translation>Meldungsfenster</translation>
    </message>
    <message>
        <source>Send Mail</source>
        <translation>E-Mail senden</translation>
    </message>
    <message>
        <source>Check Volume</source>
        <translation>Volume prüfen</translation>
    </message>
    <message>
        <source>Message shows on the message box:</source>
        <translation>Text im Meldungsfenster:</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Betreff:</translation>
    </message>
    <message>
        <source>Message:</source>
        <translation>Nachricht:</translation>
    </message>
    <message>
        <source>Include remote side controller(s)</source>
        <translation>Entfernte Controller einbeziehen</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>E-Mail-Einstellungen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Please select days!!</source>
        <translation>Bitte wählen Sie Tage aus!!</translation>
    </message>
    <message>
        <source>Please input message box text!!</source>
        <translation>Bitte geben Sie den Text des Meldungsfensters ein!!</translation>
    </message>
    <message>
        <source>Please input mail subject!!</source>
        <translation>Bitte geben Sie den Betreff der E-Mail ein!!</translation>
    </message>
    <message>
        <source>Please input mail message!!</source>
        <translation>Bitte geben Sie den Text der E-Mail ein!!</translation>
    </message>
    <message>
        <source>Max tasks count = 5</source>
        <translation>Höchstens 5 Aufgaben</translation>
    </message>
    <message>
        <source>Task name:</source>
        <translation>Name der Aufgabe:</translation>
    </message>
    <message>
        <source>Please enter task name!!</source>
        <translation>Bitte geben Sie einen Namen für die Aufgabe ein!!</translation>
    </message>
    <message>
        <source>Task name already exists!!</source>
        <translation>Dieser Aufgabenname ist bereits vergeben!!</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this task ?</source>
        <translation>Möchten Sie diese Aufgabe wirklich löschen?</translation>
    </message>
</context>
<context>
    <name>DialogSetup</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Oberfläche</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Benachrichtigung</translation>
    </message>
    <message>
        <source>Notification Level</source>
        <translation>Benachrichtigungsstufe</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Serious</source>
        <translation>Ernst</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Urgent</source>
        <translation>Dringend</translation>
    </message>
    <message>
        <source>By Email</source>
        <translation>Per E-Mail</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>E-Mail-Einstellungen</translation>
    </message>
    <message>
        <source>Attach log file on event level SERIOUS or URGENT</source>
        <translation>Protokolldatei bei Ereignisstufe ERNST oder DRINGEND anhängen</translation>
    </message>
    <message>
        <source>By SNMP Trap</source>
        <translation>Per SNMP-Trap</translation>
    </message>
    <message>
        <source>SNMP Trap Settings</source>
        <translation>SNMP-Trap-Einstellungen</translation>
    </message>
    <message>
        <source>By Message Window</source>
        <translation>Per Meldungsfenster</translation>
    </message>
    <message>
        <source>By System Log</source>
        <translation>Per Systemprotokoll</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Einrichtung</translation>
    </message>
    <message>
        <source>The language has been changed, please restart Palvir to take effect</source>
        <translation>Die Sprache wurde geändert. Bitte starten Sie Palvir neu, damit die Änderung wirksam wird</translation>
    </message>
    <message>
        <source>The settings could not be saved in %1. The language you chose is lost: it would take effect only after a restart. The other new values stay in force until the program ends.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden. Die gewählte Sprache geht verloren: Sie würde erst nach einem Neustart wirksam. Die übrigen neuen Werte gelten, bis das Programm endet.</translation>
    </message>
</context>
<context>
    <name>FinalPage</name>
    <message>
        <source>Summary</source>
        <translation>Zusammenfassung</translation>
    </message>
    <message>
        <source>The information of raidset expansion</source>
        <translation>Angaben zur Erweiterung des RAID-Sets</translation>
    </message>
</context>
<context>
    <name>FreeDiskPage</name>
    <message>
        <source>Expansion</source>
        <translation>Erweiterung</translation>
    </message>
    <message>
        <source>Raid Set expansion is a quite critical process, we strongly recommend customer backup data before expand. Unexpected accident may cause serious data corruption.</source>
        <translation>Die Erweiterung eines RAID-Sets ist ein recht kritischer Vorgang. Wir empfehlen dringend, die Daten vor der Erweiterung zu sichern. Unerwartete Zwischenfälle können die Daten schwer beschädigen.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Palvir</source>
        <translation>Palvir</translation>
    </message>
    <message>
        <source>Expand All</source>
        <translation>Alle aufklappen</translation>
    </message>
    <message>
        <source>Please select a &quot;Controller&quot;,&quot;RaidSet&quot; or &quot;VolumeSet&quot; to continue...</source>
        <translation>Bitte wählen Sie einen „Controller“, ein „RAID-Set“ oder ein „Volume-Set“, um fortzufahren...</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Manufacturer:</source>
        <translation>Hersteller:</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Model Name:</source>
        <translation>Modellname:</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Firmware Version:</source>
        <translation>Firmware-Version:</translation>
    </message>
    <message>
        <source>BootROM Version:</source>
        <translation>BootROM-Version:</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>Seriennummer:</translation>
    </message>
    <message>
        <source>Resources</source>
        <translation>Ressourcen</translation>
    </message>
    <message>
        <source>CPU Speed:</source>
        <translation>CPU-Takt:</translation>
    </message>
    <message>
        <source>Memory:</source>
        <translation>Speicher:</translation>
    </message>
    <message>
        <source>Beeper:</source>
        <translation>Signalgeber:</translation>
    </message>
    <message>
        <source>DHCP:</source>
        <translation>DHCP:</translation>
    </message>
    <message>
        <source>Ethernet:</source>
        <translation>Ethernet:</translation>
    </message>
    <message>
        <source>MAC Address:</source>
        <translation>MAC-Adresse:</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP-Adresse:</translation>
    </message>
    <message>
        <source>Quick Create</source>
        <translation>Schnell erstellen</translation>
    </message>
    <message>
        <source>Create a default raidset with all free disks and a default volume</source>
        <translation>Ein Standard-RAID-Set aus allen freien Festplatten und ein Standard-Volume erstellen</translation>
    </message>
    <message>
        <source>Create RaidSet</source>
        <translation>RAID-Set erstellen</translation>
    </message>
    <message>
        <source>Create a new raidset</source>
        <translation>Ein neues RAID-Set erstellen</translation>
    </message>
    <message>
        <source>Create Nested(Hybrid) RAID</source>
        <translation>Verschachteltes (hybrides) RAID erstellen</translation>
    </message>
    <message>
        <source>Create Raid00/100/30/50/60</source>
        <translation>RAID 00/100/30/50/60 erstellen</translation>
    </message>
    <message>
        <source>Create HotSpare Disk</source>
        <translation>Hot-Spare-Festplatte erstellen</translation>
    </message>
    <message>
        <source>Create a global hot spare disk</source>
        <translation>Eine globale Hot-Spare-Festplatte erstellen</translation>
    </message>
    <message>
        <source>Create PassThrough Disk</source>
        <translation>Pass-Through-Festplatte erstellen</translation>
    </message>
    <message>
        <source>Create one or more pass through disk</source>
        <translation>Eine oder mehrere Pass-Through-Festplatten erstellen</translation>
    </message>
    <message>
        <source>Delete Nested(Hybrid) RAID</source>
        <translation>Verschachteltes (hybrides) RAID löschen</translation>
    </message>
    <message>
        <source>Delete Raid00/100/30/50/60</source>
        <translation>RAID 00/100/30/50/60 löschen</translation>
    </message>
    <message>
        <source>Delete HotSpare Disk</source>
        <translation>Hot-Spare-Festplatte löschen</translation>
    </message>
    <message>
        <source>Delete a global hotspare disk</source>
        <translation>Eine globale Hot-Spare-Festplatte löschen</translation>
    </message>
    <message>
        <source>Advanced Features</source>
        <translation>Erweiterte Funktionen</translation>
    </message>
    <message>
        <source>Launch browser to do advance settings</source>
        <translation>Browser für erweiterte Einstellungen öffnen</translation>
    </message>
    <message>
        <source>Mute Beeper</source>
        <translation>Signalgeber stummschalten</translation>
    </message>
    <message>
        <source>RaidSets</source>
        <translation>RAID-Sets</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>Disks</source>
        <translation>Festplatten</translation>
    </message>
    <message>
        <source>H/W Monitor</source>
        <translation>Hardware-Überwachung</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Ereignisse</translation>
    </message>
    <message>
        <source>Event Level</source>
        <translation>Ereignisstufe</translation>
    </message>
    <message>
        <source>Informational</source>
        <translation>Informativ</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Serious</source>
        <translation>Ernst</translation>
    </message>
    <message>
        <source>Urgent</source>
        <translation>Dringend</translation>
    </message>
    <message>
        <source>CLI</source>
        <translation>CLI</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Total Raw Capacity:</source>
        <translation>Gesamte Rohkapazität:</translation>
    </message>
    <message>
        <source>Member Disks:</source>
        <translation>Mitgliedsfestplatten:</translation>
    </message>
    <message>
        <source>Free Raw Capacity:</source>
        <translation>Freie Rohkapazität:</translation>
    </message>
    <message>
        <source>Supported Volumes:</source>
        <translation>Unterstützte Volumes:</translation>
    </message>
    <message>
        <source>Min Member Disk Size:</source>
        <translation>Kleinste Mitgliedsfestplatte:</translation>
    </message>
    <message>
        <source>Current Volumes:</source>
        <translation>Vorhandene Volumes:</translation>
    </message>
    <message>
        <source>Raid Set State:</source>
        <translation>Zustand des RAID-Sets:</translation>
    </message>
    <message>
        <source>Create Volume</source>
        <translation>Volume erstellen</translation>
    </message>
    <message>
        <source>Create a new volume</source>
        <translation>Ein neues Volume erstellen</translation>
    </message>
    <message>
        <source>Delete This RaidSet</source>
        <translation>Dieses RAID-Set löschen</translation>
    </message>
    <message>
        <source>Delete current raidset</source>
        <translation>Das aktuelle RAID-Set löschen</translation>
    </message>
    <message>
        <source>Create a raidset-dedicated hot spare disk</source>
        <translation>Eine dem RAID-Set zugeordnete Hot-Spare-Festplatte erstellen</translation>
    </message>
    <message>
        <source>Delete a raidset-dedicated hotspare disk</source>
        <translation>Eine dem RAID-Set zugeordnete Hot-Spare-Festplatte löschen</translation>
    </message>
    <message>
        <source>Expand RaidSet</source>
        <translation>RAID-Set erweitern</translation>
    </message>
    <message>
        <source>Expand an exist raidset</source>
        <translation>Ein vorhandenes RAID-Set erweitern</translation>
    </message>
    <message>
        <source>Activate Incomplete RaidSet</source>
        <translation>Unvollständiges RAID-Set aktivieren</translation>
    </message>
    <message>
        <source>Activate an incomplete raidset</source>
        <translation>Ein unvollständiges RAID-Set aktivieren</translation>
    </message>
    <message>
        <source>Member Disk</source>
        <translation>Mitgliedsfestplatte</translation>
    </message>
    <message>
        <source>Stripe Size:</source>
        <translation>Stripe-Größe:</translation>
    </message>
    <message>
        <source>Raid Set Name:</source>
        <translation>Name des RAID-Sets:</translation>
    </message>
    <message>
        <source>Block Size:</source>
        <translation>Blockgröße:</translation>
    </message>
    <message>
        <source>Cache Mode:</source>
        <translation>Cache-Modus:</translation>
    </message>
    <message>
        <source>Volume Capacity:</source>
        <translation>Volume-Kapazität:</translation>
    </message>
    <message>
        <source>Write Protection:</source>
        <translation>Schreibschutz:</translation>
    </message>
    <message>
        <source>SCSI Ch/Id/Lun:</source>
        <translation>SCSI Kanal/ID/LUN:</translation>
    </message>
    <message>
        <source>Tagged Queuing:</source>
        <translation>Tagged Queuing:</translation>
    </message>
    <message>
        <source>Raid Level:</source>
        <translation>RAID-Level:</translation>
    </message>
    <message>
        <source>State:</source>
        <translation>Zustand:</translation>
    </message>
    <message>
        <source>Delete This Volume</source>
        <translation>Dieses Volume löschen</translation>
    </message>
    <message>
        <source>Delete current volume</source>
        <translation>Das aktuelle Volume löschen</translation>
    </message>
    <message>
        <source>Recent Tasks</source>
        <translation>Letzte Aufgaben</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stufe</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>Mi&amp;nimieren</translation>
    </message>
    <message>
        <source>Ma&amp;ximize</source>
        <translation>Ma&amp;ximieren</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>tray icon</source>
        <translation>Infobereichssymbol</translation>
    </message>
    <message>
        <source>About %0</source>
        <translation>Über %0</translation>
    </message>
    <message>
        <source>&lt;h2&gt;%0 %1&lt;/h2&gt;&lt;p&gt;Zynlib: %2&lt;/p&gt;&lt;p&gt;PWD: %3&lt;/p&gt;&lt;p&gt;It finds the controllers of this computer and of the network, shows what they hold and tells you of their events.&lt;/p&gt;&lt;p&gt;%4 is an application that manages Varnel RAID Controllers.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;%0 %1&lt;/h2&gt;&lt;p&gt;Zynlib: %2&lt;/p&gt;&lt;p&gt;PWD: %3&lt;/p&gt;&lt;p&gt;Es findet die Controller dieses Computers und des Netzwerks, zeigt, was sie enthalten, und meldet ihre Ereignisse.&lt;/p&gt;&lt;p&gt;%4 ist ein Programm zur Verwaltung von Varnel-RAID-Controllern.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Close Confirmation?</source>
        <translation>Schließen bestätigen?</translation>
    </message>
    <message>
        <source>Are you sure you want to exit?</source>
        <translation>Möchten Sie das Programm wirklich beenden?</translation>
    </message>
    <message>
        <source>Connect to remote controller via IP address</source>
        <translation>Über die IP-Adresse mit einem entfernten Controller verbinden</translation>
    </message>
    <message>
        <source>Disconnect remote controller</source>
        <translation>Verbindung zum entfernten Controller trennen</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>RAID Operations</source>
        <translation>RAID-Vorgänge</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Einrichtung</translation>
    </message>
    <message>
        <source>Scheduler</source>
        <translation>Zeitplaner</translation>
    </message>
    <message>
        <source>Create a default raidset and volume</source>
        <translation>Ein Standard-RAID-Set und -Volume erstellen</translation>
    </message>
    <message>
        <source>New RaidSet</source>
        <translation>Neues RAID-Set</translation>
    </message>
    <message>
        <source>New Nested RAID</source>
        <translation>Neues verschachteltes RAID</translation>
    </message>
    <message>
        <source>Add a new nested RAID</source>
        <translation>Ein neues verschachteltes RAID hinzufügen</translation>
    </message>
    <message>
        <source>Delete Nested RAID</source>
        <translation>Verschachteltes RAID löschen</translation>
    </message>
    <message>
        <source>Delete a nested RAID</source>
        <translation>Ein verschachteltes RAID löschen</translation>
    </message>
    <message>
        <source>Delete RaidSet</source>
        <translation>RAID-Set löschen</translation>
    </message>
    <message>
        <source>Delete raidset</source>
        <translation>RAID-Set löschen</translation>
    </message>
    <message>
        <source>New Volume</source>
        <translation>Neues Volume</translation>
    </message>
    <message>
        <source>Delete Volume</source>
        <translation>Volume löschen</translation>
    </message>
    <message>
        <source>Delete volume</source>
        <translation>Volume löschen</translation>
    </message>
    <message>
        <source>New Hot Spare</source>
        <translation>Neue Hot-Spare</translation>
    </message>
    <message>
        <source>Create a new hot spare</source>
        <translation>Eine neue Hot-Spare erstellen</translation>
    </message>
    <message>
        <source>Delete Hot Spare</source>
        <translation>Hot-Spare löschen</translation>
    </message>
    <message>
        <source>Delete hot spare</source>
        <translation>Hot-Spare löschen</translation>
    </message>
    <message>
        <source>New Pass-Through Disk</source>
        <translation>Neue Pass-Through-Festplatte</translation>
    </message>
    <message>
        <source>Create a new pass through disk</source>
        <translation>Eine neue Pass-Through-Festplatte erstellen</translation>
    </message>
    <message>
        <source>Mute beeper</source>
        <translation>Signalgeber stummschalten</translation>
    </message>
    <message>
        <source>Save Controller Settings...</source>
        <translation>Controller-Einstellungen speichern...</translation>
    </message>
    <message>
        <source>Save RAID controller settings to file</source>
        <translation>Einstellungen des RAID-Controllers in eine Datei speichern</translation>
    </message>
    <message>
        <source>Restore Controller Settings...</source>
        <translation>Controller-Einstellungen wiederherstellen...</translation>
    </message>
    <message>
        <source>Restore RAID controller settings from file</source>
        <translation>Einstellungen des RAID-Controllers aus einer Datei wiederherstellen</translation>
    </message>
    <message>
        <source>Collect Controller Data...</source>
        <translation>Controller-Daten sammeln...</translation>
    </message>
    <message>
        <source>Collect RAID controller data to file</source>
        <translation>Daten des RAID-Controllers in einer Datei sammeln</translation>
    </message>
    <message>
        <source>Rescan Device</source>
        <translation>Geräte neu suchen</translation>
    </message>
    <message>
        <source>Rescan Device(LAN)</source>
        <translation>Geräte neu suchen (LAN)</translation>
    </message>
    <message>
        <source>Delete ( %0 )</source>
        <translation>Löschen ( %0 )</translation>
    </message>
    <message>
        <source>Delete (%0) from (%1)</source>
        <translation>(%0) aus (%1) löschen</translation>
    </message>
    <message>
        <source>Save Setting File - %0</source>
        <translation>Einstellungsdatei speichern - %0</translation>
    </message>
    <message>
        <source>Failed to save the setting to file %0 </source>
        <translation>Die Einstellungen konnten nicht in die Datei %0 gespeichert werden </translation>
    </message>
    <message>
        <source>Setting has been saved to file %0 </source>
        <translation>Die Einstellungen wurden in der Datei %0 gespeichert </translation>
    </message>
    <message>
        <source>Open Setting File - %0</source>
        <translation>Einstellungsdatei öffnen - %0</translation>
    </message>
    <message>
        <source>Failed to restore settings</source>
        <translation>Die Einstellungen konnten nicht wiederhergestellt werden</translation>
    </message>
    <message>
        <source>Settings have been restored, please restart controller to take effect</source>
        <translation>Die Einstellungen wurden wiederhergestellt. Bitte starten Sie den Controller neu, damit sie wirksam werden</translation>
    </message>
    <message>
        <source>Failed to collect data</source>
        <translation>Die Daten konnten nicht gesammelt werden</translation>
    </message>
    <message>
        <source>Data has been saved to file %0 </source>
        <translation>Die Daten wurden in der Datei %0 gespeichert </translation>
    </message>
    <message>
        <source>(%0)</source>
        <translation>(%0)</translation>
    </message>
    <message>
        <source>RaidAlert-%0(%1)</source>
        <translation>RaidAlert-%0(%1)</translation>
    </message>
    <message>
        <source>Mail RaidAlert-%0(%1) %2</source>
        <translation>Mail RaidAlert-%0(%1) %2</translation>
    </message>
    <message>
        <source>And %1 more events.</source>
        <translation>Und %1 weitere Ereignisse.</translation>
    </message>
    <message>
        <source>%0 GB</source>
        <translation>%0 GB</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>RaidSets </source>
        <translation>RAID-Sets </translation>
    </message>
    <message>
        <source>Volumes </source>
        <translation>Volumes </translation>
    </message>
    <message>
        <source>Disks </source>
        <translation>Festplatten </translation>
    </message>
    <message>
        <source>(%0/%1)</source>
        <translation>(%0/%1)</translation>
    </message>
    <message>
        <source>Supported</source>
        <translation>Unterstützt</translation>
    </message>
    <message>
        <source>Unsupported</source>
        <translation>Nicht unterstützt</translation>
    </message>
    <message>
        <source>LocalHost: %0</source>
        <translation>Lokaler Rechner: %0</translation>
    </message>
    <message>
        <source>%0 MHz</source>
        <translation>%0 MHz</translation>
    </message>
    <message>
        <source>ECC</source>
        <translation>ECC</translation>
    </message>
    <message>
        <source>Member Disks </source>
        <translation>Mitgliedsfestplatten </translation>
    </message>
    <message>
        <source>Write Back</source>
        <translation>Write-Back</translation>
    </message>
    <message>
        <source>Write Through</source>
        <translation>Write-Through</translation>
    </message>
    <message>
        <source>%0 KB</source>
        <translation>%0 KB</translation>
    </message>
    <message>
        <source>512 Bytes</source>
        <translation>512 Byte</translation>
    </message>
    <message>
        <source>No Disk Available</source>
        <translation>Keine Festplatte verfügbar</translation>
    </message>
    <message>
        <source>Raid Set Already Exist</source>
        <translation>RAID-Set ist bereits vorhanden</translation>
    </message>
    <message>
        <source>No Disks Available For RaidSet</source>
        <translation>Keine Festplatten für ein RAID-Set verfügbar</translation>
    </message>
    <message>
        <source>Are you sure you want to remove this passthrough disk ?</source>
        <translation>Möchten Sie diese Pass-Through-Festplatte wirklich entfernen?</translation>
    </message>
    <message>
        <source>Failed to remove %1, Error = %2.</source>
        <translation>%1 konnte nicht entfernt werden, Fehler = %2.</translation>
    </message>
    <message>
        <source>%1 has been removed successfully.</source>
        <translation>%1 wurde erfolgreich entfernt.</translation>
    </message>
    <message>
        <source>Failed to delete %1, please delete Raid30/50/60 volume first.</source>
        <translation>%1 konnte nicht gelöscht werden. Bitte löschen Sie zuerst das RAID-30/50/60-Volume.</translation>
    </message>
    <message>
        <source>ALL VOLUMES IN THIS RAIDSET WILL BE DELETED TOO!!!
Are you sure you want to delete this raidset ?</source>
        <translation>ALLE VOLUMES IN DIESEM RAID-SET WERDEN EBENFALLS GELÖSCHT!!!
Möchten Sie dieses RAID-Set wirklich löschen?</translation>
    </message>
    <message>
        <source>Failed to delete %1, Error = %2.</source>
        <translation>%1 konnte nicht gelöscht werden, Fehler = %2.</translation>
    </message>
    <message>
        <source>%1 has been deleted successfully.</source>
        <translation>%1 wurde erfolgreich gelöscht.</translation>
    </message>
    <message>
        <source>RaidSet Already Active</source>
        <translation>RAID-Set ist bereits aktiv</translation>
    </message>
    <message>
        <source>Failed to activate %1, Error = %2.</source>
        <translation>%1 konnte nicht aktiviert werden, Fehler = %2.</translation>
    </message>
    <message>
        <source>%1 has been activated successfully.
Note: Create a &quot;Hot Spare Disk&quot; to rebuild the raidset!!</source>
        <translation>%1 wurde erfolgreich aktiviert.
Hinweis: Erstellen Sie eine „Hot-Spare-Festplatte“, um das RAID-Set wiederherzustellen!!</translation>
    </message>
    <message>
        <source>%1 is not in normal state!!</source>
        <translation>%1 ist nicht im normalen Zustand!!</translation>
    </message>
    <message>
        <source>No Space For Volume</source>
        <translation>Kein Platz für ein Volume</translation>
    </message>
    <message>
        <source>ALL DATA IN THIS VOLUME WILL BE LOST!!!
Are you sure you want to delete this volume ?</source>
        <translation>ALLE DATEN IN DIESEM VOLUME GEHEN VERLOREN!!!
Möchten Sie dieses Volume wirklich löschen?</translation>
    </message>
    <message>
        <source>Are you sure you want to stop the volume checking ?</source>
        <translation>Möchten Sie die Prüfung des Volumes wirklich anhalten?</translation>
    </message>
    <message>
        <source>Failed to stop volume checking, Error = %1.</source>
        <translation>Die Prüfung des Volumes konnte nicht angehalten werden, Fehler = %1.</translation>
    </message>
    <message>
        <source>%1 has been stopped volume checking successfully.</source>
        <translation>Die Prüfung von %1 wurde erfolgreich angehalten.</translation>
    </message>
    <message>
        <source>No Disks Available For Hot Spare</source>
        <translation>Keine Festplatten für eine Hot-Spare verfügbar</translation>
    </message>
    <message>
        <source>No Hot Spare Available</source>
        <translation>Keine Hot-Spare verfügbar</translation>
    </message>
    <message>
        <source>No Disks Available For Pass Through</source>
        <translation>Keine Festplatten für Pass-Through verfügbar</translation>
    </message>
    <message>
        <source>Execute Task(%0)</source>
        <translation>Aufgabe ausführen(%0)</translation>
    </message>
    <message>
        <source>%0.%1.%2.%3</source>
        <translation>%0.%1.%2.%3</translation>
    </message>
    <message>
        <source>http://%1:%2</source>
        <translation>http://%1:%2</translation>
    </message>
    <message>
        <source>No web browser could be opened; please open %1 by hand.</source>
        <translation>Es konnte kein Webbrowser geöffnet werden; bitte öffnen Sie %1 selbst.</translation>
    </message>
</context>
<context>
    <name>PasswordGate</name>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Invalid Password!!</source>
        <translation>Ungültiges Passwort!!</translation>
    </message>
</context>
<context>
    <name>QControllerItemModel</name>
    <message>
        <source>LocalHost</source>
        <translation>Lokaler Rechner</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>Controller Hierarchy</source>
        <translation>Controller-Hierarchie</translation>
    </message>
</context>
<context>
    <name>QExpandVolumeSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>New Raid Level</source>
        <translation>Neuer RAID-Level</translation>
    </message>
    <message>
        <source>New Stripe Size</source>
        <translation>Neue Stripe-Größe</translation>
    </message>
    <message>
        <source>Ch/Id/Lun</source>
        <translation>Kanal/ID/LUN</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Loading modules...</source>
        <translation>Module werden geladen...</translation>
    </message>
</context>
<context>
    <name>QZynDisk</name>
    <message>
        <source>Offlined</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Ausgefallen</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>JBOD</source>
        <translation>JBOD</translation>
    </message>
    <message>
        <source>Pass Through</source>
        <translation>Pass-Through</translation>
    </message>
    <message>
        <source>HotSpare[Global]</source>
        <translation>Hot-Spare[Global]</translation>
    </message>
    <message>
        <source>HotSpare[%0]</source>
        <translation>Hot-Spare[%0]</translation>
    </message>
    <message>
        <source>HotSpare[Enclosure]</source>
        <translation>Hot-Spare[Gehäuse]</translation>
    </message>
    <message>
        <source>HotSpare[Unknown]</source>
        <translation>Hot-Spare[Unbekannt]</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>Frei</translation>
    </message>
</context>
<context>
    <name>QZynDiskItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Serial#</source>
        <translation>Seriennr.</translation>
    </message>
    <message>
        <source>Firmware Rev.</source>
        <translation>Firmware-Version</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Verwendung</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Slot#</source>
        <translation>Steckplatz#</translation>
    </message>
    <message>
        <source>Enclsoure#%1: %2</source>
        <translation>Gehäuse#%1: %2</translation>
    </message>
</context>
<context>
    <name>QZynEventItemModel</name>
    <message>
        <source>State</source>
        <translation>Stufe</translation>
    </message>
    <message>
        <source>DateTime</source>
        <translation>Datum/Uhrzeit</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Event Type</source>
        <translation>Ereignistyp</translation>
    </message>
    <message>
        <source>Elapse Time</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>QZynHost</name>
    <message>
        <source>%1 connected.</source>
        <translation>%1 verbunden.</translation>
    </message>
    <message>
        <source>%1 disconnected.</source>
        <translation>%1 getrennt.</translation>
    </message>
    <message>
        <source>No controller found at %0</source>
        <translation>Kein Controller unter %0 gefunden</translation>
    </message>
    <message>
        <source>No controller found</source>
        <translation>Kein Controller gefunden</translation>
    </message>
    <message>
        <source>No controller found in slot %1</source>
        <translation>Kein Controller in Steckplatz %1 gefunden</translation>
    </message>
</context>
<context>
    <name>QZynHwMonitorItemModel</name>
    <message>
        <source>FAILED</source>
        <translation>AUSGEFALLEN</translation>
    </message>
    <message>
        <source>Not Installed</source>
        <translation>Nicht eingebaut</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Enclosure#%1 : %2</source>
        <translation>Gehäuse#%1 : %2</translation>
    </message>
    <message>
        <source>Controller H/W Monitor</source>
        <translation>Hardware-Überwachung des Controllers</translation>
    </message>
    <message>
        <source>Controller Temp</source>
        <translation>Controller-Temperatur</translation>
    </message>
    <message>
        <source>N.A.</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Fan#%1 Speed</source>
        <translation>Lüfter#%1 Drehzahl</translation>
    </message>
    <message>
        <source>HDD#%1 Temp.</source>
        <translation>HDD#%1 Temp.</translation>
    </message>
    <message>
        <source>Battery Status</source>
        <translation>Batteriestatus</translation>
    </message>
    <message>
        <source>Power +%1V</source>
        <translation>Spannung +%1V</translation>
    </message>
</context>
<context>
    <name>QZynRaidSet</name>
    <message>
        <source>Unkonwn</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Incomplete</source>
        <translation>Unvollständig</translation>
    </message>
    <message>
        <source>Degraded</source>
        <translation>Herabgestuft</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Initialisierung</translation>
    </message>
    <message>
        <source>Migrating</source>
        <translation>Migration</translation>
    </message>
    <message>
        <source>Rebuilding</source>
        <translation>Wiederaufbau</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Prüfung</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
</context>
<context>
    <name>QZynRaidSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Member Disk</source>
        <translation>Mitgliedsfestplatte</translation>
    </message>
    <message>
        <source>Total Raw Capacity</source>
        <translation>Gesamte Rohkapazität</translation>
    </message>
    <message>
        <source>Free Raw Capacity</source>
        <translation>Freie Rohkapazität</translation>
    </message>
    <message>
        <source>Min Member Disk Capacity</source>
        <translation>Kleinste Mitgliedskapazität</translation>
    </message>
    <message>
        <source>Volumes</source>
        <translation>Volumes</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
</context>
<context>
    <name>QZynRaidSetMemberDiskItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Serial#</source>
        <translation>Seriennr.</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Slot#</source>
        <translation>Steckplatz#</translation>
    </message>
    <message>
        <source>Enclosure#</source>
        <translation>Gehäuse#</translation>
    </message>
</context>
<context>
    <name>QZynTask</name>
    <message>
        <source>Daily</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Monatlich</translation>
    </message>
    <message>
        <source>Monthly(DATE OF WEEK)</source>
        <translation>Monatlich(WOCHENTAG)</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
</context>
<context>
    <name>QZynVolumeSet</name>
    <message>
        <source>Degraded</source>
        <translation>Herabgestuft</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Initialisierung</translation>
    </message>
    <message>
        <source>Initializing(%1%)</source>
        <translation>Initialisierung(%1%)</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Ausgefallen</translation>
    </message>
    <message>
        <source>Migrating</source>
        <translation>Migration</translation>
    </message>
    <message>
        <source>Migrating(%1%)</source>
        <translation>Migration(%1%)</translation>
    </message>
    <message>
        <source>Rebuilding</source>
        <translation>Wiederaufbau</translation>
    </message>
    <message>
        <source>Rebuilding(%1%)</source>
        <translation>Wiederaufbau(%1%)</translation>
    </message>
    <message>
        <source>Need Init</source>
        <translation>Initialisierung nötig</translation>
    </message>
    <message>
        <source>Need Migrate</source>
        <translation>Migration nötig</translation>
    </message>
    <message>
        <source>Need Rebuild</source>
        <translation>Wiederaufbau nötig</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Prüfung</translation>
    </message>
    <message>
        <source>Checking(%1%)</source>
        <translation>Prüfung(%1%)</translation>
    </message>
    <message>
        <source>Need Check</source>
        <translation>Prüfung nötig</translation>
    </message>
    <message>
        <source>Cloning</source>
        <translation>Klonen</translation>
    </message>
    <message>
        <source>Cloning(%1%)</source>
        <translation>Klonen(%1%)</translation>
    </message>
    <message>
        <source>Need Clone</source>
        <translation>Klonen nötig</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
</context>
<context>
    <name>QZynVolumeSetItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>RaidSet Name</source>
        <translation>Name des RAID-Sets</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Stufe</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Ch/Id/Lun</source>
        <translation>Kanal/ID/LUN</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
</context>
<context>
    <name>SchedulerItemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Trigger</source>
        <translation>Auslöser</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Next Run Time</source>
        <translation>Nächster Lauf</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the days of a task&apos;s details</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>At %1 every %2 day(s)</source>
        <translation>Um %1, alle %2 Tag(e)</translation>
    </message>
    <message>
        <source>At %1 on %2 of every %3 week(s)</source>
        <translation>Um %1 am %2, alle %3 Woche(n)</translation>
    </message>
    <message>
        <source>At %1 on day %2 of every %3 month(s)</source>
        <translation>Um %1 am Tag %2, alle %3 Monat(e)</translation>
    </message>
</context>
<context>
    <name>VolumePage</name>
    <message>
        <source>VolumeSet Modification</source>
        <translation>Änderung der Volume-Sets</translation>
    </message>
    <message>
        <source>The volume sets associated with this RAID Set appear for you to have chance to modify RAID Level or Stripe Size</source>
        <translation>Die Volume-Sets dieses RAID-Sets werden angezeigt, damit Sie RAID-Level oder Stripe-Größe ändern können</translation>
    </message>
</context>
<context>
    <name>prefdialog</name>
    <message>
        <source>The settings could not be saved in %1. The new values stay in force until the program ends.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden. Die neuen Werte gelten, bis das Programm endet.</translation>
    </message>
</context>
<context>
    <name>raiddialog</name>
    <message>
        <source>At most %1 disks can be selected at a time.</source>
        <translation>Es können höchstens %1 Festplatten auf einmal ausgewählt werden.</translation>
    </message>
</context>
</TS>
