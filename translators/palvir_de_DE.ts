<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ControllerWatcher</name>
    <message>
        <source>Finding controller...</source>
        <translation>Controller werden gesucht...</translation>
    </message>
    <message>
        <source>Palvir storage manager for Varnel RAID controllers</source>
        <translation>Palvir-Speicherverwaltung für Varnel-RAID-Controller</translation>
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
</context>
</TS>
