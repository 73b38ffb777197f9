<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>MenuModel</name>
    <message>
        <source>ゲーム(&amp;G)</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>1P VS CPU(&amp;C)</source>
        <translation>1P VS &amp;CPU</translation>
    </message>
    <message>
        <source>1P VS 2P(&amp;H)</source>
        <translation>1P VS 2P (&amp;H)</translation>
    </message>
    <message>
        <source>ゲームの一時停止(&amp;P)</source>
        <translation>&amp;Pause the game</translation>
    </message>
    <message>
        <source>ゲームの再開(&amp;R)</source>
        <translation>&amp;Resume the game</translation>
    </message>
    <message>
        <source>ゲームの中止(&amp;S)</source>
        <translation>&amp;Stop the game</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>リプレイを見る(&amp;W)...</source>
        <translation>&amp;Watch a replay...</translation>
    </message>
    <message>
        <source>ネット対戦を開く(&amp;N)...</source>
        <translation>Open a &amp;network match...</translation>
    </message>
    <message>
        <source>ネット対戦に参加(&amp;J)...</source>
        <translation>&amp;Join a network match...</translation>
    </message>
    <message>
        <source>観戦する(&amp;V)...</source>
        <translation>Watch a match (&amp;V)...</translation>
    </message>
    <message>
        <source>オンライン対戦(&amp;O)...</source>
        <translation>Play &amp;online...</translation>
    </message>
    <message>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>モード(&amp;M)</source>
        <translation>&amp;Mode</translation>
    </message>
    <message>
        <source>Time 120( &amp;H)</source>
        <translation>Time 120 (&amp;H)</translation>
    </message>
    <message>
        <source>Time 90(&amp;N)</source>
        <translation>Time 90 (&amp;N)</translation>
    </message>
    <message>
        <source>Time 60(&amp;S)</source>
        <translation>Time 60 (&amp;S)</translation>
    </message>
    <message>
        <source>Score 10(&amp;J)</source>
        <translation>Score 10 (&amp;J)</translation>
    </message>
    <message>
        <source>Score 30(&amp;T)</source>
        <translation>Score 30 (&amp;T)</translation>
    </message>
    <message>
        <source>Score 50(&amp;F)</source>
        <translation>Score 50 (&amp;F)</translation>
    </message>
    <message>
        <source>難易度(&amp;L)</source>
        <translation>&amp;Level</translation>
    </message>
    <message>
        <source>易しい(&amp;E)</source>
        <translation>&amp;Easy</translation>
    </message>
    <message>
        <source>普通(&amp;N)</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>難しい(&amp;D)</source>
        <translation>&amp;Difficult</translation>
    </message>
    <message>
        <source>サウンド(&amp;M)</source>
        <translation>Sound (&amp;M)</translation>
    </message>
    <message>
        <source>効果音(&amp;W)</source>
        <translation>Sound effects (&amp;W)</translation>
    </message>
    <message>
        <source>BGM(&amp;M)</source>
        <translation>Background &amp;music</translation>
    </message>
    <message>
        <source>キー設定(&amp;K)...</source>
        <translation>&amp;Keys...</translation>
    </message>
    <message>
        <source>全画面表示(&amp;F)</source>
        <translation>&amp;Full screen</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>VOLTRAXのヘルプ(&amp;H)</source>
        <translation>VOLTRAX &amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;V)</source>
        <translation>&amp;Version information</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>READ ME(&amp;R)</source>
        <translation>&amp;Read me</translation>
    </message>
    <message>
        <source>アイテム一覧（&amp;I）</source>
        <translation>&amp;Items</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
</context>
<context>
    <name>KeyDialog</name>
    <message>
        <source>キー設定</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source>1P 上</source>
        <translation>Player 1 up</translation>
    </message>
    <message>
        <source>1P 下</source>
        <translation>Player 1 down</translation>
    </message>
    <message>
        <source>2P 上</source>
        <translation>Player 2 up</translation>
    </message>
    <message>
        <source>2P 下</source>
        <translation>Player 2 down</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>変えたい行のボタンを押してから、新しいキーを押してください。</source>
        <translation>Click the button of the row to change, then press the new key.</translation>
    </message>
    <message>
        <source>標準に戻す</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Z の左のキー（なければ /）</source>
        <translation>the key left of Z (or /)</translation>
    </message>
    <message>
        <source>ゲームの再開 (R)</source>
        <translation>Resume the game (R)</translation>
    </message>
    <message>
        <source>ゲームの中止 (S)</source>
        <translation>Stop the game (S)</translation>
    </message>
    <message>
        <source>終了 (Esc)</source>
        <translation>Exit (Esc)</translation>
    </message>
    <message>
        <source>新しいキーを押してください…</source>
        <translation>Press the new key…</translation>
    </message>
    <message>
        <source>Shift、Ctrl、Alt、F10、F11 はメニューとウィンドウが使うため選べません。</source>
        <translation>Shift, Ctrl, Alt, F10 and F11 belong to the menus and the window and cannot be chosen.</translation>
    </message>
    <message>
        <source>このキーは場所がわからないため選べません。</source>
        <translation>This key cannot be chosen: the system does not tell where it is.</translation>
    </message>
    <message>
        <source>%1 はすでに「%2」に使われています。</source>
        <translation>%1 is already used for &quot;%2&quot;.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>非アクティブ時は一時停止(&amp;A)</source>
        <translation>P&amp;ause when the window is inactive</translation>
    </message>
    <message>
        <source>ネット対戦(&amp;E)</source>
        <translation>N&amp;etwork play</translation>
    </message>
    <message>
        <source>通信状況を表示(&amp;I)</source>
        <translation>Show the network l&amp;ine</translation>
    </message>
    <message>
        <source>入力遅延(&amp;D)</source>
        <translation>Input &amp;delay</translation>
    </message>
    <message>
        <source>自動(&amp;A)</source>
        <translation>&amp;Automatic</translation>
    </message>
    <message>
        <source>%1 フレーム(&amp;%1)</source>
        <translation>%1-frame delay (&amp;%1)</translation>
    </message>
    <message>
        <source>相手を左側 (1P) にする(&amp;L)</source>
        <translation>Let the other player play on the &amp;left (1P)</translation>
    </message>
</context>
<context>
    <name>ReplayDialogs</name>
    <message>
        <source>リプレイを見る</source>
        <translation>Watch a replay</translation>
    </message>
    <message>
        <source>VOLTRAX のリプレイ (*.vxr);;すべてのファイル (*)</source>
        <translation>VOLTRAX replays (*.vxr);;All files (*)</translation>
    </message>
    <message>
        <source>リプレイ「%1」は再生できません。</source>
        <translation>The replay &quot;%1&quot; cannot be played.</translation>
    </message>
</context>
<context>
    <name>NetPlay</name>
    <message>
        <source>ネット対戦を開く</source>
        <translation>Open a network match</translation>
    </message>
    <message>
        <source>相手を待つ UDP ポート (相手はこのポートに参加します):</source>
        <translation>UDP port to wait on (the other player joins this port):</translation>
    </message>
    <message>
        <source>ネット対戦に参加</source>
        <translation>Join a network match</translation>
    </message>
    <message>
        <source>相手 (開いた側) のアドレス。ポートが 47150 でなければ アドレス:ポート:</source>
        <translation>The host&apos;s address, and its port if not 47150 (address:port):</translation>
    </message>
    <message>
        <source>UDP ポート %1 で相手を待っています...</source>
        <translation>Waiting for the other player on UDP port %1...</translation>
    </message>
    <message>
        <source>%1 のポート %2 に接続しています...</source>
        <translation>Connecting to %1 port %2...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>相手がネット対戦を抜けました。</source>
        <translation>The other player has left the network match.</translation>
    </message>
    <message>
        <source>相手と 20 秒間つながりませんでした。ネット対戦を終わります。</source>
        <translation>The other player could not be reached for 20 seconds: the network match is over.</translation>
    </message>
    <message>
        <source>相手を待っています… %1 秒 (%2 秒まで)</source>
        <translation>Waiting for the other player… %1 s (up to %2 s)</translation>
    </message>
    <message>
        <source>両方の試合が食い違いました。ネット対戦を止めます。</source>
        <translation>The two sides are out of step: the network match is stopped.</translation>
    </message>
    <message>
        <source>両方の試合が食い違いました。ネット対戦を止めます。記録は %1 にあります。</source>
        <translation>The two sides are out of step: the network match is stopped. What happened is kept in %1.</translation>
    </message>
    <message>
        <source>相手は VOLTRAX %1 (通信プロトコル %2)、こちらは VOLTRAX %3 (通信プロトコル %4) です。同じ版どうしで対戦してください。</source>
        <translation>The other player runs VOLTRAX %1 (network protocol %2); this is VOLTRAX %3 (network protocol %4). Both need the same version.</translation>
    </message>
    <message>
        <source>そのアドレスから 5 秒間応答がありません。アドレスとポート、相手がネット対戦を開いているかを確かめてください。</source>
        <translation>Nobody answered at that address for 5 seconds: check the address and port, and that the other player has opened a network match.</translation>
    </message>
    <message>
        <source>遅延 %1 自動</source>
        <translation>delay %1 auto</translation>
    </message>
    <message>
        <source>遅延 %1 固定</source>
        <translation>delay %1 fixed</translation>
    </message>
    <message>
        <source>往復 %1 ms
%2
巻き戻し %3
損失 %4%</source>
        <translation>RTT %1 ms
%2
rollback %3
loss %4%</translation>
    </message>
    <message>
        <source>相手が %1 を希望しています。</source>
        <translation>The other player asks for %1.</translation>
    </message>
    <message>
        <source>%1 を相手に頼みました。返事を待っています...</source>
        <translation>You asked for %1. Waiting for the answer...</translation>
    </message>
    <message>
        <source>相手は %1 を断りました。</source>
        <translation>The other player said no to %1.</translation>
    </message>
    <message>
        <source>相手が左側 (1P) で遊びます。</source>
        <translation>The other player plays on the left (1P).</translation>
    </message>
    <message>
        <source>あなたは左側 (1P) で遊びます。</source>
        <translation>You play on the left (1P).</translation>
    </message>
    <message>
        <source>受ける</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>断る</source>
        <translation>Refuse</translation>
    </message>
    <message>
        <source>相手の試合設定の%1 (%2) はこの版では選べない値です。ネット対戦を終わります。</source>
        <translation>The other player&apos;s match settings hold a %1 of %2, which this version cannot choose: the network match is over.</translation>
    </message>
    <message>
        <source>ステージ</source>
        <translation>stage</translation>
    </message>
    <message>
        <source>ルール</source>
        <translation>rule</translation>
    </message>
    <message>
        <source>制限時間</source>
        <translation>time limit</translation>
    </message>
    <message>
        <source>得点</source>
        <translation>score limit</translation>
    </message>
    <message>
        <source>難易度</source>
        <translation>difficulty</translation>
    </message>
    <message>
        <source>同じネットワーク</source>
        <translation>same network</translation>
    </message>
    <message>
        <source>直接</source>
        <translation>direct</translation>
    </message>
    <message>
        <source>ルーター越し</source>
        <translation>through both routers</translation>
    </message>
    <message>
        <source>ポート転送</source>
        <translation>mapped port</translation>
    </message>
    <message>
        <source>中継</source>
        <translation>relayed</translation>
    </message>
    <message>
        <source>対戦相手を探しています...</source>
        <translation>Looking for another player...</translation>
    </message>
    <message>
        <source>ロビーに接続しています...</source>
        <translation>Reaching the lobby...</translation>
    </message>
    <message>
        <source>相手を待っています...</source>
        <translation>Waiting for the other player...</translation>
    </message>
    <message>
        <source>相手への経路を探しています...</source>
        <translation>Finding a way to the other player...</translation>
    </message>
    <message>
        <source>接続しました (%1)。</source>
        <translation>Connected (%1).</translation>
    </message>
    <message>
        <source>ルームコード: %1</source>
        <translation>Room code: %1</translation>
    </message>
    <message>
        <source>このコードを相手に伝えてください。</source>
        <translation>Read this code out to the other player.</translation>
    </message>
    <message>
        <source>相手に伝えてください: %1</source>
        <translation>Tell the other player: %1</translation>
    </message>
    <message>
        <source>観戦する</source>
        <translation>Watch a match</translation>
    </message>
    <message>
        <source>観戦する対戦を開いた側のアドレス。ポートが 47150 でなければ アドレス:ポート:</source>
        <translation>The address of the one who opened the match to watch; ADDRESS:PORT when the port is not 47150:</translation>
    </message>
    <message>
        <source>%1 を観戦中</source>
        <translation>watching %1</translation>
    </message>
    <message>
        <source>観戦 %1</source>
        <translation>%1 watching</translation>
    </message>
    <message>
        <source>対戦者どうしの接続が終わりました。観戦を終わります。</source>
        <translation>The players&apos; connection ended. The watching ends.</translation>
    </message>
    <message>
        <source>対戦を開いた側が接続を終えました。観戦を終わります。</source>
        <translation>The host ended the connection. The watching ends.</translation>
    </message>
    <message>
        <source>観戦が遅れすぎたため、打ち切られました。</source>
        <translation>You fell too far behind, so the host let you go.</translation>
    </message>
    <message>
        <source>この対戦はもう観戦者でいっぱいです。</source>
        <translation>The match already has as many watchers as it takes.</translation>
    </message>
</context>
<context>
    <name>OnlineDialog</name>
    <message>
        <source>対戦相手を探しています...</source>
        <translation>Looking for another player...</translation>
    </message>
    <message>
        <source>ロビーに接続しています...</source>
        <translation>Reaching the lobby...</translation>
    </message>
    <message>
        <source>相手を待っています...</source>
        <translation>Waiting for the other player...</translation>
    </message>
    <message>
        <source>相手への経路を探しています...</source>
        <translation>Finding a way to the other player...</translation>
    </message>
    <message>
        <source>接続しました。</source>
        <translation>Connected.</translation>
    </message>
    <message>
        <source>オンライン対戦</source>
        <translation>Play online</translation>
    </message>
    <message>
        <source>ロビーサーバー(&amp;L):</source>
        <translation>&amp;Lobby server:</translation>
    </message>
    <message>
        <source>ホスト[:ポート]</source>
        <translation>host[:port]</translation>
    </message>
    <message>
        <source>ロビーが設定されていません: 部屋コードで対戦するには、ロビーサーバーのアドレス (ホスト[:ポート]) を入力してください。同じネットワークのゲームとアドレスでの対戦はロビーなしで遊べます。</source>
        <translation>No lobby set: enter a lobby server's address (host[:port]) to play by room code; LAN games and direct play work without one.</translation>
    </message>
    <message>
        <source>部屋コードで対戦</source>
        <translation>Play by room code</translation>
    </message>
    <message>
        <source>部屋を作る(&amp;M)</source>
        <translation>&amp;Make a room</translation>
    </message>
    <message>
        <source>部屋コード(&amp;R):</source>
        <translation>&amp;Room code:</translation>
    </message>
    <message>
        <source>参加(&amp;J)</source>
        <translation>&amp;Join</translation>
    </message>
    <message>
        <source>クイックマッチ(&amp;Q)</source>
        <translation>&amp;Quick match</translation>
    </message>
    <message>
        <source>この部屋コードを相手に伝えてください:</source>
        <translation>Read this room code out to the other player:</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>このネットワークのゲーム</source>
        <translation>Games on this network</translation>
    </message>
    <message>
        <source>見つかったゲームはまだありません。相手が「ネット対戦を開く」か部屋を作ると、ここに出ます。</source>
        <translation>No games found yet. A game shows here once the other player opens a network match or makes a room.</translation>
    </message>
    <message>
        <source>ダブルクリックか Enter で参加します。</source>
        <translation>Double-click or press Enter to join.</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>部屋コードで対戦するにはロビーサーバーを入力してください。</source>
        <translation>Enter a lobby server to play by room code.</translation>
    </message>
    <message>
        <source>オンライン対戦はタイトル画面で、ほかの接続がないときに始められます。</source>
        <translation>Online play starts from the title screen, with no other connection open.</translation>
    </message>
    <message>
        <source>%1 のポート %2 に参加できませんでした。</source>
        <translation>Could not join %1 on port %2.</translation>
    </message>
    <message>
        <source>ロビーに接続できません。</source>
        <translation>The lobby cannot be reached.</translation>
    </message>
    <message>
        <source>その部屋コードの部屋はありません。</source>
        <translation>No room has that code.</translation>
    </message>
    <message>
        <source>その部屋にはもう二人がそろっています。</source>
        <translation>That room already has its two players.</translation>
    </message>
    <message>
        <source>相手の VOLTRAX は別の版です。同じ版どうしで対戦してください。</source>
        <translation>The other player has another version of VOLTRAX. Both need the same version.</translation>
    </message>
    <message>
        <source>相手は VOLTRAX %1、こちらは VOLTRAX %2 です。同じ版どうしで対戦してください。</source>
        <translation>The other player has VOLTRAX %1, this is VOLTRAX %2. Both need the same version.</translation>
    </message>
    <message>
        <source>オンライン対戦に必要なファイルを読み込めません (%1)。</source>
        <translation>Online play cannot load a file it needs (%1).</translation>
    </message>
    <message>
        <source>部屋 %1</source>
        <translation>room %1</translation>
    </message>
    <message>
        <source>対戦が始まるのを待っています...</source>
        <translation>Waiting for the match to start...</translation>
    </message>
    <message>
        <source>相手が部屋を出ました。</source>
        <translation>The other player left.</translation>
    </message>
    <message>
        <source>その対戦はもう観戦者でいっぱいです。</source>
        <translation>That match already has as many watchers as it takes.</translation>
    </message>
    <message>
        <source>このロビーには中継サーバーがないため、中継だけでは対戦できません。</source>
        <translation>The lobby offers no relay, so there is no way to play through one.</translation>
    </message>
    <message>
        <source>このコンピューターでは相手への経路を探せません。</source>
        <translation>This program cannot look for a way to the other player.</translation>
    </message>
    <message>
        <source>相手のプログラムから届いた接続先を読めませんでした。</source>
        <translation>The other player&apos;s program sent a way to reach it that cannot be read.</translation>
    </message>
    <message>
        <source>相手への経路が見つかりませんでした。</source>
        <translation>No way through to the other player was found.</translation>
    </message>
    <message>
        <source>相手への経路は見つかりましたが、使えませんでした。</source>
        <translation>A way to the other player was found but could not be used.</translation>
    </message>
    <message>
        <source>相手への経路が見つかりませんでした。中継を通してもつながりません。</source>
        <translation>No way through to the other player was found, not even through the relay.</translation>
    </message>
    <message>
        <source>つながりませんでした: %1</source>
        <translation>Not connected: %1</translation>
    </message>
    <message>
        <source>取り消しました。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 — 部屋 %2</source>
        <translation>%1 — room %2</translation>
    </message>
    <message>
        <source>%1 — %2:%3 (ステージ %4)</source>
        <translation>%1 — %2:%3 (stage %4)</translation>
    </message>
    <message>
        <source> (VOLTRAX %1: 版が違うので参加できません)</source>
        <translation> (VOLTRAX %1: another version, cannot join)</translation>
    </message>
</context>
</TS>
