<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>Trad</name>
    <message>
        <source>Shift</source>
        <translation>Mayús</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Bloq Mayús</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Borrar</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Intro</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Espacio</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Limpiar</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>First row</source>
        <translation>Primera fila</translation>
    </message>
    <message>
        <source>Previous row</source>
        <translation>Fila anterior</translation>
    </message>
    <message>
        <source>Next row</source>
        <translation>Fila siguiente</translation>
    </message>
    <message>
        <source>Last row</source>
        <translation>Última fila</translation>
    </message>
    <message>
        <source>Search text</source>
        <translation>Texto de búsqueda</translation>
    </message>
    <message>
        <source>Search results</source>
        <translation>Resultados de la búsqueda</translation>
    </message>
</context>
<context>
    <name>TfrmPesquisa</name>
    <message>
        <source>The search screen needs two parameters, a data set and a flag; it was given %1</source>
        <translation>La pantalla de búsqueda necesita dos parámetros, un conjunto de datos y un indicador; recibió %1</translation>
    </message>
    <message>
        <source>The search screen's first parameter (%1) is not the address of a live data set</source>
        <translation>El primer parámetro de la pantalla de búsqueda (%1) no es la dirección de un conjunto de datos activo</translation>
    </message>
    <message>
        <source>The search screen was given no data set</source>
        <translation>La pantalla de búsqueda no recibió ningún conjunto de datos</translation>
    </message>
</context>
</TS>
