<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Trad</name>
    <message>
        <source>Shift</source>
        <translation>Shift</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Caps Lock</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Backspace</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>First row</source>
        <translation>First row</translation>
    </message>
    <message>
        <source>Previous row</source>
        <translation>Previous row</translation>
    </message>
    <message>
        <source>Next row</source>
        <translation>Next row</translation>
    </message>
    <message>
        <source>Last row</source>
        <translation>Last row</translation>
    </message>
    <message>
        <source>Search text</source>
        <translation>Search text</translation>
    </message>
    <message>
        <source>Search results</source>
        <translation>Search results</translation>
    </message>
</context>
<context>
    <name>TfrmPesquisa</name>
    <message>
        <source>The search screen needs two parameters, a data set and a flag; it was given %1</source>
        <translation>The search screen needs two parameters, a data set and a flag; it was given %1</translation>
    </message>
    <message>
        <source>The search screen's first parameter (%1) is not the address of a live data set</source>
        <translation>The search screen's first parameter (%1) is not the address of a live data set</translation>
    </message>
    <message>
        <source>The search screen was given no data set</source>
        <translation>The search screen was given no data set</translation>
    </message>
</context>
</TS>
