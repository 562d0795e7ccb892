// The message-box texts of the workbench, exactly as the windows show them (UTF-8).
#pragma once

namespace corvane::messages {

// Spectrum window, compute button.
inline constexpr const char* kConditionsMissing = "計算条件が入力されていません";
inline constexpr const char* kEnergyAboveLimit = "電子加速エネルギーが上限（20）を超えています";
// Below 0.05 MeV no 50 keV bin lies under the electron's kinetic energy: nothing to compute.
inline constexpr const char* kEnergyBelowLimit =
    "電子加速エネルギーが 0.05 MeV 未満のため、スペクトルを計算できません";
// Schiff's formula needs a positive atomic number (Z^0.33333 and ln M).
inline constexpr const char* kTargetZNotPositive =
    "ターゲットの原子番号 Z が 0 以下のため、スペクトルを計算できません";
// A negative thickness would make the lead filter amplify the beam.
inline constexpr const char* kThicknessNegative =
    "平坦化フィルタの平均厚が負の値のため、スペクトルを計算できません";

// Simulation launch dialog (one leading and one trailing blank).
inline constexpr const char* kEnterResultName = " 保存ファイル名を入力して下さい ";
// The simulation keeps 20 bytes of "NAME.tmr": a longer name would lose its ".tmr".
inline constexpr const char* kResultNameTooLong =
    "計算結果保存ファイル名が長すぎます。16 バイト（半角英数字で 16 文字、全角文字は 1 文字 3 "
    "バイト）以内で入力して下さい";
inline constexpr const char* kResultNameNotAFileName =
    "計算結果保存ファイル名に使えない文字（/ または制御文字）が含まれています";
// %1: the result file name ("NAME.tmr").
inline constexpr const char* kResultNameIsAFolder =
    "%1 はフォルダとして既にあるため、計算結果を保存できません。別の名前を入力して下さい";
inline constexpr const char* kResultFileExists =
    "%1 は既にあります。シミュレーションの終了時に上書きされます。よろしいですか？";
inline constexpr const char* kHistoryTotalNotANumber =
    "入射光子ヒストリー数が数として読めません。半角数字で入力して下さい（例: 30000000、30,000,000、"
    "3e7）";
inline constexpr const char* kHistoryTotalNotWhole = "入射光子ヒストリー数は整数で入力して下さい";
inline constexpr const char* kHistoryTotalOutOfRange =
    "入射光子ヒストリー数は 1 以上 2147483647 以下で入力して下さい";
// %1: the count as typed, %2: the count as handed over ("1.235E+06"), %3: that count in digits.
inline constexpr const char* kHistoryTotalRounded =
    "入射光子ヒストリー数 %1 は有効数字 4 "
    "桁に丸められ、%2（%3）としてシミュレーションに渡されます。"
    "よろしいですか？";
// %1: the program name, %2 (and %3): the folders searched.
inline constexpr const char* kSimulationNotFound =
    "シミュレーションプログラム %1 が見つかりません（%2 にも %3 にもありません）";
inline constexpr const char* kSimulationNotFoundIn =
    "シミュレーションプログラム %1 が見つかりません（%2 にありません）";
inline constexpr const char* kNoTerminal =
    "端末ウィンドウを開けません: xterm も x-terminal-emulator もインストールされていません";
// %1: the program name, %2: the terminal.
inline constexpr const char* kTerminalNotStarted =
    "%1 を起動できません: 端末 %2 を開始できませんでした";
// %1: the program name, %2: the terminal, %3: the cause.
inline constexpr const char* kTerminalEndedAtOnce =
    "%1 を起動できません: 端末 %2 が開始直後に終了しました（%3）";
inline constexpr const char* kCauseNoDisplay = "ディスプレイに接続できません";
// %1: the program name.
inline constexpr const char* kCauseProgramEnded = "%1 を実行できなかったか、すぐに終了しました";
// %1: the terminal's own message.
inline constexpr const char* kCauseTerminalSaid = "端末のメッセージ: %1";

// Spectrum data save dialog.
inline constexpr const char* kEnterFileName = "ファイル名を入力して下さい";
inline constexpr const char* kFileSaved = "ファイル保存終了";

// TMR results window.
inline constexpr const char* kSelectDataFile = "データファイルを選択して下さい";
inline constexpr const char* kCannotReadFile = "このファイルは読めません";
inline constexpr const char* kNoDataSelected = "データが選択されていません";

}  // namespace corvane::messages
