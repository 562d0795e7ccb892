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

// Simulation launch dialog (one leading and one trailing blank).
inline constexpr const char* kEnterResultName = " 保存ファイル名を入力して下さい ";

// Spectrum data save dialog.
inline constexpr const char* kEnterFileName = "ファイル名を入力して下さい";
inline constexpr const char* kFileSaved = "ファイル保存終了";

// TMR results window.
inline constexpr const char* kSelectDataFile = "データファイルを選択して下さい";
inline constexpr const char* kCannotReadFile = "このファイルは読めません";
inline constexpr const char* kNoDataSelected = "データが選択されていません";

}  // namespace corvane::messages
