<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>Trad</name>
    <message>
        <source>Shift</source>
        <translation>Maiúsc</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Fixa Maiúsc</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Apagar</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Confirma</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Espaço</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Limpar</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>First row</source>
        <translation>Primeira linha</translation>
    </message>
    <message>
        <source>Previous row</source>
        <translation>Linha anterior</translation>
    </message>
    <message>
        <source>Next row</source>
        <translation>Próxima linha</translation>
    </message>
    <message>
        <source>Last row</source>
        <translation>Última linha</translation>
    </message>
    <message>
        <source>Search text</source>
        <translation>Texto da pesquisa</translation>
    </message>
    <message>
        <source>Search results</source>
        <translation>Resultado da pesquisa</translation>
    </message>
</context>
<context>
    <name>TfrmPesquisa</name>
    <message>
        <source>The search screen needs two parameters, a data set and a flag; it was given %1</source>
        <translation>A tela de pesquisa precisa de dois parâmetros, um conjunto de dados e um indicador; recebeu %1</translation>
    </message>
    <message>
        <source>The search screen's first parameter (%1) is not the address of a live data set</source>
        <translation>O primeiro parâmetro da tela de pesquisa (%1) não é o endereço de um conjunto de dados ativo</translation>
    </message>
    <message>
        <source>The search screen was given no data set</source>
        <translation>A tela de pesquisa não recebeu um conjunto de dados</translation>
    </message>
</context>
</TS>
