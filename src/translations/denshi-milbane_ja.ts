<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CommandLine</name>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>不明なオプション &apos;%1&apos; です。</translation>
    </message>
    <message>
        <source>missing value after &apos;%1&apos;</source>
        <translation>&apos;%1&apos; のあとに値がありません。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; takes no value</source>
        <translation>&apos;%1&apos; は値を取りません。</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.
</source>
        <translation>詳しくは &apos;%1 --help&apos; を実行してください。
</translation>
    </message>
    <message>
        <source>Usage: %1 [OPTION]...
Roll up to four dice and see each value and their total (電子ミルバネ).

Opens the dice window. Start, stop and reset the dice with its action button; choose their range of values and how many there are in its settings. Nothing is read from or written to files.

Options:
  -h, --help        show this help and exit
  -v, --version     show the version and exit

The toolkit&apos;s own options, such as -platform and -style, are accepted.
</source>
        <translation>使用法: %1 [オプション]...
最大 4 個のサイコロを振り、目と合計を表示します (電子ミルバネ)。

サイコロのウィンドウを開きます。操作ボタンでスタート、ストップ、リセットし、「設定」で目の範囲と個数を選びます。ファイルの読み書きは一切しません。

オプション:
  -h, --help        このヘルプを表示して終了する
  -v, --version     バージョンを表示して終了する

-platform や -style など、ツールキット自身のオプションも使えます。
</translation>
    </message>
    <message>
        <source>License: proprietary. All rights reserved by 電子ミルバネ開発チーム.
</source>
        <translation>ライセンス: プロプライエタリ。著作権は電子ミルバネ開発チームが保有します。
</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;: it takes no file or other argument</source>
        <translation>余分な引数 &apos;%1&apos; です。ファイルなどの引数は取りません。</translation>
    </message>
</context>
<context>
    <name>FatalErrors</name>
    <message>
        <source>cannot start: %1</source>
        <translation>起動できません: %1</translation>
    </message>
    <message>
        <source>cannot open the display %1; start it from a desktop session, or on a virtual display with xvfb-run</source>
        <translation>ディスプレイ %1 を開けません。デスクトップのセッションから、または xvfb-run で仮想ディスプレイ上で起動してください。</translation>
    </message>
    <message>
        <source>cannot open the Wayland display %1; start it from a desktop session, or on a virtual display with xvfb-run</source>
        <translation>Wayland ディスプレイ %1 を開けません。デスクトップのセッションから、または xvfb-run で仮想ディスプレイ上で起動してください。</translation>
    </message>
    <message>
        <source>cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session, or on a virtual display with xvfb-run</source>
        <translation>ディスプレイを開けません (DISPLAY も WAYLAND_DISPLAY も設定されていません)。デスクトップのセッションから、または xvfb-run で仮想ディスプレイ上で起動してください。</translation>
    </message>
</context>
</TS>
