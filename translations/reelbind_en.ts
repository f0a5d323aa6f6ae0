<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AfterJoin</name>
    <message numerus="yes">
        <source>These files could not be deleted:</source>
        <translation>
            <numerusform>This file could not be deleted:</numerusform>
            <numerusform>These files could not be deleted:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No trash takes these files:</source>
        <translation>
            <numerusform>No trash takes this file:</numerusform>
            <numerusform>No trash takes these files:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete them for good? They cannot be brought back.</source>
        <translation>
            <numerusform>Delete it for good? It cannot be brought back.</numerusform>
            <numerusform>Delete them for good? They cannot be brought back.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLineJoin</name>
    <message numerus="yes">
        <source>reelbind: joining %1: %2 (file %3 of %n)</source>
        <translation>
            <numerusform>reelbind: joining %1: %2 (file %3 of %n)</numerusform>
            <numerusform>reelbind: joining %1: %2 (file %3 of %n)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Format</name>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... and %n more.</numerusform>
            <numerusform>... and %n more.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>JoinQueue</name>
    <message numerus="yes">
        <source>These files were not added to the queue:</source>
        <translation>
            <numerusform>This file was not added to the queue:</numerusform>
            <numerusform>These files were not added to the queue:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MoviePlan</name>
    <message numerus="yes">
        <source>%1 has %n picture stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 has %n picture stream; the first part has %2</numerusform>
            <numerusform>%1 has %n picture streams; the first part has %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 has %n sound stream; the first part has %2</numerusform>
            <numerusform>%1 has %n sound streams; the first part has %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n subtitle stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 has %n subtitle stream; the first part has %2</numerusform>
            <numerusform>%1 has %n subtitle streams; the first part has %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n data stream(s); the first part has %2</source>
        <translation>
            <numerusform>%1 has %n data stream; the first part has %2</numerusform>
            <numerusform>%1 has %n data streams; the first part has %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 has %n sound channel(s); the first part has %2</source>
        <translation>
            <numerusform>%1 has %n sound channel; the first part has %2</numerusform>
            <numerusform>%1 has %n sound channels; the first part has %2</numerusform>
        </translation>
    </message>
</context>
</TS>
